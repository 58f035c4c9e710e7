// The machinery of the fault sweeps: a clean run's library calls, read from the printer's journal,
// and a faulted run per call and fault, each from the same saved printer.
#pragma once

#include "FiscalTestSupport.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace fiscaltest {

// Calls a fault rule cannot name: the answer readers and the library's own bookkeeping.
inline bool Faultable(const std::string& fn) {
    static const char* const quiet[] = {"GetErrorMessageNo", "GetErrorMessage", "GetLastDllError", "GetDllVer",
                                        "CloseDLL", "SetCommTimeoutMs"};
    if (fn.rfind("GetFld", 0) == 0)
        return false;
    return std::none_of(std::begin(quiet), std::end(quiet), [&](const char* q) { return fn == q; });
}

// A library call as a fault rule names it: the entry point and its count since the connect.
struct TSweptCall {
    std::string Fn;
    int Call = 0;
    std::string Name() const { return Fn + "#" + std::to_string(Call); }
};

// The faultable calls of journal lines [Start, End), counted from the connect at line Connect.
inline std::vector<TSweptCall> FaultableCalls(const std::vector<json>& Journal, std::size_t Connect,
                                              std::size_t Start, std::size_t End = SIZE_MAX) {
    std::vector<TSweptCall> calls;
    std::map<std::string, int> counts;
    for (std::size_t i = Connect; i < Journal.size() && i < End; ++i) {
        const std::string fn = Journal[i]["fn"];
        const int n = ++counts[fn];
        if (i >= Start && Faultable(fn))
            calls.push_back({fn, n});
    }
    return calls;
}

// "fn" names every call of the entry point, "fn#n" the n-th.
inline bool Listed(const std::vector<std::string>& List, const TSweptCall& Call) {
    return std::any_of(List.begin(), List.end(), [&](const std::string& s) { return s == Call.Fn || s == Call.Name(); });
}

// The printer's answers the sweeps inject and what the host is told of each.
struct TSweptFault {
    int Code;
    LONG DriverCode;
    const char* Text; // UTF-8
};
inline constexpr TSweptFault SweptFaults[] = {{23, 1001, "Нет бумаги (23)"}, {194, 1007, "ККМ не отвечает (194)"}};

// The state files of COM1 as they were when it was made; Restore puts them back (a file that did
// not exist is removed).
class TPrinterSnapshot {
public:
    explicit TPrinterSnapshot(const StateDir& Dir) : FDir(Dir) {
        for (const char* file : {"fiscal.json", "config.json"})
            FFiles[file] = Dir.Exists("COM1", file) ? Dir.Read("COM1", file) : std::string();
    }
    void Restore() const {
        for (const auto& [file, text] : FFiles)
            if (text.empty())
                std::filesystem::remove(FDir.Port() / file);
            else
                FDir.Write("COM1", file, text);
    }

private:
    const StateDir& FDir;
    std::map<std::string, std::string> FFiles;
};

// What the printer of COM1 registered, without the numbering of the paper: a text document it
// began is on the tape and counted even when cancelled, but it is no part of the fiscal memory.
inline json FiscalRecord(const StateDir& Dir) {
    if (!Dir.Exists("COM1", "fiscal.json"))
        return json{{"shiftOpen", false}};
    json state = json::parse(Dir.Read("COM1", "fiscal.json"));
    state.erase("documentNumber");
    state["shift"].erase("documents");
    state["shift"].erase("nonFiscalDocuments");
    // When a shift opened is the clock's: two runs a second apart open the same shift.
    if (state.contains("shiftOpenedAt"))
        state["shiftOpenedAt"] = !state["shiftOpenedAt"].is_null();
    return state;
}

// Runs Faulted once per call and fault, each time from the snapshot with a faults file that fails
// that one call; the faults file is emptied afterwards.
template <class TFaulted>
void ForEachFault(const StateDir& Dir, const TPrinterSnapshot& Snapshot, const std::vector<TSweptCall>& Calls,
                  TFaulted&& Faulted) {
    for (const TSweptFault& fault : SweptFaults)
        for (const TSweptCall& call : Calls) {
            SCOPED_TRACE(call.Name() + " fails with " + std::to_string(fault.Code));
            Snapshot.Restore();
            Dir.Write("COM1", "faults.json",
                      R"({"rules": [{"fn": ")" + call.Fn + R"(", "code": )" + std::to_string(fault.Code) +
                          R"(, "call": )" + std::to_string(call.Call) + "}]}");
            Faulted(call, fault);
        }
    Dir.Write("COM1", "faults.json", "{}");
}

} // namespace fiscaltest
