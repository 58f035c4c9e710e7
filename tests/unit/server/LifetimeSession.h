// One session of a host that loads the driver module, creates an object, uses it, releases it
// and unloads the module again, as often as its equipment manager likes; shared by each system's
// lifetime test, which adds what it can count of the process (memory, files, handles).
#pragma once

#include "fiscal/FiscalTestSupport.h"
#include "framework/uDriverIdentity.h"

namespace lifetimetest {

using namespace fiscaltest;

using TGetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using TCanUnloadNow = HRESULT(STDAPICALLTYPE*)();

// The driver module beside the test program.
inline std::string DriverFile() { return platform::ModuleFolder(nullptr) + "orvel27fr.dll"; }

// Load, create, Init/Open/Enable, a command that reaches the printer, Disable/Close, release,
// unload; the module must be gone afterwards, as a module that stays keeps its state into the
// next load.
inline void Session(const std::string& file, TFakeEquipmentManager& manager) {
    HMODULE module = LoadLibraryA(file.c_str());
    ASSERT_NE(module, nullptr) << file;
    auto getClassObject = reinterpret_cast<TGetClassObject>(reinterpret_cast<void (*)()>(GetProcAddress(module, "DllGetClassObject")));
    auto canUnloadNow = reinterpret_cast<TCanUnloadNow>(reinterpret_cast<void (*)()>(GetProcAddress(module, "DllCanUnloadNow")));
    ASSERT_TRUE(getClassObject && canUnloadNow);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(getClassObject(CLSID_Orvel27, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    IDispatch* driver = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&driver)), S_OK);
    factory->Release();

    EXPECT_TRUE(Init(driver, &manager).Ok());
    EXPECT_TRUE(Open(driver, "1").Ok());
    EXPECT_TRUE(Command(driver, idEnable).Ok);
    const TCommandAnswer used = Command(driver, idGetCountersInfo);
    EXPECT_TRUE(used.Ok) << used.Text();
    EXPECT_TRUE(Command(driver, idDisable).Ok);
    EXPECT_TRUE(Raw(driver, idClose, Variant()).Ok());
    EXPECT_EQ(canUnloadNow(), S_FALSE); // the object is alive
    driver->Release();
    EXPECT_EQ(canUnloadNow(), S_OK);
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(GetModuleHandleA("orvel27fr.dll"), nullptr);
    manager.Questions.clear(); // the test's own record, not the driver's
}

// A host's setting for the sessions: its devices folder in a folder of the test's own.
struct THost {
    StateDir Printers;
    TTempFolder Devices;
    TFakeEquipmentManager Manager;
    THost() { Manager.Answers["DevicesFolder"] = Devices.Path.string() + "/"; }
};

// The first sessions pay for what lives as long as the process (caches of the runtime).
constexpr int WarmUp = 20;
constexpr int Sessions = 1000;

} // namespace lifetimetest
