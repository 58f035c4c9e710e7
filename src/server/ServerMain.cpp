// Library entry points: the class factory, unload accounting and self-registration.
#include "framework/uDriverIdentity.h"
#include "server/DriverClass.h"

#include "platform/PlatformExt.h"
#include "platform/SystemEventLog.h"

#ifdef _WIN32
#include <olectl.h>
#endif

#include <atomic>
#include <new>
#include <string>

namespace {

// A host loads and frees the module as often as it likes: what the C++ runtime keeps past the
// unload goes with it.
const platform::TModuleRuntimeRelease RuntimeRelease;

// Server locks: LockServer calls plus references to the class factory a host holds.
std::atomic<LONG> ServerLocks{0};

class TClassFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is a static object; its references only keep the module loaded.
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++ServerLocks); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--ServerLocks); }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (pUnkOuter)
            return CLASS_E_NOAGGREGATION;
        try {
            // Every creation makes a new object (multiple instances).
            ComPtr<TBaseObject> object = CreateDriverObject();
            return object->QueryInterface(riid, ppv);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) override {
        if (fLock)
            ++ServerLocks;
        else
            --ServerLocks;
        return S_OK;
    }
};

TClassFactory Factory;

// ---------------------------------------------------------------------------------------------
// Registration under HKEY_CLASSES_ROOT

bool SetKey(const std::string& path, const char* valueName, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG rc = RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool DeleteKey(const std::string& path) {
    const LONG rc = RegDeleteKeyA(HKEY_CLASSES_ROOT, path.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

const std::string ClassKey = std::string("CLSID\\") + ClassIDText;

// The driver's source in the system's event log, with this module's message table. The event
// log's file does without it, so registering the class does not depend on it.
void RegisterDriverEventSource(const std::string& modulePath) {
    platform::RegisterEventLogSource(EventSourceName, modulePath);
}
void UnregisterDriverEventSource() {
    platform::UnregisterEventLogSource(EventSourceName);
}

// On 64-bit Windows each bitness registers the class in a registry view of its own, while the
// ProgID is shared: it goes with the last registration of the class, never while the other
// bitness still needs it. Without a second view the other view is this one, already cleared.
bool UnregisterProgID() {
    const REGSAM otherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, (ClassKey + "\\InprocServer32").c_str(), 0, KEY_READ | otherView, &key) ==
        ERROR_SUCCESS) {
        RegCloseKey(key);
        return true;
    }
    const bool ok = DeleteKey(std::string(DriverProgID) + "\\Clsid");
    return DeleteKey(DriverProgID) && ok;
}

} // namespace

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, CLSID_Orvel27))
        return CLASS_E_CLASSNOTAVAILABLE;
    return Factory.QueryInterface(riid, ppv);
}

STDAPI DllCanUnloadNow() { return (ComObjectCount() == 0 && ServerLocks.load() == 0) ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
    try {
        const std::string modulePath = platform::ModuleFileName(platform::ModuleOf(&Factory));
        if (modulePath.empty())
            return SELFREG_E_CLASS;
        const bool ok = SetKey(ClassKey, nullptr, ServerDescription) &&
                        SetKey(ClassKey + "\\InprocServer32", nullptr, modulePath) &&
                        SetKey(ClassKey + "\\InprocServer32", "ThreadingModel", "Apartment") &&
                        SetKey(ClassKey + "\\ProgID", nullptr, DriverProgID) &&
                        SetKey(DriverProgID, nullptr, ServerDescription) &&
                        SetKey(std::string(DriverProgID) + "\\Clsid", nullptr, ClassIDText);
        if (ok)
            RegisterDriverEventSource(modulePath);
        return ok ? S_OK : SELFREG_E_CLASS;
    } catch (...) {
        return SELFREG_E_CLASS;
    }
}

STDAPI DllUnregisterServer() {
    try {
        // Subkeys first: a key with subkeys cannot be deleted.
        bool ok = DeleteKey(ClassKey + "\\InprocServer32");
        ok = DeleteKey(ClassKey + "\\ProgID") && ok;
        ok = DeleteKey(ClassKey) && ok;
        ok = UnregisterProgID() && ok;
        UnregisterDriverEventSource();
        return ok ? S_OK : SELFREG_E_CLASS;
    } catch (...) {
        return SELFREG_E_CLASS;
    }
}
