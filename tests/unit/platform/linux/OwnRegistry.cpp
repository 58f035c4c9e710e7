// The tests register classes and write keys: unless a registry file is named for them, they use
// one beside the test program, so that running them by hand leaves the user's own registry (the
// one the host simulator registers the driver in) as it was.
#include <cstdlib>
#include <filesystem>

namespace {

const bool OwnRegistry = [] {
    if (const char* named = std::getenv("ORVEL_REGISTRY"); named && *named)
        return false;
    std::error_code ec;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
        setenv("ORVEL_REGISTRY", (program.parent_path() / "test-registry.txt").c_str(), 1);
    return !ec;
}();

} // namespace
