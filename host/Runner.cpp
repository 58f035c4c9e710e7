#include "Runner.h"

#include "Expectation.h"
#include "Hresult.h"
#include "Text.h"
#include "ValuePrinter.h"

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace host {

namespace {

Value OutArg(const std::string& name) {
    Value v;
    v.kind = ValueKind::Out;
    v.text = name;
    return v;
}

Value ManagerArg() {
    Value v;
    v.kind = ValueKind::Object;
    v.refType = VT_DISPATCH;
    return v;
}

Value StringArg(const std::string& text) {
    Value v;
    v.kind = ValueKind::String;
    v.text = text;
    return v;
}

Value TruePattern() {
    Value v;
    v.kind = ValueKind::Bool;
    v.boolean = true;
    v.source = "true";
    return v;
}

Step CommandStep(const std::string& name) {
    Step s;
    s.kind = StepKind::Call;
    s.name = name;
    s.timeout.kind = ValueKind::I4;
    s.expect = TruePattern();
    return s;
}

Step RawStep(const std::string& name, std::vector<Value> args) {
    Step s;
    s.kind = StepKind::Raw;
    s.name = name;
    s.args = std::move(args);
    s.expect = TruePattern();
    return s;
}

// An exception's texts, freed whatever happens.
struct ExcepInfo {
    EXCEPINFO info;
    ExcepInfo() { std::memset(&info, 0, sizeof info); }
    ~ExcepInfo() {
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
    }
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;
};

// The system's clock, not the C library's: a 32-bit Windows build's time() ends in 2038.
std::string Today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[16];
    std::snprintf(text, sizeof text, "%04u.%02u.%02u", now.wYear % 10000u, now.wMonth % 100u, now.wDay % 100u);
    return text;
}

std::string ReplaceAll(std::string text, const std::string& what, const std::string& with) {
    for (std::size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + with.size()))
        text.replace(pos, what.size(), with);
    return text;
}

// A typed reference's storage starts from the variable's value when it converts, else from zero.
void InitTypedStorage(Variant& storage, VARTYPE type, const Variant* current) {
    if (current && SUCCEEDED(VariantChangeType(storage.Receive(), const_cast<VARIANT*>(current->Get()), 0, type)) &&
        storage.Type() == type)
        return;
    VARIANT& raw = *storage.Receive();
    std::memset(&raw, 0, sizeof raw);
    raw.vt = type;
}

} // namespace

Runner::Runner(IDispatch* driver, IDispatch* manager, std::ostream& out, RunnerConfig config)
    : driver_(driver), manager_(manager), out_(out), config_(std::move(config)),
      paper_(config_.brief ? config_.paperFile : std::string()) {}

std::string Runner::Prefix(const Step& step) const {
    std::string prefix = "[";
    prefix += step.number > 0 ? std::to_string(step.number) : std::string("-");
    prefix += "] ";
    return prefix;
}

std::vector<Step> Runner::StartSteps(Lifecycle lifecycle, const std::string& deviceId) {
    std::vector<Step> steps;
    if (lifecycle == Lifecycle::None)
        return steps;
    steps.push_back(RawStep("Init", {ManagerArg(), OutArg("ErrorText")}));
    steps.push_back(RawStep("Open", {StringArg(deviceId), OutArg("ErrorText")}));
    if (lifecycle == Lifecycle::Full)
        steps.push_back(CommandStep("Enable"));
    return steps;
}

std::vector<Step> Runner::StopSteps(Lifecycle lifecycle) {
    std::vector<Step> steps;
    if (lifecycle == Lifecycle::Full)
        steps.push_back(CommandStep("Disable"));
    if (lifecycle != Lifecycle::None)
        steps.push_back(RawStep("Close", {}));
    return steps;
}

