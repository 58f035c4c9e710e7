// Modules over the dynamic loader. An HMODULE is the address a module is mapped at, as on
// Windows: a handle from LoadLibraryA and one found from an address inside the module are the
// same value, and every handle is looked up in the loader's list before it is used, so a stale or
// made-up handle fails cleanly instead of crashing the loader.
#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "platform/Platform.h"

namespace {

struct LoadedModule {
    std::uintptr_t base = 0;
    std::string name; // as the loader knows it
    bool mainProgram = false;
};

std::uintptr_t BaseOf(const dl_phdr_info& info) {
    ElfW(Addr) lowest = ~ElfW(Addr)(0);
    for (int i = 0; i < info.dlpi_phnum; ++i)
        if (info.dlpi_phdr[i].p_type == PT_LOAD && info.dlpi_phdr[i].p_vaddr < lowest)
            lowest = info.dlpi_phdr[i].p_vaddr;
    if (lowest == ~ElfW(Addr)(0))
        return 0;
    static const auto page = static_cast<ElfW(Addr)>(sysconf(_SC_PAGESIZE));
    return info.dlpi_addr + (lowest & ~(page - 1));
}

// Walks the loader's list (under the loader's own lock) for the first object that matches.
template <class Match>
std::optional<LoadedModule> FindModule(const Match& match) {
    struct Search {
        const Match& match;
        std::optional<LoadedModule> found;
        bool first = true;
    } search{match, std::nullopt};
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) -> int {
            auto& s = *static_cast<Search*>(data);
            bool mainProgram = s.first; // the loader lists the program first
            s.first = false;
            std::uintptr_t base = BaseOf(*info);
            if (base == 0 || !s.match(*info, base))
                return 0;
            s.found = LoadedModule{base, info->dlpi_name ? info->dlpi_name : "", mainProgram};
            return 1;
        },
        &search);
    return search.found;
}

std::optional<LoadedModule> MainProgram() {
    bool first = true;
    return FindModule([&first](const dl_phdr_info&, std::uintptr_t) { return std::exchange(first, false); });
}

std::optional<LoadedModule> ModuleAt(HMODULE module) {
    if (!module)
        return MainProgram();
    auto wanted = reinterpret_cast<std::uintptr_t>(module);
    return FindModule([wanted](const dl_phdr_info&, std::uintptr_t base) { return base == wanted; });
}

std::optional<LoadedModule> ModuleContaining(const void* address) {
    auto a = reinterpret_cast<ElfW(Addr)>(address);
    return FindModule([a](const dl_phdr_info& info, std::uintptr_t) {
        for (int i = 0; i < info.dlpi_phnum; ++i) {
            const ElfW(Phdr)& ph = info.dlpi_phdr[i];
            ElfW(Addr) start = info.dlpi_addr + ph.p_vaddr;
            if (ph.p_type == PT_LOAD && a >= start && a - start < ph.p_memsz)
                return true;
        }
        return false;
    });
}

std::string CurrentFolder() {
    std::string cwd(256, '\0');
    while (!getcwd(cwd.data(), cwd.size())) {
        if (errno != ERANGE)
            return {};
        cwd.resize(cwd.size() * 2);
    }
    cwd.resize(std::strlen(cwd.c_str()));
    return cwd;
}

std::string Absolute(const std::string& path) {
    if (path.empty() || path[0] == '/')
        return path;
    std::string cwd = CurrentFolder();
    return cwd.empty() ? path : cwd + "/" + path;
}

bool EndsWithNoCase(const std::string& s, const char* suffix) {
    size_t n = std::strlen(suffix);
    return s.size() >= n && strncasecmp(s.c_str() + s.size() - n, suffix, n) == 0;
}

