// A C++ host of the registered driver module: registration keys, creation by ProgID, the exact
// HRESULTs and EXCEPINFO of the dispatch road, the class factory and unload accounting.
#include "framework/uDriverIdentity.h"

#include <gtest/gtest.h>

#include <olectl.h>
#include <winver.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

std::string ModulePath; // argv[1]: the module regsvr32 registered

std::string ReadKey(const std::string& key, const char* value = nullptr) {
    char data[1024] = {};
    DWORD type = 0;
    DWORD bytes = sizeof data;
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return "<missing>";
    LONG rc = RegQueryValueExA(h, value, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes);
    RegCloseKey(h);
    return rc == ERROR_SUCCESS && type == REG_SZ ? std::string(data) : "<no value>";
}

class HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        CLSID clsid{};
        ASSERT_EQ(CLSIDFromProgID(L"Ovra.Orvel27", &clsid), S_OK);
        ASSERT_TRUE(IsEqualCLSID(clsid, CLSID_Orvel27));
        ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(&Object)),
                  S_OK);
    }
    void TearDown() override {
        if (Object)
            Object->Release();
        CoUninitialize();
    }

    DISPID Id(const wchar_t* name, HRESULT* hr = nullptr) {
        LPOLESTR n = const_cast<LPOLESTR>(name);
        DISPID id = 12345;
        HRESULT r = Object->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
        if (hr)
            *hr = r;
        return id;
    }

    // Arguments in call order.
    HRESULT Call(DISPID id, std::vector<VARIANT> args, VARIANT* result, EXCEPINFO* excep = nullptr,
                 WORD flags = DISPATCH_METHOD) {
        std::vector<VARIANT> rgvarg(args.rbegin(), args.rend());
        DISPPARAMS dp{rgvarg.empty() ? nullptr : rgvarg.data(), nullptr, static_cast<UINT>(rgvarg.size()), 0};
        return Object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &dp, result, excep, nullptr);
    }

    static VARIANT Long(LONG v) {
        VARIANT r;
        VariantInit(&r);
        r.vt = VT_I4;
        r.lVal = v;
        return r;
    }
    static VARIANT Ref(VARIANT* target) {
        VARIANT r;
        VariantInit(&r);
        r.vt = VT_BYREF | VT_VARIANT;
        r.pvarVal = target;
        return r;
    }

    IDispatch* Object = nullptr;
};

TEST_F(HostTest, RegistrationKeysAreThoseOfAnInProcessServer) {
    const std::string clsidKey = std::string("CLSID\\") + ClassIDText;
    EXPECT_EQ(ReadKey(clsidKey), "8.2 Equipment Driver 2.0");
    EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, ReadKey(clsidKey + "\\InprocServer32").c_str(),
                             -1, ModulePath.c_str(), -1),
              CSTR_EQUAL)
        << ReadKey(clsidKey + "\\InprocServer32") << " vs " << ModulePath;
    EXPECT_EQ(ReadKey(clsidKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(ReadKey(clsidKey + "\\ProgID"), "Ovra.Orvel27");
    EXPECT_EQ(ReadKey("Ovra.Orvel27"), "8.2 Equipment Driver 2.0");
    EXPECT_EQ(ReadKey("Ovra.Orvel27\\Clsid"), ClassIDText);
}

TEST_F(HostTest, NameLookupResults) {
    HRESULT hr;
    const DISPID mirror = Id(L"Mirror", &hr);
    EXPECT_EQ(hr, S_OK);
    EXPECT_GE(mirror, 10);
    EXPECT_EQ(Id(L"mIRROR"), mirror);
    EXPECT_EQ(Id(L"Mirro", &hr), DISPID_UNKNOWN);
    EXPECT_EQ(hr, E_NOTIMPL);
    EXPECT_EQ(Id(L""), 0);
}

TEST_F(HostTest, RefusedInvocations) {
    VARIANT result;
    VariantInit(&result);
    const DISPID mirror = Id(L"Mirror");
    EXPECT_EQ(Call(mirror, {}, &result, nullptr, DISPATCH_PROPERTYGET), E_FAIL);
    EXPECT_EQ(Call(100000, {}, &result), E_FAIL);
    EXPECT_EQ(Call(5000, {}, &result), E_FAIL);
    EXPECT_EQ(Call(-7, {}, &result), E_FAIL);

    VARIANT out;
    VariantInit(&out);
    EXPECT_EQ(Call(mirror, {Long(1), Ref(&out)}, &result), E_INVALIDARG);
    VARIANT text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = SysAllocString(L"100");
    EXPECT_EQ(Call(mirror, {Long(1), Ref(&out), text}, &result), E_INVALIDARG);
    VariantClear(&text);
    VariantClear(&out);
}

TEST_F(HostTest, FailuresCarryExcepInfo) {
    VARIANT result;
    VariantInit(&result);
    VARIANT message;
    VariantInit(&message);
    message.vt = VT_BSTR;
    message.bstrVal = SysAllocString(L"boom");
    EXCEPINFO excep{};
    EXPECT_EQ(Call(Id(L"Raise"), {message}, &result, &excep), DISP_E_EXCEPTION);
    EXPECT_EQ(excep.scode, 1001);
    EXPECT_STREQ(excep.bstrDescription, L"boom");
    EXPECT_STREQ(excep.bstrSource, L"EDriverError");
    EXPECT_EQ(result.vt, VT_EMPTY);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrSource);
    VariantClear(&message);

    EXCEPINFO blank{};
    EXPECT_EQ(Call(0, {}, &result, &blank), DISP_E_EXCEPTION);
    EXPECT_EQ(blank.scode, 1001);
    SysFreeString(blank.bstrDescription);
    SysFreeString(blank.bstrSource);
}

