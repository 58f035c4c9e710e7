// The files of the virtual printers: one folder per port under the state directory. Every file
// the printer rewrites is replaced atomically (temporary file + rename), so a crash leaves either
// the old or the new content, never a mix.
#pragma once

#include "emulator/Config.h"
#include "emulator/FiscalMemory.h"

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace azimuth {

namespace files {
constexpr const char* kConfig = "config.json";
constexpr const char* kMemory = "fiscal.json";
constexpr const char* kPaper = "paper.txt";
constexpr const char* kJournal = "journal.jsonl";
constexpr const char* kFaults = "faults.json";
} // namespace files

// A state file that cannot be read or written; what() says which file and why (UTF-8).
struct StateError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// AZIMUTH_EMU_DIR, or a folder in the user's local application data.
std::filesystem::path StateRoot();

// "com1" -> "COM1". Nothing for a text that cannot be a port name (it would leave the folder).
std::optional<std::string> NormalizePort(std::string_view port);

// The folder of a port's printer: "port-COM1" (Windows reserves the plain device names).
std::filesystem::path PortFolder(const std::filesystem::path& root, const std::string& port);

std::optional<std::string> ReadTextFile(const std::filesystem::path& file); // nothing when absent
void WriteFileAtomic(const std::filesystem::path& file, std::string_view content);
bool AppendToFile(const std::filesystem::path& file, std::string_view content) noexcept;

// A missing file gives the defaults; a damaged one throws StateError.
PrinterConfig LoadConfig(const std::filesystem::path& folder, const std::string& port);
void SaveConfig(const std::filesystem::path& folder, const PrinterConfig& config);
FiscalMemory LoadMemory(const std::filesystem::path& folder);
void SaveMemory(const std::filesystem::path& folder, const FiscalMemory& memory);

} // namespace azimuth