// "dir/name.dll" -> "/abs/dir/libname.so". A name without extension gets one, as Windows adds
// ".dll"; any other name is the loader's business. Empty when nothing is left to load.
std::string LoaderFileName(const char* name) {
    std::string path(name);
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string file = path.substr(folder.size());
    if (file.empty())
        return {};
    if (EndsWithNoCase(file, ".dll"))
        file = "lib" + file.substr(0, file.size() - 4) + ".so";
    else if (file.find('.') == std::string::npos)
        file = "lib" + file + ".so";
    else if (file.back() == '.')
        file.pop_back();
    return folder.empty() ? file : Absolute(folder) + file;
}

std::optional<LoadedModule> ModuleNamed(const char* name) {
    std::string file = LoaderFileName(name);
    if (file.empty())
        return std::nullopt;
    if (file.find('/') == std::string::npos) {
        // Without a folder any loaded module with that file name will do, as on Windows.
        return FindModule([&file](const dl_phdr_info& info, std::uintptr_t) {
            const char* n = info.dlpi_name ? info.dlpi_name : "";
            const char* slash = std::strrchr(n, '/');
            return file == (slash ? slash + 1 : n);
        });
    }
    struct stat wanted {};
    if (stat(file.c_str(), &wanted) != 0)
        return std::nullopt;
    return FindModule([&wanted](const dl_phdr_info& info, std::uintptr_t) {
        struct stat st {};
        return info.dlpi_name && *info.dlpi_name && stat(info.dlpi_name, &st) == 0 && st.st_dev == wanted.st_dev &&
               st.st_ino == wanted.st_ino;
    });
}

// A loader handle for a module that is already loaded; it holds one more reference.
void* LoaderHandle(const LoadedModule& module, int extraFlags = 0) {
    if (module.mainProgram)
        return dlopen(nullptr, RTLD_LAZY);
    return dlopen(module.name.c_str(), RTLD_LAZY | RTLD_NOLOAD | extraFlags);
}

std::string ExecutablePath() {
    std::string path(256, '\0');
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0)
            return {};
        if (static_cast<size_t>(n) < path.size()) {
            path.resize(static_cast<size_t>(n));
            return path;
        }
        path.resize(path.size() * 2);
    }
}

HMODULE AsHandle(const LoadedModule& module) { return reinterpret_cast<HMODULE>(module.base); }

template <class T>
T Fail(DWORD error, T result) {
    SetLastError(error);
    return result;
}

} // namespace

extern "C" {

PLATFORM_API HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) {
    if (!lpLibFileName)
        return Fail<HMODULE>(ERROR_INVALID_PARAMETER, nullptr);
    // dlopen("") would hand back the program itself.
    std::string file = *lpLibFileName ? LoaderFileName(lpLibFileName) : std::string();
    if (file.empty())
        return Fail<HMODULE>(ERROR_MOD_NOT_FOUND, nullptr);
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        OutputDebugStringA(("LoadLibraryA: " + std::string(why ? why : file) + "\n").c_str());
        return Fail<HMODULE>(ERROR_MOD_NOT_FOUND, nullptr);
    }
    link_map* map = nullptr;
    std::optional<LoadedModule> module;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map) {
        const std::uintptr_t bias = map->l_addr;
        const std::string name = map->l_name ? map->l_name : "";
        module = FindModule([&](const dl_phdr_info& info, std::uintptr_t) {
            return info.dlpi_addr == bias && name == (info.dlpi_name ? info.dlpi_name : "");
        });
    }
    if (!module) {
        dlclose(handle);
        return Fail<HMODULE>(ERROR_MOD_NOT_FOUND, nullptr);
    }
    return AsHandle(*module); // the reference of dlopen stays until FreeLibrary
}

PLATFORM_API BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
    std::optional<LoadedModule> module = hLibModule ? ModuleAt(hLibModule) : std::nullopt;
    if (!module)
        return Fail<BOOL>(ERROR_MOD_NOT_FOUND, FALSE);
    if (module->mainProgram)
        return TRUE;
    void* handle = LoaderHandle(*module);
    if (!handle)
        return Fail<BOOL>(ERROR_MOD_NOT_FOUND, FALSE);
    dlclose(handle); // the reference just taken
    dlclose(handle); // the caller's
    return TRUE;
}

