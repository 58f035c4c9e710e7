#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "ProbeServer.h"
#include "TestText.h"

using namespace platform_test;

namespace {

WideString GuidText(REFGUID guid) {
    WCHAR text[39] = {};
    EXPECT_EQ(StringFromGUID2(guid, text, 39), 39);
    return WideString(text);
}

std::string Narrow(const WideString& text) { return std::string(text.begin(), text.end()); }

GUID NewGuid() {
    GUID guid{};
    EXPECT_EQ(CoCreateGuid(&guid), S_OK);
    return guid;
}

// Writes one string value under HKEY_CLASSES_ROOT, creating the key.
void SetClassesRootString(const std::string& path, const char* name, const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

class ComActivation : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
};

// The probe server registered as a host's installer registers the driver, under a CLSID and a
// ProgID of this run only; the keys go with the object.
class RegisteredProbe {
public:
    RegisteredProbe() : clsid(NewGuid()) {
        const std::string clsidText = Narrow(GuidText(clsid));
        clsidKey_ = "CLSID\\" + clsidText;
        progId = "Orvel27Tests.Probe" + clsidText.substr(1, 8);
        const std::string module = platform::ModuleFolder(nullptr) + "orvel_probe.dll";
        SetClassesRootString(clsidKey_, nullptr, "Orvel27 test probe");
        SetClassesRootString(clsidKey_ + "\\InprocServer32", nullptr, module);
        SetClassesRootString(clsidKey_ + "\\InprocServer32", "ThreadingModel", "Apartment");
        SetClassesRootString(progId + "\\Clsid", nullptr, clsidText);
    }
    ~RegisteredProbe() {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, clsidKey_.c_str());
        RegDeleteTreeA(HKEY_CLASSES_ROOT, progId.c_str());
    }
    RegisteredProbe(const RegisteredProbe&) = delete;
    RegisteredProbe& operator=(const RegisteredProbe&) = delete;

    const CLSID clsid;
    std::string progId;

private:
    std::string clsidKey_;
};

} // namespace

TEST(Guids, TextFormRoundTrips) {
    EXPECT_EQ(Narrow(GuidText(IID_IDispatch)), "{00020400-0000-0000-C000-000000000046}");
    EXPECT_EQ(Narrow(GuidText(IID_ISupportErrorInfo)), "{DF0B3D60-548F-101B-8E65-08002B2BD119}");

    const GUID guid = NewGuid();
    const WideString text = GuidText(guid);
    GUID back{};
    ASSERT_EQ(CLSIDFromString(text.c_str(), &back), S_OK);
    EXPECT_TRUE(IsEqualGUID(back, guid));
    back = GUID{};
    ASSERT_EQ(IIDFromString(Wide(u"{df0b3d60-548f-101b-8e65-08002b2bd119}").c_str(), &back), S_OK);
    EXPECT_TRUE(IsEqualGUID(back, IID_ISupportErrorInfo));

    WCHAR shortBuffer[38];
    EXPECT_EQ(StringFromGUID2(guid, shortBuffer, 38), 0);
}

TEST(Guids, NewGuidsAreRandomVersion4) {
    const GUID a = NewGuid(), b = NewGuid();
    EXPECT_FALSE(IsEqualGUID(a, b));
    EXPECT_EQ(a.Data3 >> 12, 4);
    EXPECT_EQ(a.Data4[0] & 0xC0, 0x80);
}

TEST(Guids, MalformedTextIsRefused) {
    GUID guid{};
    EXPECT_EQ(IIDFromString(Wide(u"{00020400-0000-0000-C000-00000000004}").c_str(), &guid), E_INVALIDARG);
    EXPECT_EQ(IIDFromString(Wide(u"{00020400-0000-0000-C000-00000000004G}").c_str(), &guid), CO_E_IIDSTRING);
    EXPECT_EQ(IIDFromString(Wide(u"(00020400-0000-0000-C000-000000000046)").c_str(), &guid), CO_E_IIDSTRING);
    // Text that is no GUID is taken for a ProgID, and this one is not registered.
    EXPECT_EQ(CLSIDFromString(Wide(u"Orvel27Tests.NoSuchClass").c_str(), &guid), CO_E_CLASSSTRING);
}

TEST(ComInitialization, IsCountedPerThreadAndKeepsItsModel) {
    // A thread of its own: other tests may have initialized the main thread.
    std::thread([] {
        EXPECT_EQ(CoInitialize(nullptr), S_OK);
        EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
        CoUninitialize();
        CoUninitialize();
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        CoUninitialize();
    }).join();
}

TEST_F(ComActivation, UnregisteredClassAndProgIDAreReported) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(NewGuid(), nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(Wide(u"Orvel27Tests.NoSuchClass").c_str(), &clsid), CO_E_CLASSSTRING);
}

TEST_F(ComActivation, RegisteredServerIsCreatedByProgIDAndCalled) {
    RegisteredProbe registered;
    const WideString progId(registered.progId.begin(), registered.progId.end());
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(progId.c_str(), &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, registered.clsid));
    clsid = CLSID{};
    ASSERT_EQ(CLSIDFromString(progId.c_str(), &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, registered.clsid));

    IOrvelProbe* probe = nullptr;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOrvelProbe, reinterpret_cast<void**>(&probe)),
              S_OK);
    ASSERT_NE(probe, nullptr);
    LONG sum = 0;
    EXPECT_EQ(probe->Add(40, 2, &sum), S_OK);
    EXPECT_EQ(sum, 42);

    // Each creation is a new object of the same loaded module.
    IOrvelProbe* second = nullptr;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IOrvelProbe, reinterpret_cast<void**>(&second)), S_OK);
    EXPECT_NE(second, probe);
    EXPECT_EQ(probe->LiveObjects(), 2);
    second->Release();
    EXPECT_EQ(probe->LiveObjects(), 1);

    // Asking an idle-check while an object lives must leave the module loaded.
    CoFreeUnusedLibraries();
    EXPECT_EQ(probe->Add(1, 1, &sum), S_OK);
    probe->Release();

    void* dispatch = nullptr;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, &dispatch), E_NOINTERFACE);
    EXPECT_EQ(dispatch, nullptr);
}

TEST_F(ComActivation, RegisteredModuleThatIsMissingFails) {
    RegisteredProbe registered;
    SetClassesRootString("CLSID\\" + Narrow(GuidText(registered.clsid)) + "\\InprocServer32", nullptr,
                         platform::ModuleFolder(nullptr) + "orvel27_no_such_module.dll");
    void* object = reinterpret_cast<void*>(1);
    EXPECT_TRUE(FAILED(CoCreateInstance(registered.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object)));
    EXPECT_EQ(object, nullptr);
}
