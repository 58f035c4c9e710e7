// Runs scenario steps against a driver object through late binding, the way a host calls it,
// prints every call and its answer, and checks the expectations.
#pragma once

#include "Brief.h"
#include "Scenario.h"
#include "Values.h"

#include <ostream>
#include <string>
#include <vector>

namespace host {

struct RunnerConfig {
    // Folders searched, in order, for a show_file step's relative file name: the device's own
    // folder first, then where the driver writes its log when that folder is missing.
    std::vector<std::string> fileFolders;
    // When set, a short account of each step goes here besides the full trace (Brief.h), with
    // the lines each call added to the paper file, when one is named.
    std::ostream* brief = nullptr;
    std::string paperFile;
};

struct StepOutcome {
    bool passed = true;
    std::string failure; // "step 3 (GetSettings): ..." when not passed
};

class Runner {
public:
    Runner(IDispatch* driver, IDispatch* manager, std::ostream& out, RunnerConfig config = {});

    StepOutcome Run(const Step& step);

    // The whole scenario with the tool's lifecycle calls around it; stops at the first failure
    // but still takes the device down. Returns the failures (empty when everything passed).
    std::vector<std::string> RunScenario(const Scenario& scenario);

    // The calls a host makes before and after its own, as steps.
    static std::vector<Step> StartSteps(Lifecycle lifecycle, const std::string& deviceId);
    static std::vector<Step> StopSteps(Lifecycle lifecycle);

    Variables& Vars() { return vars_; }
    // Calls after which the paper file grew: the documents printed.
    int Documents() const { return documents_; }

private:
    StepOutcome RunStep(const Step& step);
    StepOutcome RunCall(const Step& step);
    StepOutcome RunSet(const Step& step);
    StepOutcome RunCheck(const Step& step);
    StepOutcome RunPrint(const Step& step);
    StepOutcome RunShowFile(const Step& step);
    std::string Prefix(const Step& step) const;
    std::string BriefPrefix(const Step& step) const;
    void BriefCall(const Step& step, HRESULT hr, const VARIANT& result,
                   const std::vector<std::pair<std::string, const VARIANT*>>& outs);
    void BriefStep(const Step& step, const StepOutcome& outcome);

    IDispatch* driver_;
    IDispatch* manager_;
    std::ostream& out_;
    RunnerConfig config_;
    Variables vars_;
    PaperWatch paper_;
    int documents_ = 0;
};

} // namespace host
