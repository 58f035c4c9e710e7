// The registry's keys and values in memory, and the file that keeps them between processes.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace platform::registry {

// Key and value names compare as the system compares them: case-insensitively.
struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

struct Value {
    DWORD type = REG_NONE;
    std::string data; // raw bytes, strings in the ANSI code page with their NUL
    bool operator==(const Value&) const = default;
};

struct Key {
    std::map<std::string, Value, NoCaseLess> values;
    std::map<std::string, std::unique_ptr<Key>, NoCaseLess> subkeys;
};

// The first element is the name of a root ("HKEY_CURRENT_USER"), the rest are subkey names.
using KeyPath = std::vector<std::string>;

// Windows' own limits; they also keep a damaged file from nesting keys without end.
constexpr size_t kMaxKeyNameLength = 255;
constexpr size_t kMaxKeyDepth = 512;

const char* RootName(HKEY predefined); // nullptr if not a predefined key

// The tree below `top` (which holds the roots) at `path`, or nullptr.
Key* Find(Key& top, const KeyPath& path);
// Like Find, creating what is missing below an existing root; `created` tells whether it did.
Key* Ensure(Key& top, const KeyPath& path, bool& created);

// The file's text form. Parsing never fails: lines it cannot read are left out.
std::string Serialize(const Key& top);
Key Parse(const std::string& text);

// Runs `action` on the registry as it is stored now. A writer holds the file's lock from reading
// to saving, so concurrent writers of any process never lose each other's changes; the tree is
// saved only when the action succeeds and says it changed something. Readers need no lock: the
// file is always replaced whole.
using Action = std::function<LSTATUS(Key& top, bool& changed)>;
LSTATUS Read(const Action& action);
LSTATUS Write(const Action& action);

} // namespace platform::registry
