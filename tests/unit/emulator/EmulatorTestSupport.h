// A private state directory per test, and readers for what the virtual printer leaves in it.
#pragma once

#include "emulator/Encoding.h"
#include "emulator/Printer.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace azimuth::test {

// Creates an empty folder and points AZIMUTH_EMU_DIR at it; afterwards removes the folder and
// gives the variable back its value.
class StateDir {
public:
    StateDir();
    ~StateDir();
    StateDir(const StateDir&) = delete;
    StateDir& operator=(const StateDir&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    std::filesystem::path Port(const std::string& name = "COM1") const;

    // Writes a file of a port's folder (UTF-8 text).
    void Write(const std::string& port, const std::string& file, const std::string& text) const;
    std::string Read(const std::string& port, const std::string& file) const;
    bool Exists(const std::string& port, const std::string& file) const;
    // The journal of a port, one JSON object per call.
    std::vector<nlohmann::json> Journal(const std::string& port = "COM1") const;

private:
    std::filesystem::path root_;
    std::string previous_; // AZIMUTH_EMU_DIR before the test
};

// The printer of COM1 with its clock frozen at 2024-05-18 09:00:00 (plus extra settings).
std::unique_ptr<Printer> FrozenPrinter(const StateDir& dir, const std::string& settings = "");

// Moves the frozen clock of COM1 and reloads the printer, as a reconnect does.
std::unique_ptr<Printer> ReloadAt(const StateDir& dir, const std::string& when, const std::string& settings = "");

inline std::string A(const char* utf8) { return Ansi(utf8); }

// Counts the occurrences of a UTF-8 text in another.
std::size_t Count(const std::string& text, const std::string& what);

} // namespace azimuth::test