std::vector<std::string> Runner::RunScenario(const Scenario& scenario) {
    std::vector<std::string> failures;
    std::vector<Step> start = StartSteps(scenario.lifecycle, scenario.deviceId);
    std::size_t started = 0;
    for (const auto& step : start) {
        ++started;
        StepOutcome outcome = Run(step);
        if (!outcome.passed) {
            failures.push_back(outcome.failure);
            break;
        }
    }
    if (failures.empty()) {
        for (const auto& step : scenario.steps) {
            StepOutcome outcome = Run(step);
            if (!outcome.passed) {
                failures.push_back(outcome.failure);
                break;
            }
        }
    }
    // Take the device down as a host would, pairing each stop call with a start call that ran:
    // Close with Init, Disable with Enable.
    for (const auto& step : StopSteps(scenario.lifecycle)) {
        const std::size_t pairedStart = step.name == "Disable" ? 2 : 0; // Enable : Init
        if (pairedStart >= started)
            continue;
        StepOutcome outcome = Run(step);
        if (!outcome.passed && failures.empty())
            failures.push_back(outcome.failure);
    }
    return failures;
}

StepOutcome Runner::Run(const Step& step) {
    StepOutcome outcome = RunStep(step);
    if (config_.brief)
        BriefStep(step, outcome);
    return outcome;
}

StepOutcome Runner::RunStep(const Step& step) {
    try {
        switch (step.kind) {
        case StepKind::Call:
        case StepKind::Raw:
            return RunCall(step);
        case StepKind::Set:
            return RunSet(step);
        case StepKind::Check:
            return RunCheck(step);
        case StepKind::Print:
            return RunPrint(step);
        case StepKind::ShowFile:
            return RunShowFile(step);
        }
        return {};
    } catch (const std::exception& e) {
        // RunError, or a failure of the automation runtime while building or reading values.
        out_ << Prefix(step) << "error: " << e.what() << "\n";
        return {false, step.Label() + ": " + e.what()};
    }
}

