// A host that loads the driver module, creates an object, uses it, releases it and unloads the
// module again as often as its equipment manager likes: nothing may stay behind, neither memory
// nor an open file.
#include "fiscal/FiscalTestSupport.h"
#include "framework/uDriverIdentity.h"

#include <dirent.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVEL_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ORVEL_ASAN 1
#endif
#ifdef ORVEL_ASAN
extern "C" std::size_t __sanitizer_get_current_allocated_bytes(); // the sanitizer's allocator
extern "C" int __lsan_do_recoverable_leak_check();
#else
#include <malloc.h>
#endif

namespace {

using namespace fiscaltest;

std::size_t HeapInUse() {
#ifdef ORVEL_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

std::size_t OpenFiles() {
    std::size_t n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d))
            ++n;
        closedir(d);
    }
    return n;
}

// Whether a module of this file name is mapped into the process.
bool Mapped(const std::string& name) {
    return ReadFile("/proc/self/maps").find(name) != std::string::npos;
}

using TGetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using TCanUnloadNow = HRESULT(STDAPICALLTYPE*)();

// One host session: load, create, Init/Open/Enable, a command that reaches the printer,
// Disable/Close, release, unload.
void Session(const std::string& file, TFakeEquipmentManager& manager) {
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
    // Really gone: a module that stays mapped keeps its state into the next load.
    EXPECT_FALSE(Mapped("liborvel27fr.so"));
    manager.Questions.clear(); // the test's own record, not the driver's
}

TEST(Lifetime, AThousandSessionsOfLoadCreateUseReleaseUnloadLeaveNothingBehind) {
    StateDir dir;
    TTempFolder devices;
    TFakeEquipmentManager manager;
    manager.Answers["DevicesFolder"] = devices.Path.string() + "/";
    const std::string file = platform::ModuleFolder(nullptr) + "orvel27fr.dll";

    // The first sessions pay for what lives as long as the process (caches of the runtime).
    for (int i = 0; i < 20; ++i)
        ASSERT_NO_FATAL_FAILURE(Session(file, manager));
    const std::size_t heap = HeapInUse(), files = OpenFiles();
    for (int i = 0; i < 1000; ++i)
        ASSERT_NO_FATAL_FAILURE(Session(file, manager)) << "session " << i;
    EXPECT_EQ(OpenFiles(), files);
#ifdef ORVEL_ASAN
    // The sanitizer adds an exit handler of its own for every static destructor a module
    // registers, and those stay (about 250 bytes a session here): unreachable memory is what
    // tells a leak, and growth stays well below what keeping a session's objects would take.
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
    EXPECT_LT(HeapInUse(), heap + 1000 * 512) << "from " << heap;
#else
    // A leak of even one small allocation per session would show as 1000 of them.
    EXPECT_LT(HeapInUse(), heap + 16 * 1024) << "from " << heap;
#endif
    EXPECT_EQ(manager.References(), 1u);
}

} // namespace
