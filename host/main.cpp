// orvel27-host: plays the host's equipment manager, creates the driver by ProgID and runs a
// scenario of calls against it (or calls typed at a prompt), printing every call and answer.
#include "Console.h"
#include "DriverHost.h"
#include "EquipmentManager.h"
#include "Interactive.h"
#include "LogReplay.h"
#include "PortListing.h"
#include "Runner.h"
#include "ScenarioReader.h"
#include "Text.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

using namespace host;

namespace {

enum ExitCode { kPassed = 0, kFailed = 1, kBadInput = 2, kNoDriver = 3 };

const char* const kUsage =
    "usage: orvel27-host [options] SCENARIO.json\n"
    "       orvel27-host [options] --interactive\n"
    "       orvel27-host --list-ports\n"
    "       orvel27-host --from-log DEBUG.log > SCENARIO.json\n"
    "\n"
    "options:\n"
    "  --library PATH        register this driver module (its DllRegisterServer) first\n"
    "  --progid ID           the class to create (default Ovra.Orvel27)\n"
    "  --workdir DIR         the host's working folder (default ./orvel27-work); device folders\n"
    "                        are DIR/devices/<device ID>, the model folder DIR/models\n"
    "  --device-id ID        the device ID passed to Open (default: the scenario's, else 1)\n"
    "  --devices-folder DIR  answer DevicesFolder with DIR instead\n"
    "  --models-folder DIR   answer ModelsFolder with DIR instead\n"
    "  --language LANG       answer Language with LANG (default ru)\n"
    "  --manager-answers-false          GetAppProperty answers False to every name\n"
    "  --manager-without-getappproperty the equipment manager has no GetAppProperty\n"
    "  --lifecycle full|open|none       which of Init, Open, Enable / Disable, Close the tool\n"
    "                        calls around the steps (default: the scenario's, else full)\n"
    "  --brief               show each step in a line (the call, its result, the values\n"
    "                        that matter, a table's first rows) instead of the full trace\n"
    "  --trace FILE          with --brief: append the full trace to FILE\n"
    "  --paper FILE          with --brief: show what each call adds to the printer's paper\n"
    "                        file (the virtual printer's paper.txt)\n"
    "  --check               only read and check the scenario\n"
    "  --interactive         read calls from standard input (type help at the prompt)\n"
    "  --from-log LOG        write a scenario that repeats the commands of a driver debug log\n"
    "                        (between Enable and Disable) with the logged values and results\n"
    "  --list-ports          list the machine's serial and parallel ports and USB printers as\n"
    "                        the settings page's port picker shows them, each tested whether it\n"
    "                        can be opened now (available, unavailable)\n"
    "\n"
    "exit codes: 0 all passed, 1 an expectation failed, 2 bad input or usage,\n"
    "            3 the driver could not be created\n";

struct Options {
    std::string scenarioFile;
    std::string library;
    std::string progId = "Ovra.Orvel27";
    std::string workdir = "orvel27-work";
    std::string deviceId;
    std::string devicesFolder, modelsFolder, language;
    bool answerFalse = false, withoutGetAppProperty = false;
    std::string lifecycle;
    bool checkOnly = false, interactive = false, listPorts = false;
    std::string fromLog;
    bool brief = false;
    std::string traceFile, paperFile;
};

class UsageError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

Options ParseOptions(const std::vector<std::string>& argv) {
    Options o;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argv.size())
                throw UsageError(a + " needs a value");
            return argv[++i];
        };
        if (a == "--help" || a == "-h")
            throw UsageError("");
        else if (a == "--library")
            o.library = value();
        else if (a == "--progid")
            o.progId = value();
        else if (a == "--workdir")
            o.workdir = value();
        else if (a == "--device-id")
            o.deviceId = value();
        else if (a == "--devices-folder")
            o.devicesFolder = value();
        else if (a == "--models-folder")
            o.modelsFolder = value();
        else if (a == "--language")
            o.language = value();
        else if (a == "--manager-answers-false")
            o.answerFalse = true;
        else if (a == "--manager-without-getappproperty")
            o.withoutGetAppProperty = true;
        else if (a == "--lifecycle")
            o.lifecycle = value();
        else if (a == "--brief")
            o.brief = true;
        else if (a == "--trace")
            o.traceFile = value();
        else if (a == "--paper")
            o.paperFile = value();
        else if (a == "--check")
            o.checkOnly = true;
        else if (a == "--interactive")
            o.interactive = true;
        else if (a == "--list-ports")
            o.listPorts = true;
        else if (a == "--from-log")
            o.fromLog = value();
        else if (a.rfind("--", 0) == 0)
            throw UsageError("unknown option " + a);
        else if (o.scenarioFile.empty())
            o.scenarioFile = a;
        else
            throw UsageError("one scenario file at a time (" + o.scenarioFile + ", " + a + ")");
    }
    if (!o.fromLog.empty()) {
        if (o.interactive || o.listPorts || !o.scenarioFile.empty())
            throw UsageError("--from-log takes no scenario");
        return o;
    }
    if (o.listPorts) {
        if (o.interactive || !o.scenarioFile.empty())
            throw UsageError("--list-ports takes no scenario");
        return o;
    }
    if (o.interactive == !o.scenarioFile.empty())
        throw UsageError("give either a scenario file or --interactive");
    if (!o.brief && (!o.traceFile.empty() || !o.paperFile.empty()))
        throw UsageError("--trace and --paper go with --brief");
    if (!o.lifecycle.empty() && o.lifecycle != "full" && o.lifecycle != "open" && o.lifecycle != "none")
        throw UsageError("--lifecycle is one of full, open, none");
    return o;
}

