#include "emulator/StateFiles.h"

#include "JsonFields.h"
#include "emulator/Encoding.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

namespace azimuth {

namespace fs = std::filesystem;

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string Dump(const Json& json) { return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n"; }

template <class T, class Parse>
T LoadJson(const fs::path& folder, const char* name, T defaults, Parse parse) {
    auto content = ReadTextFile(folder / name);
    if (!content)
        return defaults;
    return parse(ParseJsonFile(*content, name));
}

} // namespace

fs::path StateRoot() {
    if (auto dir = Env("AZIMUTH_EMU_DIR"); !dir.empty())
        return PathFromSystem(dir);
    if (auto dir = Env("LOCALAPPDATA"); !dir.empty())
        return PathFromSystem(dir) / "AzimuthEmu";
    if (auto dir = Env("XDG_STATE_HOME"); !dir.empty())
        return PathFromSystem(dir) / "azimuth-emu";
    if (auto dir = Env("HOME"); !dir.empty())
        return PathFromSystem(dir) / ".local" / "state" / "azimuth-emu";
    std::error_code ec;
    return fs::temp_directory_path(ec) / "azimuth-emu";
}

std::optional<std::string> NormalizePort(std::string_view port) {
    if (port.empty() || port.size() > 16)
        return std::nullopt;
    std::string name;
    for (char c : port) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-'))
            return std::nullopt;
        name += c;
    }
    return name;
}

fs::path PortFolder(const fs::path& root, const std::string& port) { return root / ("port-" + port); }

std::optional<std::string> ReadTextFile(const fs::path& file) {
    std::error_code ec;
    if (!fs::exists(file, ec))
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    if (!in || !(content << in.rdbuf()) || in.bad())
        throw StateError(file.filename().string() + ": cannot be read");
    return content.str();
}

void WriteFileAtomic(const fs::path& file, std::string_view content) {
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    fs::path temp = file;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temp, ec);
            throw StateError(file.filename().string() + ": cannot be written");
        }
    }
    fs::rename(temp, file, ec);
    if (ec) {
        fs::remove(temp, ec);
        throw StateError(file.filename().string() + ": cannot be replaced");
    }
}

bool AppendToFile(const fs::path& file, std::string_view content) noexcept {
    try {
        std::error_code ec;
        fs::create_directories(file.parent_path(), ec);
        std::ofstream out(file, std::ios::binary | std::ios::app);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.flush();
        return static_cast<bool>(out);
    } catch (...) {
        return false;
    }
}

PrinterConfig LoadConfig(const fs::path& folder, const std::string& port) {
    return LoadJson(folder, files::kConfig, DefaultConfig(port),
                    [&](const Json& json) { return ConfigFromJson(json, port); });
}

void SaveConfig(const fs::path& folder, const PrinterConfig& config) {
    WriteFileAtomic(folder / files::kConfig, Dump(ConfigToJson(config)));
}

FiscalMemory LoadMemory(const fs::path& folder) {
    return LoadJson(folder, files::kMemory, FiscalMemory{}, [](const Json& json) { return MemoryFromJson(json); });
}

void SaveMemory(const fs::path& folder, const FiscalMemory& memory) {
    WriteFileAtomic(folder / files::kMemory, Dump(MemoryToJson(memory)));
}

} // namespace azimuth