StepOutcome Runner::RunCall(const Step& step) {
    const bool command = step.kind == StepKind::Call;
    const std::string prefix = Prefix(step);
    auto fail = [&](const std::string& why) { return StepOutcome{false, step.Label() + ": " + why}; };

    // Arguments in the host's call order.
    std::vector<Value> args;
    if (command) {
        args = {step.in, OutArg(step.outVar), step.timeout};
    } else {
        args = step.args;
    }

    DISPID id = DISPID_UNKNOWN;
    if (step.dispid) {
        id = *step.dispid;
    } else {
        WString name = Utf8ToWide(step.name);
        LPOLESTR names[] = {name.data()};
        HRESULT hr = driver_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        if (FAILED(hr)) {
            out_ << prefix << "GetIDsOfNames('" << step.name << "') -> " << HresultName(hr) << "\n";
            if (hr != step.expectHr)
                return fail("the driver does not know the name (GetIDsOfNames answered " + HresultName(hr) + ")");
            if (step.expect || step.expectException || !step.expectVars.empty())
                return fail("no call was made, so the other expectations cannot be met");
            return {};
        }
    }

    // Storage that references point at; a deque keeps addresses while it grows.
    std::deque<Variant> storage;
    struct TypedOut {
        std::string var;
        Variant* storage;
    };
    std::vector<TypedOut> typedOuts;
    const std::size_t n = args.size();
    std::vector<Variant> rgvarg(n); // the host's order: last argument first
    std::vector<const VARIANT*> shown(n);
    BuildContext context{vars_, manager_};
    for (std::size_t i = 0; i < n; ++i) {
        const Value& arg = args[i];
        VARIANT& slot = *rgvarg[n - 1 - i].Get();
        if (arg.kind == ValueKind::Out && arg.refType == VT_VARIANT) {
            Variant& var = vars_.Define(arg.text);
            slot.vt = VT_BYREF | VT_VARIANT;
            slot.pvarVal = var.Get();
            shown[i] = var.Get();
        } else if (arg.kind == ValueKind::Out) {
            Variant& typed = storage.emplace_back();
            InitTypedStorage(typed, arg.refType, vars_.Find(arg.text));
            vars_.Define(arg.text);
            slot.vt = VT_BYREF | arg.refType;
            slot.byref = &typed.Get()->llVal;
            shown[i] = typed.Get();
            typedOuts.push_back({arg.text, &typed});
        } else if (arg.kind == ValueKind::ByRef) {
            Variant& target = storage.emplace_back();
            BuildVariant(arg.items.front(), context, *target.Get());
            slot.vt = VT_BYREF | VT_VARIANT;
            slot.pvarVal = target.Get();
            shown[i] = target.Get();
        } else {
            BuildVariant(arg, context, slot);
            shown[i] = &slot;
        }
    }

    if (command)
        out_ << prefix << "> " << step.name << "  InData: " << LogText(*shown[0]) << "\n";
    else
        out_ << prefix << "> " << step.name << "  Params: " << LogTextOfList(shown) << "\n";

    paper_.Mark();
    DISPPARAMS params{};
    params.cArgs = static_cast<UINT>(n);
    params.rgvarg = n ? reinterpret_cast<VARIANT*>(rgvarg.data()) : nullptr;
    Variant result;
    ExcepInfo excep;
    UINT argErr = 0;
    HRESULT hr = driver_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, step.flags, &params, result.Get(),
                                 &excep.info, &argErr);

    for (const auto& typed : typedOuts)
        vars_.Define(typed.var) = *typed.storage;

    std::ostringstream answer;
    answer << prefix << "< " << step.name << "  ";
    if (hr != S_OK)
        answer << HresultName(hr) << "  ";
    answer << "Result=" << LogText(result.Raw());
    if (command)
        answer << "; OutData: " << LogText(vars_.Get(step.outVar).Raw());
    else
        answer << "; Params: " << LogTextOfList(shown);
    out_ << answer.str() << "\n";
    std::string description = BstrToUtf8(excep.info.bstrDescription);
    if (hr == DISP_E_EXCEPTION)
        out_ << prefix << "! exception scode=" << excep.info.scode << " source='" << BstrToUtf8(excep.info.bstrSource)
             << "' description='" << description << "'\n";

    if (config_.brief) {
        std::vector<std::pair<std::string, const VARIANT*>> outs;
        if (command)
            outs.emplace_back(step.outVar, vars_.Get(step.outVar).Get());
        for (std::size_t i = 0; i < n && !command; ++i)
            if (args[i].kind == ValueKind::Out)
                outs.emplace_back(args[i].text, shown[i]);
        BriefCall(step, hr, result.Raw(), outs);
    }

    if (!step.resultVar.empty())
        vars_.Define(step.resultVar) = result;

    if (hr != step.expectHr) {
        std::string why = "expected HRESULT " + HresultName(step.expectHr) + ", got " + HresultName(hr);
        if (hr == DISP_E_EXCEPTION)
            why += " '" + description + "'";
        return fail(why);
    }
    if (step.expectException) {
        Variant text = Variant::FromUtf8(description);
        if (auto mismatch = Match(*step.expectException, text.Raw()))
            return fail("exception description: " + *mismatch);
    }
    if (step.expect) {
        if (auto mismatch = Match(*step.expect, result.Raw()))
            return fail("result: " + *mismatch);
    }
    for (const auto& [name, pattern] : step.expectVars) {
        if (auto mismatch = Match(pattern, vars_.Get(name).Raw()))
            return fail(name + " " + *mismatch);
    }
    return {};
}

StepOutcome Runner::RunSet(const Step& step) {
    Variant value;
    BuildVariant(step.value, BuildContext{vars_, manager_}, *value.Get());
    Variant& target = step.path.empty() ? vars_.Define(step.name) : vars_.Get(step.name);
    SetAt(*target.Get(), step.path, value.Raw());
    out_ << Prefix(step) << "set " << step.name << PathText(step.path) << " = " << LogText(value.Raw()) << "\n";
    return {};
}

StepOutcome Runner::RunCheck(const Step& step) {
    Variant element;
    GetAt(vars_.Get(step.name).Raw(), step.path, *element.Get());
    std::string where = step.name + PathText(step.path);
    if (auto mismatch = Match(step.value, element.Raw())) {
        out_ << Prefix(step) << "check " << where << ": FAILED\n";
        return {false, step.Label() + ": " + where + " " + *mismatch};
    }
    out_ << Prefix(step) << "check " << where << " = " << LogText(element.Raw()) << ": ok\n";
    return {};
}

StepOutcome Runner::RunPrint(const Step& step) {
    Variant element;
    GetAt(vars_.Get(step.name).Raw(), step.path, *element.Get());
    out_ << Prefix(step) << step.name << PathText(step.path) << " = " << LogText(element.Raw()) << "\n";
    return {};
}

