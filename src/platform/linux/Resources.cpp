// Resources linked into modules as data and registered by them (PlatformRegisterResource).
#include <algorithm>
#include <mutex>
#include <strings.h>
#include <vector>

#include "platform/Platform.h"

namespace {

std::mutex& ResourcesMutex() {
    static std::mutex mutex;
    return mutex;
}

std::vector<const PLATFORM_RESOURCE*>& Resources() {
    static auto* resources = new std::vector<const PLATFORM_RESOURCE*>; // outlives every module
    return *resources;
}

bool SameId(LPCSTR a, LPCSTR b) {
    if (IS_INTRESOURCE(a) || IS_INTRESOURCE(b))
        return a == b;
    return strcasecmp(a, b) == 0;
}

HRSRC Find(HMODULE module, LPCSTR type, LPCSTR name, bool anyLanguage, WORD language) {
    if (!name || !type) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!module)
        module = GetModuleHandleA(nullptr);
    const PLATFORM_RESOURCE* found = nullptr;
    {
        std::lock_guard<std::mutex> lock(ResourcesMutex());
        for (const PLATFORM_RESOURCE* r : Resources()) {
            if (!SameId(r->Type, type) || !SameId(r->Name, name))
                continue;
            if (!anyLanguage && r->Language != language)
                continue;
            if (platform::ModuleOf(r->Data) != module)
                continue;
            if (!found || (anyLanguage && r->Language == 0))
                found = r;
        }
    }
    if (!found)
        SetLastError(1814L); // ERROR_RESOURCE_NAME_NOT_FOUND
    return reinterpret_cast<HRSRC>(const_cast<PLATFORM_RESOURCE*>(found));
}

const PLATFORM_RESOURCE* Registered(HRSRC info) {
    std::lock_guard<std::mutex> lock(ResourcesMutex());
    const auto& all = Resources();
    auto* r = reinterpret_cast<const PLATFORM_RESOURCE*>(info);
    return std::find(all.begin(), all.end(), r) != all.end() ? r : nullptr;
}

} // namespace

extern "C" {

PLATFORM_API void PlatformRegisterResource(const PLATFORM_RESOURCE* resource) {
    if (!resource)
        return;
    std::lock_guard<std::mutex> lock(ResourcesMutex());
    Resources().push_back(resource);
}

PLATFORM_API void PlatformUnregisterResource(const PLATFORM_RESOURCE* resource) {
    std::lock_guard<std::mutex> lock(ResourcesMutex());
    auto& all = Resources();
    all.erase(std::remove(all.begin(), all.end(), resource), all.end());
}

PLATFORM_API HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) {
    return Find(hModule, lpType, lpName, true, 0);
}

PLATFORM_API HRSRC WINAPI FindResourceExA(HMODULE hModule, LPCSTR lpType, LPCSTR lpName, WORD wLanguage) {
    return Find(hModule, lpType, lpName, false, wLanguage);
}

PLATFORM_API HGLOBAL WINAPI LoadResource(HMODULE, HRSRC hResInfo) {
    const PLATFORM_RESOURCE* r = hResInfo ? Registered(hResInfo) : nullptr;
    return r ? const_cast<void*>(r->Data) : nullptr;
}

PLATFORM_API LPVOID WINAPI LockResource(HGLOBAL hResData) { return hResData; }

PLATFORM_API DWORD WINAPI SizeofResource(HMODULE, HRSRC hResInfo) {
    const PLATFORM_RESOURCE* r = hResInfo ? Registered(hResInfo) : nullptr;
    return r ? r->Size : 0;
}

} // extern "C"
