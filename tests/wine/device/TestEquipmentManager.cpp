// The host's equipment manager for script hosts under Wine, where a script's own object cannot
// stand in for it (the script engine answers GetIDsOfNames with E_NOTIMPL and never writes back a
// typed by-reference string). An in-process server of the tests, ProgID Ovra.TestEquipmentManager,
// built on our own automation base:
//   GetAppProperty(DeviceID, Name, var Value) -> Boolean   answers what SetAppProperty stored
//   SetAppProperty(Name, Value)                             stores an answer
//   LastDeviceID() -> string, QuestionCount() -> integer   what the driver asked
#include "framework/uBaseObject.h"

#include <olectl.h>

#include <map>
#include <string>

namespace {

// {6A0C3B1E-52D4-4C8F-9E71-2B5D8A4F0C63}
constexpr CLSID ClassID = {0x6A0C3B1E, 0x52D4, 0x4C8F, {0x9E, 0x71, 0x2B, 0x5D, 0x8A, 0x4F, 0x0C, 0x63}};
constexpr char ClassIDText[] = "{6A0C3B1E-52D4-4C8F-9E71-2B5D8A4F0C63}";
constexpr char ProgID[] = "Ovra.TestEquipmentManager";

class TTestEquipmentManager final : public TBaseObject {
public:
    void Initialize() override {
        TBaseObject::Initialize();
        AddMethod("GetAppProperty", &TTestEquipmentManager::GetAppPropertyMethod);
        AddMethod("SetAppProperty", &TTestEquipmentManager::SetAppPropertyMethod);
        AddMethod("LastDeviceID", &TTestEquipmentManager::LastDeviceIDMethod);
        AddMethod("QuestionCount", &TTestEquipmentManager::QuestionCountMethod);
    }

private:
    std::map<std::string, WString> FAnswers; // by ANSI name
    WString FLastDeviceID;
    LONG FQuestions = 0;

    const WString* Find(const std::string& name) const {
        for (const auto& [key, value] : FAnswers)
            if (SameName(key, name))
                return &value;
        return nullptr;
    }

    void GetAppPropertyMethod(TMethodParams& Params, Variant& Result) {
        ++FQuestions;
        FLastDeviceID = Variant::CopyOf(Params.Item(0)).AsWide();
        const WString* answer = Find(Variant::CopyOf(Params.Item(1)).AsAnsi());
        // Written back through the caller's typed string reference.
        if (answer)
            Params.Set(2, Variant(*answer));
        Result = Variant(answer != nullptr);
    }
    void SetAppPropertyMethod(TMethodParams& Params, Variant& Result) {
        FAnswers[Variant::CopyOf(Params.Item(0)).AsAnsi()] = Variant::CopyOf(Params.Item(1)).AsWide();
        Result = Variant(true);
    }
    void LastDeviceIDMethod(TMethodParams&, Variant& Result) { Result = Variant(FLastDeviceID); }
    void QuestionCountMethod(TMethodParams&, Variant& Result) { Result = Variant(FQuestions); }
};

class TFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        *ppv = (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) ? this : nullptr;
        return *ppv ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        try {
            return CreateComObject<TTestEquipmentManager>()->QueryInterface(riid, ppv);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

TFactory Factory;

bool SetKey(const std::string& path, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG rc = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

const std::string ClassKey = std::string("CLSID\\") + ClassIDText;

} // namespace

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    return IsEqualCLSID(rclsid, ClassID) ? Factory.QueryInterface(riid, ppv) : CLASS_E_CLASSNOTAVAILABLE;
}

// The test process ends soon anyway; the module stays while objects live.
STDAPI DllCanUnloadNow() { return ComObjectCount() == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
    const std::string path = platform::ModuleFileName(platform::ModuleOf(&Factory));
    return SetKey(ClassKey, ProgID) && SetKey(ClassKey + "\\InprocServer32", path) &&
                   SetKey(ClassKey + "\\ProgID", ProgID) && SetKey(std::string(ProgID) + "\\Clsid", ClassIDText)
               ? S_OK
               : SELFREG_E_CLASS;
}

// What is already gone counts as removed, so an interrupted run can always clean up.
STDAPI DllUnregisterServer() {
    for (const std::string& key : {ClassKey + "\\InprocServer32", ClassKey + "\\ProgID", ClassKey,
                                   std::string(ProgID) + "\\Clsid", std::string(ProgID)}) {
        const LONG rc = RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str());
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
            return SELFREG_E_CLASS;
    }
    return S_OK;
}
