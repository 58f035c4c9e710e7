#include "platform/Platform.h"

#ifdef _WIN32
#include <pthread.h>

// The thread library linked into this module: its loader callback, which on a thread's detach
// closes the thread's record and runs its key destructors, and the record of a thread.
extern "C" PIMAGE_TLS_CALLBACK __xl_f;
extern "C" void* __pth_gpointer_locked(pthread_t id);

namespace __gnu_cxx {
// The C++ runtime's release of its reserve for exceptions, made for memory checkers.
void __freeres() noexcept;
} // namespace __gnu_cxx
#endif

namespace platform {

HMODULE ModuleOf(const void* address) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(address), &module))
        return nullptr;
    return module;
}

std::string ModuleFileName(HMODULE module) {
    std::string name(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(module, name.data(), static_cast<DWORD>(name.size()));
        if (n == 0)
            return {};
        if (n < name.size()) {
            name.resize(n);
            return name;
        }
        name.resize(name.size() * 2);
    }
}

std::string ModuleFolder(HMODULE module) {
    std::string name = ModuleFileName(module);
    auto pos = name.find_last_of(PathDelimiter());
    return pos == std::string::npos ? std::string() : name.substr(0, pos + 1);
}

void ReleaseModuleRuntime() {
#ifdef _WIN32
    __gnu_cxx::__freeres();
    // The record of this thread, made now if the module never needed one; it sits in a slot the
    // library allocated once and never frees.
    void* record = __pth_gpointer_locked(pthread_self());
    DWORD slot = TLS_OUT_OF_INDEXES;
    for (DWORD i = 0; i < TLS_MINIMUM_AVAILABLE + 1024 && record; ++i) {
        if (TlsGetValue(i) == record) {
            slot = i;
            break;
        }
    }
    // What the loader would do when the thread ends, while the module is still there to do it.
    if (__xl_f)
        __xl_f(ModuleOf(&__xl_f), DLL_THREAD_DETACH, nullptr);
    if (slot != TLS_OUT_OF_INDEXES && !TlsGetValue(slot))
        TlsFree(slot);
#endif
}

#ifdef _WIN32
HMODULE LoadSystemLibrary(const wchar_t* name) {
    HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER)
        return module;
    // A loader without the search flags (a system not updated since they came) refuses the flag:
    // the full path then, with the library's own dependencies looked for beside it.
    const std::wstring path = SystemFolderPath(name);
    return path.empty() ? nullptr : LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

std::wstring SystemFolderPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return std::wstring(folder, length) + L'\\' + name;
}
#endif

char PathDelimiter() {
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

} // namespace platform
