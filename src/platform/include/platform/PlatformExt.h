// Small helpers over the platform API that every layer uses, the same on both systems.
#pragma once

#include <string>

// The helpers live in the platform library, which is shared on Linux and static on Windows.
#ifdef _WIN32
#define PLATFORM_EXT_API
#else
#define PLATFORM_EXT_API PLATFORM_API
#endif

namespace platform {

// The module (DLL or shared object) that contains the given address; pass the address of a
// function of the calling module to get that module's own handle.
PLATFORM_EXT_API HMODULE ModuleOf(const void* address);

// Full file name of a module in the ANSI code page; nullptr means the main executable.
PLATFORM_EXT_API std::string ModuleFileName(HMODULE module);

// Folder of a module's file with a trailing path delimiter.
PLATFORM_EXT_API std::string ModuleFolder(HMODULE module);

// The platform's path delimiter: '\' on Windows, '/' elsewhere.
PLATFORM_EXT_API char PathDelimiter();

// Gives back what the C++ runtime linked into the calling module keeps past the module's unload
// on Windows: the thread library's record of the calling thread (two handles and a thread-local
// storage slot, made the first time the runtime needs thread state on a host's thread), whose
// slots run out after about a thousand loads, and the reserve for exceptions thrown when memory
// is short (73 KB a load). Nothing to do elsewhere. For a module's unload only.
PLATFORM_EXT_API void ReleaseModuleRuntime();

// On i686 Windows: has the unwinder linked into the calling module know the module's frame tables,
// which the start-up code gives to the shared GCC runtime instead when the host has loaded it.
// Without it the module's exceptions end the host. Done as the module loads; nothing elsewhere.
PLATFORM_EXT_API void RegisterModuleFrames();

// A module that may be unloaded holds one of these at namespace scope: it calls
// ReleaseModuleRuntime as the module's static objects are destroyed (and makes sure of
// RegisterModuleFrames as they are made).
struct TModuleRuntimeRelease {
    TModuleRuntimeRelease() { RegisterModuleFrames(); }
    TModuleRuntimeRelease(const TModuleRuntimeRelease&) = delete;
    TModuleRuntimeRelease& operator=(const TModuleRuntimeRelease&) = delete;
    ~TModuleRuntimeRelease() { ReleaseModuleRuntime(); }
};

#ifdef _WIN32
// Loads a library of Windows from the system folder only: a file of the same name in the host's
// folder or the current directory is never taken instead. Null when it cannot be loaded.
PLATFORM_EXT_API HMODULE LoadSystemLibrary(const wchar_t* name);
// The full path of a file in the system folder, or empty.
PLATFORM_EXT_API std::wstring SystemFolderPath(const wchar_t* name);
#endif

} // namespace platform

#ifndef _WIN32
// Test hook of the stand-in: switch the current regional settings (LOCALE_USER_DEFAULT and
// LOCALE_SYSTEM_DEFAULT) to another known locale, e.g. MAKELCID(MAKELANGID(LANG_ENGLISH,
// SUBLANG_DEFAULT), SORT_DEFAULT). Returns FALSE for a locale the stand-in does not know.
extern "C" PLATFORM_API BOOL PlatformSetUserDefaultLCID(LCID lcid);

// A resource linked into a module as data. Type and name are MAKEINTRESOURCEA numbers or texts;
// the record and its data must stay valid until it is unregistered.
struct PLATFORM_RESOURCE {
    LPCSTR Type;
    LPCSTR Name;
    WORD Language;
    LPCVOID Data;
    DWORD Size;
};
// FindResourceA and its kin find a registered resource in the module that holds its data. A
// module registers its resources while it loads and unregisters them while it unloads.
extern "C" PLATFORM_API void PlatformRegisterResource(const PLATFORM_RESOURCE* resource);
extern "C" PLATFORM_API void PlatformUnregisterResource(const PLATFORM_RESOURCE* resource);
#endif
