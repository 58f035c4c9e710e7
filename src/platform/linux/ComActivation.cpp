// COM initialization, task memory, ProgID lookup and activation of in-process servers.
#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "BuiltinClasses.h"
#include "platform/Platform.h"

namespace {

thread_local int initializeCount = 0;
thread_local DWORD threadingModel = COINIT_APARTMENTTHREADED;

std::string Ansi(LPCOLESTR text) {
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

// The default value of HKEY_CLASSES_ROOT\<path> if it is a string.
std::optional<std::string> ClassesRootString(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    std::optional<std::string> result;
    DWORD type = REG_NONE, size = 0;
    if (RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::string value(size, '\0');
        if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) ==
            ERROR_SUCCESS) {
            value.resize(std::min<size_t>(size, value.find('\0')));
            result = std::move(value);
        }
    }
    RegCloseKey(key);
    return result;
}

std::string GuidText(REFGUID guid) {
    OLECHAR text[39];
    StringFromGUID2(guid, text, 39);
    return Ansi(text);
}

template <class Function>
Function EntryPoint(HMODULE module, const char* name) {
    // Through a plain function pointer type: casting FARPROC straight to another signature is
    // what the compiler rightly warns about.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The in-process servers loaded so far. Each stays loaded until CoFreeUnusedLibraries finds it
// idle, so the class objects and instances it handed out keep their code. The class object is
// asked for under the lock, so no idle check can unload a module between its loading and that
// call; the lock is recursive for servers that activate other classes while they answer.
class Servers {
public:
    HRESULT GetClassObject(const std::string& file, REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        HMODULE module = LoadLibraryA(file.c_str());
        if (!module)
            return HRESULT_FROM_WIN32(GetLastError());
        for (const Server& server : servers_) {
            if (server.module == module) {
                FreeLibrary(module); // one reference is enough
                return server.getClassObject(rclsid, riid, ppv);
            }
        }
        Server server{module, EntryPoint<LPFNGETCLASSOBJECT>(module, "DllGetClassObject"),
                      EntryPoint<LPFNCANUNLOADNOW>(module, "DllCanUnloadNow")};
        if (!server.getClassObject) {
            FreeLibrary(module);
            return CO_E_ERRORINDLL;
        }
        servers_.push_back(server);
        return server.getClassObject(rclsid, riid, ppv);
    }

    void FreeUnused() {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        for (auto it = servers_.begin(); it != servers_.end();) {
            if (it->canUnloadNow && it->canUnloadNow() == S_OK) {
                FreeLibrary(it->module);
                it = servers_.erase(it);
            } else {
                ++it;
            }
        }
    }

private:
    struct Server {
        HMODULE module;
        LPFNGETCLASSOBJECT getClassObject;
        LPFNCANUNLOADNOW canUnloadNow;
    };
    std::recursive_mutex mutex_;
    std::vector<Server> servers_;
};

Servers& LoadedServers() {
    static Servers* servers = new Servers; // never destroyed: servers stay loaded to the end
    return *servers;
}

} // namespace

extern "C" {

PLATFORM_API HRESULT WINAPI CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit) {
    if (pvReserved)
        return E_INVALIDARG;
    const DWORD model = dwCoInit & COINIT_APARTMENTTHREADED;
    if (initializeCount > 0 && model != threadingModel)
        return RPC_E_CHANGED_MODE;
    if (initializeCount++ > 0)
        return S_FALSE;
    threadingModel = model;
    return S_OK;
}

PLATFORM_API HRESULT WINAPI CoInitialize(LPVOID pvReserved) {
    return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED);
}

PLATFORM_API void WINAPI CoUninitialize() {
    if (initializeCount > 0)
        --initializeCount;
}

PLATFORM_API LPVOID WINAPI CoTaskMemAlloc(SIZE_T cb) { return std::malloc(cb ? cb : 1); }

PLATFORM_API LPVOID WINAPI CoTaskMemRealloc(LPVOID pv, SIZE_T cb) { return std::realloc(pv, cb ? cb : 1); }

PLATFORM_API void WINAPI CoTaskMemFree(LPVOID pv) { std::free(pv); }

PLATFORM_API HRESULT WINAPI CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid) {
    if (!lpszProgID || !lpclsid)
        return E_INVALIDARG;
    *lpclsid = IID_NULL;
    try {
        const std::string progId = Ansi(lpszProgID);
        if (platform::builtin::ClsidOfProgId(progId, *lpclsid))
            return S_OK;
        std::optional<std::string> clsid =
            progId.empty() ? std::nullopt : ClassesRootString(progId + "\\Clsid");
        if (!clsid)
            return CO_E_CLASSSTRING;
        std::basic_string<OLECHAR> text(clsid->begin(), clsid->end());
        // Only a braced GUID: a registered name must not send the lookup round in circles.
        return IIDFromString(text.c_str(), lpclsid) == S_OK ? S_OK : CO_E_CLASSSTRING;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

PLATFORM_API HRESULT WINAPI CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, LPVOID, REFIID riid, LPVOID* ppv) {
    if (!ppv)
        return E_INVALIDARG;
    *ppv = nullptr;
    if (!(dwClsContext & CLSCTX_INPROC_SERVER))
        return REGDB_E_CLASSNOTREG;
    const HRESULT builtin = platform::builtin::GetClassObject(rclsid, riid, ppv);
    if (builtin != CLASS_E_CLASSNOTAVAILABLE)
        return builtin;
    std::optional<std::string> file;
    try {
        file = ClassesRootString("CLSID\\" + GuidText(rclsid) + "\\InprocServer32");
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    if (!file || file->empty())
        return REGDB_E_CLASSNOTREG;
    return LoadedServers().GetClassObject(*file, rclsid, riid, ppv);
}

PLATFORM_API HRESULT WINAPI CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid,
                                             LPVOID* ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    IClassFactory* factory = nullptr;
    HRESULT hr = CoGetClassObject(rclsid, dwClsContext, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr))
        return hr;
    if (!factory)
        return E_NOINTERFACE;
    hr = factory->CreateInstance(pUnkOuter, riid, ppv);
    factory->Release();
    return hr;
}

PLATFORM_API void WINAPI CoFreeUnusedLibraries() { LoadedServers().FreeUnused(); }

} // extern "C"
