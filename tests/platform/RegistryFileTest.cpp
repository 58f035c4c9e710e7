// The Linux registry file itself: what other programs and damaged disks may leave in it, and
// writers in several processes at once. (The API's behaviour is checked on both systems by the
// unit tests.)
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "platform/Platform.h"

namespace {

class RegistryFile : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[] = "/tmp/orvel27-registry-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        folder_ = folder;
        file_ = folder_ + "/registry.txt";
        setenv("ORVEL_REGISTRY", file_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("ORVEL_REGISTRY");
        std::string command = "rm -rf '" + folder_ + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
    }

    void WriteFile(const std::string& text) { std::ofstream(file_, std::ios::binary) << text; }
    std::string ReadFile() {
        std::ifstream in(file_, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    static std::string QueryString(const char* path, const char* name, LSTATUS& rc) {
        HKEY key = nullptr;
        rc = RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key);
        if (rc != ERROR_SUCCESS)
            return {};
        char value[256] = {};
        DWORD size = sizeof(value) - 1;
        rc = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
        RegCloseKey(key);
        return std::string(value, size);
    }

    static LSTATUS SetValue(const char* path, const char* name, DWORD type, const std::string& data) {
        HKEY key = nullptr;
        LSTATUS rc = RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
        if (rc != ERROR_SUCCESS)
            return rc;
        rc = RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                            static_cast<DWORD>(data.size()));
        RegCloseKey(key);
        return rc;
    }

    std::string folder_;
    std::string file_;
};

} // namespace

TEST_F(RegistryFile, DamagedLinesAreLeftOutAndTheRestIsRead) {
    std::string deep = "HKEY_CURRENT_USER";
    for (int i = 0; i < 600; ++i)
        deep += "\\k";
    WriteFile("garbage without tabs\n"
              "value\tHKEY_CURRENT_USER\\Good\tName\tsz\tkept\r\n"
              "value\tHKEY_CURRENT_USER\\Good\tBadEscape\tsz\tx%zz\n"
              "value\tHKEY_CURRENT_USER\\Good\tBadUtf8\tsz\t\xFF\xFE\n"
              "value\tHKEY_CURRENT_USER\\Good\tBadNumber\tdword\t12x\n"
              "value\tHKEY_CURRENT_USER\\Good\tBadHex\thex:3\tabc\n"
              "value\tHKEY_CURRENT_USER\\Good\tTooFewFields\tsz\n"
              "value\tHKEY_NOWHERE\\Good\tName\tsz\tlost\n"
              "key\tHKEY_CURRENT_USER\\\\Empty\\Name\n"
              "key\t" + deep + "\n" +
              std::string("\0\0\x01\x02", 4) + "\n"
              "value\tHKEY_CURRENT_USER\\Good\tLast\tsz\twithout line end");

    LSTATUS rc;
    EXPECT_EQ(QueryString("Good", "Name", rc), std::string("kept", 5));
    EXPECT_EQ(rc, ERROR_SUCCESS);
    EXPECT_EQ(QueryString("Good", "Last", rc), std::string("without line end", 17));
    EXPECT_EQ(rc, ERROR_SUCCESS);
    for (const char* bad : {"BadEscape", "BadUtf8", "BadNumber", "BadHex", "TooFewFields"}) {
        QueryString("Good", bad, rc);
        EXPECT_EQ(rc, ERROR_FILE_NOT_FOUND) << bad;
    }
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "k\\k", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);

    // The next write keeps what was read and drops the rest.
    ASSERT_EQ(SetValue("Good", "Added", REG_SZ, std::string("new", 4)), ERROR_SUCCESS);
    EXPECT_EQ(QueryString("Good", "Name", rc), std::string("kept", 5));
    EXPECT_EQ(ReadFile().find("garbage"), std::string::npos);
}

