// The registry file: one key or value per line, fields separated by TAB, text in UTF-8 so that
// people can read it. Bytes below 0x20, DEL and '%' inside a field are written as %XX.
//
//   key    HKEY_CLASSES_ROOT\Ovra.Orvel27
//   value  HKEY_CLASSES_ROOT\Ovra.Orvel27\Clsid  <empty name = default value>  sz  {...}
//   value  HKEY_CURRENT_USER\Software\X  Count  dword  42
//   value  HKEY_CURRENT_USER\Software\X  Blob  hex:3  0a0b0c
#include "RegistryStore.h"

#include "HexDigit.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace platform::registry {

using detail::HexDigit;

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_LESS_THAN;
}

namespace {

struct Root {
    HKEY handle;
    const char* name;
};
const Root kRoots[] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
    {HKEY_USERS, "HKEY_USERS"},
};

Key WithRoots() {
    Key top;
    for (const Root& root : kRoots)
        top.subkeys.emplace(root.name, std::make_unique<Key>());
    return top;
}

// ---- text form -------------------------------------------------------------------------------

std::optional<std::string> Convert(UINT from, UINT to, const std::string& text) {
    if (text.empty())
        return std::string();
    const int length = static_cast<int>(text.size());
    int wideLength = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (wideLength <= 0)
        return std::nullopt;
    std::basic_string<WCHAR> wide(static_cast<size_t>(wideLength), WCHAR());
    MultiByteToWideChar(from, 0, text.data(), length, wide.data(), wideLength);
    BOOL lossy = FALSE;
    int outLength = WideCharToMultiByte(to, 0, wide.data(), wideLength, nullptr, 0, nullptr,
                                        to == CP_UTF8 ? nullptr : &lossy);
    if (outLength <= 0 || lossy)
        return std::nullopt;
    std::string out(static_cast<size_t>(outLength), '\0');
    WideCharToMultiByte(to, 0, wide.data(), wideLength, out.data(), outLength, nullptr, nullptr);
    return out;
}

std::string Escape(const std::string& ansi) {
    static const char hex[] = "0123456789abcdef";
    std::string utf8 = Convert(CP_ACP, CP_UTF8, ansi).value_or(std::string());
    std::string out;
    for (unsigned char c : utf8) {
        if (c < 0x20 || c == 0x7F || c == '%') {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::optional<std::string> Unescape(const std::string& field) {
    std::string utf8;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '%') {
            utf8 += field[i];
            continue;
        }
        int hi = i + 2 < field.size() ? HexDigit(field[i + 1]) : -1;
        int lo = hi >= 0 ? HexDigit(field[i + 2]) : -1;
        if (lo < 0)
            return std::nullopt;
        utf8 += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return Convert(CP_UTF8, CP_ACP, utf8);
}

std::optional<std::string> FromHex(const std::string& field) {
    if (field.size() % 2)
        return std::nullopt;
    std::string out;
    for (size_t i = 0; i < field.size(); i += 2) {
        int hi = HexDigit(field[i]), lo = HexDigit(field[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
    }
    return out;
}

std::string ToHex(const std::string& bytes) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += hex[c >> 4];
        out += hex[c & 15];
    }
    return out;
}

template <class Number>
std::optional<Number> ParseNumber(const std::string& field) {
    Number n{};
    auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), n);
    if (ec != std::errc() || end != field.data() + field.size() || field.empty())
        return std::nullopt;
    return n;
}

std::optional<KeyPath> ParsePath(const std::string& field) {
    std::optional<std::string> text = Unescape(field);
    if (!text)
        return std::nullopt;
    KeyPath path;
    size_t start = 0;
    for (;;) {
        size_t end = text->find('\\', start);
        std::string name = text->substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (name.empty() || name.size() > kMaxKeyNameLength || path.size() >= kMaxKeyDepth)
            return std::nullopt;
        path.push_back(std::move(name));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return path;
}

std::string FormatPath(const KeyPath& path) {
    std::string text;
    for (const std::string& name : path)
        text += (text.empty() ? "" : "\\") + name;
    return Escape(text);
}

// A string value in readable form: its bytes are text with exactly one NUL, at the end.
bool IsPlainString(const Value& value) {
    return (value.type == REG_SZ || value.type == REG_EXPAND_SZ) && !value.data.empty() &&
           value.data.find('\0') == value.data.size() - 1;
}

std::string FormatValue(const Value& value) {
    if (IsPlainString(value))
        return std::string(value.type == REG_SZ ? "sz" : "expand_sz") + "\t" +
               Escape(value.data.substr(0, value.data.size() - 1));
    if (value.type == REG_DWORD && value.data.size() == 4) {
        DWORD n;
        std::memcpy(&n, value.data.data(), 4);
        return "dword\t" + std::to_string(n);
    }
    return "hex:" + std::to_string(value.type) + "\t" + ToHex(value.data);
}

std::optional<Value> ParseValue(const std::string& kind, const std::string& field) {
    Value value;
    if (kind == "sz" || kind == "expand_sz") {
        std::optional<std::string> text = Unescape(field);
        if (!text)
            return std::nullopt;
        value.type = kind == "sz" ? REG_SZ : REG_EXPAND_SZ;
        value.data = *text + '\0';
    } else if (kind == "dword") {
        std::optional<DWORD> n = ParseNumber<DWORD>(field);
        if (!n)
            return std::nullopt;
        value.type = REG_DWORD;
        value.data.assign(reinterpret_cast<const char*>(&*n), 4);
    } else if (kind.rfind("hex:", 0) == 0) {
        std::optional<DWORD> type = ParseNumber<DWORD>(kind.substr(4));
        std::optional<std::string> bytes = FromHex(field);
        if (!type || !bytes)
            return std::nullopt;
        value.type = *type;
        value.data = std::move(*bytes);
    } else {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

void ParseLine(Key& top, const std::string& line) {
    std::vector<std::string> fields = SplitFields(line);
    bool created = false;
    if (fields.size() == 2 && fields[0] == "key") {
        if (std::optional<KeyPath> path = ParsePath(fields[1]))
            Ensure(top, *path, created);
    } else if (fields.size() == 5 && fields[0] == "value") {
        std::optional<KeyPath> path = ParsePath(fields[1]);
        std::optional<std::string> name = Unescape(fields[2]);
        std::optional<Value> value = ParseValue(fields[3], fields[4]);
        if (!path || !name || !value)
            return;
        if (Key* key = Ensure(top, *path, created))
            key->values[*name] = std::move(*value);
    }
}

void SerializeKey(const Key& key, KeyPath& path, std::string& out) {
    const std::string pathField = FormatPath(path);
    out += "key\t" + pathField + "\n";
    for (const auto& [name, value] : key.values)
        out += "value\t" + pathField + "\t" + Escape(name) + "\t" + FormatValue(value) + "\n";
    for (const auto& [name, subkey] : key.subkeys) {
        path.push_back(name);
        SerializeKey(*subkey, path, out);
        path.pop_back();
    }
}

// ---- the file ----------------------------------------------------------------------------------

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    passwd entry{}, *found = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &entry, buffer, sizeof(buffer), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return "/tmp";
}

std::string RegistryFileName() {
    if (const char* file = std::getenv("ORVEL_REGISTRY"); file && *file)
        return file;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        return std::string(data) + "/orvel27/registry.txt";
    return HomeFolder() + "/.local/share/orvel27/registry.txt";
}

LSTATUS ErrorFromErrno(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    default:
        return ERROR_WRITE_FAULT;
    }
}

bool MakeFolders(const std::string& file) {
    for (size_t slash = file.find('/', 1); slash != std::string::npos; slash = file.find('/', slash + 1)) {
        std::string folder = file.substr(0, slash);
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

// Closes a descriptor when it goes out of scope (which also drops a flock).
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0)
            close(fd_);
    }
    int Get() const { return fd_; }

private:
    int fd_;
};