Lifecycle LifecycleOf(const std::string& name, Lifecycle fallback) {
    if (name == "full")
        return Lifecycle::Full;
    if (name == "open")
        return Lifecycle::Open;
    if (name == "none")
        return Lifecycle::None;
    return fallback;
}

// "A sale on the virtual printer: two goods rows." of a longer description.
std::string FirstSentence(const std::string& text) {
    std::size_t end = text.find(". ");
    return end == std::string::npos ? text : text.substr(0, end + 1);
}

int FromLog(const std::string& logFile) {
    std::ifstream file(PathFromUtf8(logFile), std::ios::binary);
    if (!file) {
        std::cerr << logFile << ": cannot be read\n";
        return kBadInput;
    }
    try {
        const LogReplay replay = ScenarioFromLog(file);
        std::cout << replay.scenario.dump(2) << "\n";
        for (const std::string& note : replay.notes)
            std::cerr << "note: " << note << "\n";
    } catch (const LogReplayError& e) {
        std::cerr << logFile << ": " << e.what() << "\n";
        return kBadInput;
    }
    return kPassed;
}

int Run(const Options& o) {
    if (!o.fromLog.empty())
        return FromLog(o.fromLog);
    if (o.listPorts) {
        ListPorts(std::cout);
        return kPassed;
    }
    Scenario scenario;
    if (!o.interactive) {
        std::ifstream file(PathFromUtf8(o.scenarioFile), std::ios::binary);
        if (!file) {
            std::cerr << o.scenarioFile << ": cannot be read\n";
            return kBadInput;
        }
        std::stringstream text;
        text << file.rdbuf();
        try {
            scenario = ParseScenario(text.str());
        } catch (const ScenarioError& e) {
            std::cerr << o.scenarioFile << ": " << e.what() << "\n";
            return kBadInput;
        }
        if (o.checkOnly) {
            std::cout << o.scenarioFile << ": " << scenario.steps.size() << " steps, well formed\n";
            return kPassed;
        }
    }
    if (!o.deviceId.empty())
        scenario.deviceId = o.deviceId;
    scenario.lifecycle = LifecycleOf(o.lifecycle, scenario.lifecycle);

    ManagerConfig config = DefaultManagerConfig(o.workdir);
    if (!o.devicesFolder.empty())
        config.properties["DevicesFolder"] = o.devicesFolder;
    if (!o.modelsFolder.empty())
        config.properties["ModelsFolder"] = o.modelsFolder;
    if (!o.language.empty())
        config.properties["Language"] = o.language;
    config.answerFalse = o.answerFalse;
    config.withoutGetAppProperty = o.withoutGetAppProperty;

    // A host keeps a data folder per device; the driver writes its log there when it exists.
    namespace fs = std::filesystem;
    fs::path deviceFolder = PathFromUtf8(config.properties["DevicesFolder"]) / PathFromUtf8(scenario.deviceId);
    std::error_code ec;
    fs::create_directories(deviceFolder, ec);
    fs::create_directories(PathFromUtf8(config.properties["ModelsFolder"]), ec);

    // The full trace goes to the console, or with --brief to its file (or nowhere), while the
    // console gets a line per step.
    std::ofstream traceFile;
    std::ostream nowhere(nullptr);
    if (o.brief && !o.traceFile.empty()) {
        traceFile.open(PathFromUtf8(o.traceFile), std::ios::binary | std::ios::app);
        if (!traceFile) {
            std::cerr << o.traceFile << ": cannot be written\n";
            return kBadInput;
        }
    }
    std::ostream& trace = !o.brief ? std::cout : traceFile.is_open() ? traceFile : nowhere;
    // What both accounts tell: the outcome.
    auto tell = [&](const std::string& line) {
        trace << line << "\n";
        if (o.brief)
            std::cout << line << "\n";
    };

    ComApartment apartment;
    if (FAILED(apartment.Result())) {
        std::cerr << "CoInitialize failed\n";
        return kNoDriver;
    }
    if (!o.library.empty()) {
        std::string error = RegisterModule(o.library);
        if (!error.empty()) {
            std::cerr << error << "\n";
            return kNoDriver;
        }
        trace << "registered " << o.library << "\n";
    }

    EquipmentManager manager(config);
    manager.onQuestion = [&trace](const std::string& id, const std::string& name, bool answer, const std::string& value) {
        trace << "    host: GetAppProperty('" << id << "', '" << name << "') -> " << (answer ? "True" : "False");
        if (answer)
            trace << " '" << value << "'";
        trace << "\n";
    };

    std::string error;
    ComPtr<IDispatch> driver = CreateByProgId(o.progId, error);
    if (!driver) {
        std::cerr << error << "\n";
        return kNoDriver;
    }
    if (!scenario.description.empty())
        trace << scenario.description << "\n";
    if (o.brief && !scenario.description.empty())
        std::cout << FirstSentence(scenario.description) << "\n";
    trace << "created " << o.progId << "; device " << scenario.deviceId << ", folder "
              << PathToUtf8(deviceFolder) << "\n";

    RunnerConfig runnerConfig;
    runnerConfig.fileFolders.push_back(PathToUtf8(deviceFolder));
    if (!o.library.empty())
        runnerConfig.fileFolders.push_back(PathToUtf8(fs::absolute(PathFromUtf8(o.library)).parent_path()));
    if (o.brief) {
        runnerConfig.brief = &std::cout;
        runnerConfig.paperFile = o.paperFile;
    }

    int code = kPassed;
    {
        Runner runner(driver.Get(), &manager, trace, runnerConfig);
        if (o.interactive) {
            code = RunInteractive(runner, std::cin, std::cout, scenario.lifecycle, scenario.deviceId);
        } else {
            std::vector<std::string> failures = runner.RunScenario(scenario);
            for (const auto& failure : failures)
                tell("FAILED " + failure);
            if (failures.empty())
                tell("PASSED " + std::to_string(scenario.steps.size()) + " steps");
            if (!o.paperFile.empty())
                std::cout << "documents printed: " << runner.Documents() << "\n";
            code = failures.empty() ? kPassed : kFailed;
        }
    }
    driver.Reset();
    // An equipment manager lets go of a driver module once its objects are released. The module's
    // own state is torn down here, so that a leak check at exit sees what the driver left behind.
    CoFreeUnusedLibraries();
    if (!o.library.empty() && GetModuleHandleA(o.library.c_str())) {
        tell("FAILED the driver module stays loaded after its last object was released");
        code = kFailed;
    }
    if (manager.ExtraReferences() > 0)
        trace << "note: the driver still holds " << manager.ExtraReferences()
                  << " reference(s) to the equipment manager after its release\n";
    else if (manager.ExtraReferences() < 0)
        trace << "note: the driver released the equipment manager " << -manager.ExtraReferences()
                  << " time(s) more than it took it\n";
    return code;
}

} // namespace

int main(int argc, char** argv) {
    UseUtf8Console();
    Options options;
    try {
        options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& e) {
        if (*e.what())
            std::cerr << "orvel27-host: " << e.what() << "\n\n";
        (*e.what() ? std::cerr : std::cout) << kUsage;
        return *e.what() ? kBadInput : kPassed;
    }
    try {
        return Run(options);
    } catch (const std::exception& e) {
        std::cerr << "orvel27-host: " << e.what() << "\n";
        return kBadInput;
    }
}