PLATFORM_API FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    // Names only: a value below 0x10000 would be an ordinal, which shared objects do not have.
    if (reinterpret_cast<std::uintptr_t>(lpProcName) <= 0xFFFF)
        return Fail<FARPROC>(ERROR_PROC_NOT_FOUND, nullptr);
    std::optional<LoadedModule> module = ModuleAt(hModule);
    if (!module)
        return Fail<FARPROC>(ERROR_MOD_NOT_FOUND, nullptr);
    void* handle = LoaderHandle(*module);
    if (!handle)
        return Fail<FARPROC>(ERROR_MOD_NOT_FOUND, nullptr);
    dlerror();
    void* symbol = dlsym(handle, lpProcName);
    dlclose(handle);
    // dlsym also searches the module's dependencies; an export of the C library must not pass
    // for an entry point of the module asked about.
    if (!symbol)
        return Fail<FARPROC>(ERROR_PROC_NOT_FOUND, nullptr);
    std::optional<LoadedModule> owner = ModuleContaining(symbol);
    if (!owner || owner->base != module->base)
        return Fail<FARPROC>(ERROR_PROC_NOT_FOUND, nullptr);
    return reinterpret_cast<FARPROC>(symbol);
}

PLATFORM_API BOOL WINAPI GetModuleHandleExA(DWORD dwFlags, LPCSTR lpModuleName, HMODULE* phModule) {
    constexpr DWORD known = GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT |
                            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS;
    if (!phModule)
        return Fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
    *phModule = nullptr;
    if ((dwFlags & ~known) || ((dwFlags & GET_MODULE_HANDLE_EX_FLAG_PIN) &&
                               (dwFlags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT)))
        return Fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
    std::optional<LoadedModule> module;
    if (dwFlags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS)
        module = ModuleContaining(lpModuleName);
    else if (!lpModuleName)
        module = MainProgram();
    else
        module = ModuleNamed(lpModuleName);
    if (!module)
        return Fail<BOOL>(ERROR_MOD_NOT_FOUND, FALSE);
    if (!(dwFlags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT) && !module->mainProgram) {
        // The caller owns this reference and gives it back with FreeLibrary; a pinned module
        // stays for the life of the process.
        int pin = (dwFlags & GET_MODULE_HANDLE_EX_FLAG_PIN) ? RTLD_NODELETE : 0;
        if (!LoaderHandle(*module, pin))
            return Fail<BOOL>(ERROR_MOD_NOT_FOUND, FALSE);
    }
    *phModule = AsHandle(*module);
    return TRUE;
}

PLATFORM_API HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, lpModuleName, &module);
    return module;
}

PLATFORM_API DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    if (!lpFilename && nSize)
        return Fail<DWORD>(ERROR_INVALID_PARAMETER, 0);
    std::optional<LoadedModule> module = ModuleAt(hModule);
    if (!module)
        return Fail<DWORD>(ERROR_MOD_NOT_FOUND, 0);
    std::string path = module->mainProgram ? ExecutablePath() : Absolute(module->name);
    if (path.empty())
        return Fail<DWORD>(ERROR_MOD_NOT_FOUND, 0);
    if (nSize == 0)
        return Fail<DWORD>(ERROR_INSUFFICIENT_BUFFER, 0);
    // Too small a buffer gets as much as fits, still terminated, and the buffer's size back.
    if (path.size() >= nSize) {
        std::memcpy(lpFilename, path.data(), nSize - 1);
        lpFilename[nSize - 1] = '\0';
        return Fail<DWORD>(ERROR_INSUFFICIENT_BUFFER, nSize);
    }
    std::memcpy(lpFilename, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

} // extern "C"