// Reads the whole file into `text` and returns 0, or the errno of the failure. A missing file is
// an empty registry.
int ReadFile(const std::string& name, std::string& text) {
    text.clear();
    FileDescriptor fd(open(name.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0)
        return errno == ENOENT || errno == ENOTDIR ? 0 : errno;
    char buffer[8192];
    for (;;) {
        ssize_t n = read(fd.Get(), buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return 0;
        text.append(buffer, static_cast<size_t>(n));
    }
}

bool WriteAll(int fd, const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Writes a new file beside the old one and renames it over it: a reader sees the old file or the
// new one, never half of one, and a crash leaves the old one intact.
LSTATUS ReplaceFile(const std::string& name, const std::string& text) {
    const std::string temporary = name + ".tmp";
    int error = 0;
    {
        FileDescriptor fd(open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        if (fd.Get() < 0)
            return ErrorFromErrno(errno);
        if (!WriteAll(fd.Get(), text) || fsync(fd.Get()) != 0)
            error = errno ? errno : EIO;
    }
    if (!error && rename(temporary.c_str(), name.c_str()) != 0)
        error = errno;
    if (error) {
        unlink(temporary.c_str());
        return ErrorFromErrno(error);
    }
    return ERROR_SUCCESS;
}

} // namespace

const char* RootName(HKEY predefined) {
    for (const Root& root : kRoots)
        if (root.handle == predefined)
            return root.name;
    return nullptr;
}

Key* Find(Key& top, const KeyPath& path) {
    Key* key = &top;
    for (const std::string& name : path) {
        auto it = key->subkeys.find(name);
        if (it == key->subkeys.end())
            return nullptr;
        key = it->second.get();
    }
    return key;
}

Key* Ensure(Key& top, const KeyPath& path, bool& created) {
    created = false;
    if (path.empty() || !top.subkeys.count(path[0]))
        return nullptr;
    Key* key = &top;
    for (const std::string& name : path) {
        auto& slot = key->subkeys[name];
        if (!slot) {
            slot = std::make_unique<Key>();
            created = true;
        }
        key = slot.get();
    }
    return key;
}

std::string Serialize(const Key& top) {
    std::string out = "; Registry of the Orvel27 platform layer. One key or value per line; fields are separated by TAB.\n";
    KeyPath path;
    for (const auto& [name, root] : top.subkeys) {
        path.assign(1, name);
        SerializeKey(*root, path, out);
    }
    return out;
}

Key Parse(const std::string& text) {
    Key top = WithRoots();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] != ';')
            ParseLine(top, line);
        start = end + 1;
    }
    return top;
}

LSTATUS Read(const Action& action) {
    std::string text;
    if (int error = ReadFile(RegistryFileName(), text))
        return ErrorFromErrno(error);
    Key top = Parse(text);
    bool changed = false;
    return action(top, changed);
}

LSTATUS Write(const Action& action) {
    const std::string name = RegistryFileName();
    if (!MakeFolders(name))
        return ErrorFromErrno(errno);
    FileDescriptor lock(open((name + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.Get() < 0)
        return ErrorFromErrno(errno);
    while (flock(lock.Get(), LOCK_EX) != 0)
        if (errno != EINTR)
            return ErrorFromErrno(errno);
    std::string text;
    if (int error = ReadFile(name, text))
        return ErrorFromErrno(error);
    Key top = Parse(text);
    bool changed = false;
    LSTATUS status = action(top, changed);
    if (status != ERROR_SUCCESS || !changed)
        return status;
    return ReplaceFile(name, Serialize(top));
}

} // namespace platform::registry
