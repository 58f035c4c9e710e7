// The driver under test against the virtual printer: each test gets its own printer state folder,
// and may point the driver at another library folder or replace single entry points.
#pragma once

#include "device/DeviceTestSupport.h"
#include "emulator/EmulatorTestSupport.h"
#include "fiscal/uDriverFR.h"
#include "platform/PlatformExt.h"

#include <functional>

namespace fiscaltest {

using namespace devtest;
using azimuth::test::StateDir;
using nlohmann::json;

enum : DISPID {
    idOpenDay = 20,
    idPrintReceipt,
    idEncash,
    idPrintXReport,
    idPrintExtReport,
    idPrintZReport,
    idPrintTemplateDocument,
    idGetCountersInfo,
    idGetLastDocInfo,
    idOpenDrawer,
    idGetFPStateInfo,
    idGetDateTime,
    idSetDateTime,
    idPrintText,
    idUploadTemplate,
    idDownloadTemplate,
    idOpenCheck,
    idCancelCheck,
};

class TTestDriverFR : public TDriverFR {
public:
    static ComPtr<TTestDriverFR> Create() { return CreateComObject<TTestDriverFR>(); }

    std::string Folder;                          // empty: the driver's own
    std::function<void(TAzimuthEntries&)> Patch; // replaces entry points
    using TDriverFR::ReadDocNumbers;
    const std::vector<HWND>& WindowStack() const { return FWindowStack; }

protected:
    std::string LibraryFolder() const override {
        return Folder.empty() ? TDriverFR::LibraryFolder() : Folder;
    }
    TAzimuthEntries Lib() const override {
        TAzimuthEntries entries = TDriverFR::Lib();
        if (Patch)
            Patch(entries);
        return entries;
    }
};

// The folder of the incomplete library the tests build (with a trailing delimiter).
inline std::string IncompleteLibraryFolder() {
    const char d = platform::PathDelimiter();
    return platform::ModuleFolder(nullptr) + ".." + d + "tests" + d + "incomplete-azimuth" + d;
}

inline std::string FolderOf(const std::filesystem::path& path) {
    return path.string() + platform::PathDelimiter();
}

class DriverTest : public ::testing::Test {
protected:
    StateDir Dir;
    TFakeEquipmentManager Manager;
    ComPtr<TTestDriverFR> Driver = TTestDriverFR::Create();

    IDispatch* Disp() { return Driver.Get(); }
    void Faults(const std::string& text) { Dir.Write("COM1", "faults.json", text); }
    void Config(const std::string& text, const std::string& port = "COM1") {
        Dir.Write(port, "config.json", text);
    }
    void InitAndOpen() {
        ASSERT_TRUE(Init(Disp(), &Manager).Ok());
        ASSERT_TRUE(Open(Disp(), "1").Ok());
    }
    void Up() {
        InitAndOpen();
        TCommandAnswer enabled = Command(Disp(), idEnable);
        ASSERT_TRUE(enabled.Ok) << enabled.Text();
    }
    // The journal's calls of one entry point, in order.
    std::vector<json> Calls(const std::string& fn, const std::string& port = "COM1") const {
        std::vector<json> found;
        for (const json& call : Dir.Journal(port))
            if (call["fn"] == fn)
                found.push_back(call);
        return found;
    }
};

} // namespace fiscaltest