TEST_F(RegistryFile, AwkwardNamesAndDataSurviveTheTextForm) {
    // Names and strings in the ANSI code page ("Касса" in 1251).
    const std::string cyrillic = "\xCA\xE0\xF1\xF1\xE0";
    const struct {
        std::string name;
        DWORD type;
        std::string data;
    } values[] = {
        {"tab\tnew\nline%25", REG_SZ, std::string("a\tb\r\nc", 7)},
        {cyrillic, REG_SZ, cyrillic + '\0'},
        {"", REG_EXPAND_SZ, std::string("%PATH%", 7)},
        {"embedded nul", REG_SZ, std::string("a\0b\0", 4)},
        {"no nul", REG_SZ, "abc"},
        {"number", REG_DWORD, std::string("\x2A\0\0\x80", 4)},
        {"bytes", REG_BINARY, std::string("\0\xFF\x10", 3)},
        {"empty", REG_BINARY, std::string()},
    };
    const std::string path = "Software\\" + cyrillic + " key\\x";
    for (const auto& v : values)
        ASSERT_EQ(SetValue(path.c_str(), v.name.c_str(), v.type, v.data), ERROR_SUCCESS) << v.name;

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    for (const auto& v : values) {
        char data[64];
        DWORD type = REG_NONE, size = sizeof(data);
        ASSERT_EQ(RegQueryValueExA(key, v.name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size),
                  ERROR_SUCCESS)
            << v.name;
        EXPECT_EQ(type, v.type) << v.name;
        EXPECT_EQ(std::string(data, size), v.data) << v.name;
    }
    RegCloseKey(key);
    // People read the file in UTF-8.
    EXPECT_NE(ReadFile().find("Software\\Касса key\\x"), std::string::npos);
}

TEST_F(RegistryFile, WritersInSeveralProcessesLoseNothing) {
    constexpr int kProcesses = 4, kValuesEach = 8;
    pid_t children[kProcesses];
    for (int p = 0; p < kProcesses; ++p) {
        children[p] = fork();
        ASSERT_GE(children[p], 0);
        if (children[p] == 0) {
            int failures = 0;
            for (int i = 0; i < kValuesEach; ++i) {
                std::string name = std::to_string(p) + "-" + std::to_string(i);
                failures += SetValue("Shared", name.c_str(), REG_SZ, name + '\0') != ERROR_SUCCESS;
            }
            _exit(failures);
        }
    }
    for (pid_t child : children) {
        int status = -1;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int p = 0; p < kProcesses; ++p) {
        for (int i = 0; i < kValuesEach; ++i) {
            std::string name = std::to_string(p) + "-" + std::to_string(i);
            LSTATUS rc;
            EXPECT_EQ(QueryString("Shared", name.c_str(), rc), name + '\0');
        }
    }
}

TEST_F(RegistryFile, UnusableLocationFailsWithoutPretending) {
    WriteFile("");
    setenv("ORVEL_REGISTRY", (file_ + "/nested/registry.txt").c_str(), 1); // below a file
    HKEY key = nullptr;
    EXPECT_NE(RegCreateKeyExA(HKEY_CURRENT_USER, "X", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "X", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST(ModulesOnLinux, HandlesThatAreNoModulesFailCleanly) {
    int notAModule = 0;
    auto fake = reinterpret_cast<HMODULE>(&notAModule);
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(fake, "DllGetClassObject"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_FALSE(FreeLibrary(fake));
    EXPECT_EQ(GetProcAddress(nullptr, reinterpret_cast<LPCSTR>(7)), nullptr); // ordinals: none here
}

TEST(ModulesOnLinux, DllNamesMapToSharedObjects) {
    const std::string folder = platform::ModuleFolder(nullptr);
    HMODULE probe = LoadLibraryA((folder + "orvel_probe.dll").c_str());
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(platform::ModuleFileName(probe), folder + "liborvel_probe.so");
    HMODULE byName = nullptr;
    EXPECT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, "orvel_probe.dll", &byName));
    EXPECT_EQ(byName, probe);
    EXPECT_TRUE(FreeLibrary(probe));
}
