// The registry API over the registry file. An open key is a handle to its path: every call reads
// the file anew, so changes of other processes are seen at once.
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_map>

#include "RegistryStore.h"

namespace reg = platform::registry;

namespace {

// Handles of open keys: small numbers rather than pointers, so a stale or made-up handle is
// refused without touching memory.
class OpenKeys {
public:
    HKEY Add(reg::KeyPath path) {
        std::lock_guard<std::mutex> lock(mutex_);
        next_ += 4;
        HKEY handle = reinterpret_cast<HKEY>(next_);
        keys_.emplace(handle, std::move(path));
        return handle;
    }
    bool Remove(HKEY handle) {
        std::lock_guard<std::mutex> lock(mutex_);
        return keys_.erase(handle) != 0;
    }
    // The path of a predefined or open key.
    std::optional<reg::KeyPath> PathOf(HKEY handle) {
        if (const char* root = reg::RootName(handle))
            return reg::KeyPath{root};
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = keys_.find(handle);
        if (it == keys_.end())
            return std::nullopt;
        return it->second;
    }

private:
    std::mutex mutex_;
    std::uintptr_t next_ = 0x1000;
    std::unordered_map<HKEY, reg::KeyPath> keys_;
};

OpenKeys& Handles() {
    static OpenKeys* keys = new OpenKeys; // outlives static destruction: hosts close keys late
    return *keys;
}

// Appends the names of "a\b\c" to `path`. A leading backslash is a bad path, as on Windows;
// a trailing one is ignored.
LSTATUS AppendSubKey(reg::KeyPath& path, LPCSTR subKey) {
    if (!subKey || !*subKey)
        return ERROR_SUCCESS;
    if (*subKey == '\\')
        return ERROR_BAD_PATHNAME;
    for (const char* p = subKey; *p;) {
        const char* end = std::strchr(p, '\\');
        if (!end)
            end = p + std::strlen(p);
        if (end != p) {
            if (static_cast<size_t>(end - p) > reg::kMaxKeyNameLength || path.size() >= reg::kMaxKeyDepth)
                return ERROR_INVALID_PARAMETER;
            path.emplace_back(p, end);
        }
        p = *end ? end + 1 : end;
    }
    return ERROR_SUCCESS;
}

// The keys a call is about: the open key it names (`base`) and the subkey below it (`path`).
struct Target {
    reg::KeyPath base;
    reg::KeyPath path;
};

LSTATUS Resolve(HKEY hKey, LPCSTR subKey, Target& target) {
    std::optional<reg::KeyPath> base = Handles().PathOf(hKey);
    if (!base)
        return ERROR_INVALID_HANDLE;
    target.base = *base;
    target.path = *base;
    return AppendSubKey(target.path, subKey);
}

// Every entry point catches, so no C++ exception leaves the layer.
template <class Body>
LSTATUS Guard(Body body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    } catch (...) {
        return ERROR_INVALID_PARAMETER;
    }
}

enum class Access { Read, Write };

// Runs `action(top, key, changed)` on the key `hKey` stands for, with `target` resolved from
// `hKey` and `subKey` (the action looks the subkey up itself). The key of an open handle may have
// been deleted since it was opened.
template <class Action>
LSTATUS OnKey(Access access, HKEY hKey, LPCSTR subKey, Target& target, const Action& action) {
    return Guard([&]() -> LSTATUS {
        if (LSTATUS status = Resolve(hKey, subKey, target))
            return status;
        auto run = [&](reg::Key& top, bool& changed) -> LSTATUS {
            reg::Key* key = reg::Find(top, target.base);
            return key ? static_cast<LSTATUS>(action(top, *key, changed)) : ERROR_KEY_DELETED;
        };
        return access == Access::Write ? reg::Write(run) : reg::Read(run);
    });
}

// A predefined key opened without a subkey stays itself; anything else gets a new handle.
HKEY HandleFor(HKEY hKey, const Target& t) {
    return t.path.size() == t.base.size() && reg::RootName(hKey) ? hKey : Handles().Add(t.path);
}

reg::KeyPath Parent(const reg::KeyPath& path) { return reg::KeyPath(path.begin(), path.end() - 1); }

std::string NameOrDefault(LPCSTR name) { return name ? std::string(name) : std::string(); }

} // namespace

extern "C" {

PLATFORM_API LSTATUS WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM,
                                            const LPSECURITY_ATTRIBUTES, PHKEY phkResult,
                                            LPDWORD lpdwDisposition) {
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    Target t;
    bool created = false;
    LSTATUS status = OnKey(Access::Write, hKey, lpSubKey, t, [&](reg::Key& top, reg::Key&, bool& changed) {
        reg::Ensure(top, t.path, created);
        changed = created;
        return ERROR_SUCCESS;
    });
    if (status == ERROR_SUCCESS)
        status = Guard([&] { return (*phkResult = HandleFor(hKey, t)), ERROR_SUCCESS; });
    if (status == ERROR_SUCCESS && lpdwDisposition)
        *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return status;
}

