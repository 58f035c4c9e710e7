#include "EmulatorTestSupport.h"

#include "emulator/StateFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <random>
#include <sstream>

namespace azimuth::test {

namespace {

// An empty value reads as unset.
void SetStateDirVariable(const std::string& value) {
    // putenv keeps the pointer on some systems: the strings live as long as the process.
    static std::deque<std::string> keep;
    keep.push_back("AZIMUTH_EMU_DIR=" + value);
    putenv(keep.back().data());
}

std::string StateDirVariable() {
    const char* value = std::getenv("AZIMUTH_EMU_DIR");
    return value ? value : "";
}

} // namespace

StateDir::StateDir() : previous_(StateDirVariable()) {
    std::random_device random;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    root_ = std::filesystem::temp_directory_path() /
            ("azimuth-test-" + std::to_string(stamp) + "-" + std::to_string(random()));
    std::error_code ec;
    std::filesystem::create_directories(root_, ec);
    SetStateDirVariable(root_.string());
}

StateDir::~StateDir() {
    SetStateDirVariable(previous_);
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

std::filesystem::path StateDir::Port(const std::string& name) const { return PortFolder(root_, name); }

void StateDir::Write(const std::string& port, const std::string& file, const std::string& text) const {
    std::error_code ec;
    std::filesystem::create_directories(Port(port), ec);
    std::ofstream out(Port(port) / file, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string StateDir::Read(const std::string& port, const std::string& file) const {
    std::ifstream in(Port(port) / file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool StateDir::Exists(const std::string& port, const std::string& file) const {
    return std::filesystem::exists(Port(port) / file);
}

std::vector<nlohmann::json> StateDir::Journal(const std::string& port) const {
    std::vector<nlohmann::json> calls;
    std::istringstream lines(Read(port, files::kJournal));
    for (std::string line; std::getline(lines, line);)
        calls.push_back(nlohmann::json::parse(line));
    return calls;
}

std::unique_ptr<Printer> FrozenPrinter(const StateDir& dir, const std::string& settings) {
    return ReloadAt(dir, "2024-05-18 09:00:00", settings);
}

std::unique_ptr<Printer> ReloadAt(const StateDir& dir, const std::string& when, const std::string& settings) {
    dir.Write("COM1", files::kConfig,
              "{\"clock\": {\"frozenAt\": \"" + when + "\"}" + (settings.empty() ? "" : ", " + settings) + "}");
    return std::make_unique<Printer>(dir.Port("COM1"), "COM1");
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + what.size()))
        ++n;
    return n;
}

} // namespace azimuth::test