StepOutcome Runner::RunShowFile(const Step& step) {
    namespace fs = std::filesystem;
    std::string name = ReplaceAll(step.file, "{today}", Today());
    fs::path found;
    std::vector<std::string> tried;
    fs::path given = PathFromUtf8(name);
    if (given.is_absolute()) {
        tried.push_back(name);
        if (fs::is_regular_file(given))
            found = given;
    } else {
        for (const auto& folder : config_.fileFolders) {
            fs::path candidate = PathFromUtf8(folder) / given;
            tried.push_back(PathToUtf8(candidate));
            std::error_code ec;
            if (fs::is_regular_file(candidate, ec)) {
                found = candidate;
                break;
            }
        }
    }
    if (found.empty()) {
        std::string where;
        for (const auto& t : tried)
            where += (where.empty() ? "" : ", ") + t;
        out_ << Prefix(step) << "file " << name << " not found (looked in: " << where << ")\n";
        return {false, step.Label() + ": file " + name + " not found (looked in: " + where + ")"};
    }
    std::ifstream file(found, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The driver writes its files in the ANSI code page.
    std::string text = AnsiToUtf8(bytes);
    out_ << Prefix(step) << "file " << PathToUtf8(found) << ":\n";
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        out_ << "    | " << line << "\n";
    }
    for (const auto& part : step.expectContains)
        if (text.find(part) == std::string::npos)
            return {false, step.Label() + ": " + PathToUtf8(found) + " does not contain '" + part + "'"};
    return {};
}

// "  [12]  ": the step's number in a column of its own.
std::string Runner::BriefPrefix(const Step& step) const {
    std::string prefix = Prefix(step);
    prefix.resize(std::max<std::size_t>(prefix.size(), 6), ' ');
    return "  " + prefix;
}

// A call in one line: its name, its result and what it handed back, then a table's first rows
// and the paper the call printed.
void Runner::BriefCall(const Step& step, HRESULT hr, const VARIANT& result,
                       const std::vector<std::pair<std::string, const VARIANT*>>& outs) {
    std::ostream& out = *config_.brief;
    std::string name = step.name;
    name.resize(std::max<std::size_t>(name.size(), 22), ' ');
    out << BriefPrefix(step) << name << " " << (hr == S_OK ? BriefValue(result) : HresultName(hr));
    std::vector<std::string> rows;
    const bool failed = result.vt == VT_BOOL && result.boolVal == VARIANT_FALSE;
    for (const auto& [var, value] : outs) {
        const VARIANT& v = Deref(*value);
        if (v.vt == VT_EMPTY || (v.vt == VT_BSTR && SysStringLen(v.bstrVal) == 0))
            continue;
        // A failed command's [code, text].
        if (failed && ArrayReader::IsArray(v)) {
            const ArrayReader array(v);
            if (array.Dims() == 1 && array.Count() == 2) {
                out << "  error " << BriefValue(array.Item(array.Lower()).Raw()) << ": "
                    << WideToUtf8(array.Item(array.Lower() + 1).AsWide());
                continue;
            }
        }
        out << "  " << var << " " << BriefValue(v);
        rows = BriefTableRows(v);
    }
    out << "\n";
    for (const auto& row : rows)
        out << "        | " << row << "\n";
    std::vector<std::string> paper = paper_.Take();
    if (paper.empty())
        return;
    ++documents_;
    out << "        paper:\n";
    for (const auto& line : paper)
        out << "        | " << line << "\n";
}

// What else a person wants to see of a step: the values the scenario shows, the files it reads,
// and why a step failed. Passing checks and settings of variables stay in the full trace.
void Runner::BriefStep(const Step& step, const StepOutcome& outcome) {
    std::ostream& out = *config_.brief;
    if (step.kind == StepKind::Print && outcome.passed) {
        Variant element;
        GetAt(vars_.Get(step.name).Raw(), step.path, *element.Get());
        out << BriefPrefix(step) << step.name << PathText(step.path) << " = " << BriefValue(element.Raw()) << "\n";
    } else if (step.kind == StepKind::ShowFile && outcome.passed) {
        out << BriefPrefix(step) << "file " << step.file << " read\n";
    }
    if (!outcome.passed)
        out << "      FAILED " << outcome.failure << "\n";
}

} // namespace host