TEST_F(HostTest, CommandResultAndErrorArray) {
    VARIANT result, out;
    VariantInit(&result);
    VariantInit(&out);
    SAFEARRAY* in = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    LONG i = 0;
    VARIANT code = Long(1006);
    SafeArrayPutElement(in, &i, &code);
    VARIANT inData;
    VariantInit(&inData);
    inData.vt = VT_ARRAY | VT_VARIANT;
    inData.parray = in;
    VARIANT timeout;
    VariantInit(&timeout);
    timeout.vt = VT_I2;
    timeout.iVal = 3;
    ASSERT_EQ(Call(Id(L"Fail"), {inData, Ref(&out), timeout}, &result), S_OK);
    EXPECT_EQ(result.vt, VT_BOOL);
    EXPECT_EQ(result.boolVal, VARIANT_FALSE);
    ASSERT_EQ(out.vt, VT_ARRAY | VT_VARIANT);
    VARIANT element;
    VariantInit(&element);
    i = 0;
    SafeArrayGetElement(out.parray, &i, &element);
    EXPECT_EQ(element.vt, VT_I4);
    EXPECT_EQ(element.lVal, 1006);
    i = 1;
    VariantClear(&element);
    SafeArrayGetElement(out.parray, &i, &element);
    EXPECT_EQ(element.vt, VT_BSTR);
    EXPECT_STREQ(element.bstrVal, L"\x0411\x0438\x0431\x043B\x0438\x043E\x0442\x0435\x043A\x0430 \x043D\x0435 "
                                  L"\x043D\x0430\x0439\x0434\x0435\x043D\x0430");
    VariantClear(&element);
    VariantClear(&out);
    VariantClear(&inData);
}

TEST_F(HostTest, VersionComesFromTheModulesVersionResource) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(ModulePath.c_str(), &handle);
    ASSERT_GT(size, 0u) << "the module carries a version resource";
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(ModulePath.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length));
    wchar_t expected[64];
    std::swprintf(expected, 64, L"%u.%u.%u", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                  LOWORD(info->dwFileVersionLS));
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(Call(Id(L"Version"), {}, &result), S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_STREQ(result.bstrVal, expected);
    VariantClear(&result);
}

TEST(ClassFactory, CreatesNewObjectsAndCountsForUnloading) {
    HMODULE module = LoadLibraryA(ModulePath.c_str());
    ASSERT_NE(module, nullptr);
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
    auto getClassObject = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    auto canUnloadNow = reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    ASSERT_TRUE(getClassObject && canUnloadNow);
    EXPECT_EQ(canUnloadNow(), S_OK);

    IClassFactory* factory = nullptr;
    EXPECT_EQ(getClassObject(IID_IDispatch, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
              CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(getClassObject(CLSID_Orvel27, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "a held factory keeps the module";

    IDispatch* a = nullptr;
    IDispatch* b = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&a)), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&b)), S_OK);
    EXPECT_NE(a, b);
    IUnknown* aggregated = nullptr;
    EXPECT_EQ(factory->CreateInstance(a, IID_IUnknown, reinterpret_cast<void**>(&aggregated)), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(aggregated, nullptr);
    ISupportErrorInfo* errorInfo = nullptr;
    EXPECT_EQ(a->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&errorInfo)), S_OK);
    errorInfo->Release();

    a->Release();
    b->Release();
    factory->LockServer(TRUE);
    factory->Release();
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "locked";
    // A lock does not need the factory reference to be undone.
    IClassFactory* again = nullptr;
    ASSERT_EQ(getClassObject(CLSID_Orvel27, IID_IClassFactory, reinterpret_cast<void**>(&again)), S_OK);
    again->LockServer(FALSE);
    again->Release();
    EXPECT_EQ(canUnloadNow(), S_OK);
    FreeLibrary(module);
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: orvel_framework_host <path of orvel27fr.dll>\n");
        return 2;
    }
    char full[MAX_PATH] = {};
    GetFullPathNameA(argv[1], MAX_PATH, full, nullptr);
    ModulePath = full;
    return RUN_ALL_TESTS();
}