PLATFORM_API LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM, PHKEY phkResult) {
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    Target t;
    LSTATUS status = OnKey(Access::Read, hKey, lpSubKey, t, [&](reg::Key& top, reg::Key&, bool&) {
        return reg::Find(top, t.path) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
    if (status == ERROR_SUCCESS)
        status = Guard([&] { return (*phkResult = HandleFor(hKey, t)), ERROR_SUCCESS; });
    return status;
}

PLATFORM_API LSTATUS WINAPI RegCloseKey(HKEY hKey) {
    if (reg::RootName(hKey))
        return ERROR_SUCCESS;
    return Handles().Remove(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

PLATFORM_API LSTATUS WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                                           DWORD cbData) {
    if (!lpData && cbData)
        return ERROR_INVALID_PARAMETER;
    Target t;
    return OnKey(Access::Write, hKey, nullptr, t, [&](reg::Key&, reg::Key& key, bool& changed) {
        const reg::Value value{dwType, std::string(reinterpret_cast<const char*>(lpData), lpData ? cbData : 0)};
        reg::Value& slot = key.values[NameOrDefault(lpValueName)];
        changed = !(slot == value);
        slot = value;
        return ERROR_SUCCESS;
    });
}

PLATFORM_API LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                                             LPBYTE lpData, LPDWORD lpcbData) {
    if (lpReserved || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    Target t;
    return OnKey(Access::Read, hKey, nullptr, t, [&](reg::Key&, reg::Key& key, bool&) {
        auto it = key.values.find(NameOrDefault(lpValueName));
        if (it == key.values.end())
            return ERROR_FILE_NOT_FOUND;
        const reg::Value& value = it->second;
        if (lpType)
            *lpType = value.type;
        if (!lpcbData)
            return ERROR_SUCCESS;
        const auto size = static_cast<DWORD>(value.data.size());
        const DWORD room = *lpcbData;
        *lpcbData = size;
        if (!lpData)
            return ERROR_SUCCESS;
        if (room < size)
            return ERROR_MORE_DATA;
        std::memcpy(lpData, value.data.data(), size);
        return ERROR_SUCCESS;
    });
}

PLATFORM_API LSTATUS WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    Target t;
    return OnKey(Access::Write, hKey, nullptr, t, [&](reg::Key&, reg::Key& key, bool& changed) {
        changed = key.values.erase(NameOrDefault(lpValueName)) != 0;
        return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

PLATFORM_API LSTATUS WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
    if (!lpSubKey)
        return ERROR_INVALID_PARAMETER;
    Target t;
    return OnKey(Access::Write, hKey, lpSubKey, t, [&](reg::Key& top, reg::Key&, bool& changed) {
        if (t.path.size() < 2)
            return ERROR_ACCESS_DENIED; // a root cannot go
        reg::Key* key = reg::Find(top, t.path);
        if (!key)
            return ERROR_FILE_NOT_FOUND;
        if (!key->subkeys.empty())
            return ERROR_ACCESS_DENIED;
        reg::Find(top, Parent(t.path))->subkeys.erase(t.path.back());
        changed = true;
        return ERROR_SUCCESS;
    });
}

PLATFORM_API LSTATUS WINAPI RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey) {
    Target t;
    return OnKey(Access::Write, hKey, lpSubKey, t, [&](reg::Key& top, reg::Key&, bool& changed) {
        reg::Key* key = reg::Find(top, t.path);
        if (!key)
            return ERROR_FILE_NOT_FOUND;
        if (!lpSubKey || t.path.size() < 2) {
            // Without a subkey (and for a root) the key stays and only what it holds goes.
            changed = !key->subkeys.empty() || !key->values.empty();
            key->subkeys.clear();
            key->values.clear();
        } else {
            reg::Find(top, Parent(t.path))->subkeys.erase(t.path.back());
            changed = true;
        }
        return ERROR_SUCCESS;
    });
}

PLATFORM_API LSTATUS WINAPI RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName,
                                          LPDWORD lpReserved, LPSTR lpClass, LPDWORD lpcchClass,
                                          PFILETIME lpftLastWriteTime) {
    if (!lpName || !lpcchName || lpReserved)
        return ERROR_INVALID_PARAMETER;
    Target t;
    return OnKey(Access::Read, hKey, nullptr, t, [&](reg::Key&, reg::Key& key, bool&) {
        if (dwIndex >= key.subkeys.size())
            return ERROR_NO_MORE_ITEMS;
        const std::string& name = std::next(key.subkeys.begin(), dwIndex)->first;
        if (*lpcchName <= name.size())
            return ERROR_MORE_DATA;
        std::memcpy(lpName, name.c_str(), name.size() + 1);
        *lpcchName = static_cast<DWORD>(name.size());
        if (lpClass && lpcchClass && *lpcchClass > 0) {
            *lpClass = '\0';
            *lpcchClass = 0;
        }
        if (lpftLastWriteTime)
            *lpftLastWriteTime = FILETIME{0, 0};
        return ERROR_SUCCESS;
    });
}

} // extern "C"
