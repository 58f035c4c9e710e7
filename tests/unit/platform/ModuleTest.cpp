#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "platform/Platform.h"

namespace {

std::string BaseName(const std::string& path) {
    auto pos = path.find_last_of("/\\");
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

void FunctionOfTheTestProgram() {}

} // namespace

TEST(Modules, FileNameOfTheTestProgram) {
    const std::string path = platform::ModuleFileName(nullptr);
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(BaseName(path).rfind("orvel27_tests", 0), 0u) << path;
    DWORD attributes = GetFileAttributesA(path.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);

    const std::string folder = platform::ModuleFolder(nullptr);
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), platform::PathDelimiter());
    EXPECT_EQ(path.rfind(folder, 0), 0u);
    attributes = GetFileAttributesA(folder.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST(Modules, AddressInsideTheProgramFindsTheProgram) {
    HMODULE byAddress = platform::ModuleOf(reinterpret_cast<const void*>(&FunctionOfTheTestProgram));
    ASSERT_NE(byAddress, nullptr);
    EXPECT_EQ(byAddress, GetModuleHandleA(nullptr));
    EXPECT_EQ(platform::ModuleFileName(byAddress), platform::ModuleFileName(nullptr));
}

TEST(Modules, ShortBufferGetsATruncatedNameAndTheBufferSize) {
    const std::string path = platform::ModuleFileName(nullptr);
    ASSERT_GT(path.size(), 5u);
    char buffer[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 5), 5u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::string(buffer, 4), path.substr(0, 4));
    EXPECT_EQ(buffer[5], 'x');
}

TEST(Modules, MissingLibraryAndEntryPointAreReported) {
    SetLastError(0);
    const std::string missing = platform::ModuleFolder(nullptr) + "orvel27_no_such_module.dll";
    EXPECT_EQ(LoadLibraryA(missing.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));

    EXPECT_EQ(GetFileAttributesA(missing.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    // Memory that holds no module is no module handle.
    auto notAModule = std::make_unique<char[]>(64);
    char name[MAX_PATH];
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(notAModule.get()), name, MAX_PATH), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(Modules, LoadedLibraryIsFoundByAddressAndEntryPointsByName) {
    const std::string file = platform::ModuleFolder(nullptr) + "orvel_probe.dll";
    HMODULE module = LoadLibraryA(file.c_str());
    ASSERT_NE(module, nullptr) << file;
    EXPECT_NE(module, GetModuleHandleA(nullptr));

    FARPROC entry = GetProcAddress(module, "DllGetClassObject");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(platform::ModuleOf(reinterpret_cast<const void*>(entry)), module);
    const std::string name = platform::ModuleFileName(module);
    EXPECT_NE(GetFileAttributesA(name.c_str()), INVALID_FILE_ATTRIBUTES) << name;
    EXPECT_EQ(platform::ModuleFolder(module), platform::ModuleFolder(nullptr));

    SetLastError(0);
    EXPECT_EQ(GetProcAddress(module, "NoSuchEntryPoint"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    // Only the module's own exports, not those of the libraries it uses.
    EXPECT_EQ(GetProcAddress(module, "malloc"), nullptr);

    // Loading again shares the module, also without the extension; it stays until the last
    // FreeLibrary.
    const std::string withoutExtension = file.substr(0, file.size() - 4);
    HMODULE again = LoadLibraryA(withoutExtension.c_str());
    EXPECT_EQ(again, module);
    EXPECT_TRUE(FreeLibrary(again));
    EXPECT_NE(GetProcAddress(module, "DllCanUnloadNow"), nullptr);
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(Clock, LocalAndUniversalTimeAgree) {
    SYSTEMTIME local{}, utc{}, utcAfter{};
    do { // both readings within one minute
        GetSystemTime(&utc);
        GetLocalTime(&local);
        GetSystemTime(&utcAfter);
    } while (utc.wMinute != utcAfter.wMinute);
    for (const SYSTEMTIME& t : {local, utc}) {
        EXPECT_GE(t.wYear, 2020);
        EXPECT_TRUE(t.wMonth >= 1 && t.wMonth <= 12);
        EXPECT_LT(t.wHour, 24);
        EXPECT_LT(t.wSecond, 60);
        EXPECT_LT(t.wMilliseconds, 1000);
        // The day of the week belongs to the date.
        const std::chrono::year_month_day date{std::chrono::year(t.wYear), std::chrono::month(t.wMonth),
                                               std::chrono::day(t.wDay)};
        EXPECT_EQ(std::chrono::weekday(std::chrono::sys_days(date)).c_encoding(), t.wDayOfWeek);
    }
    // Time zones differ from UTC by whole quarters of an hour.
    EXPECT_EQ((local.wMinute - utc.wMinute + 60) % 15, 0);
}

TEST(Clock, TickCountAdvancesWithSleep) {
    const ULONGLONG before = GetTickCount64();
    // Wine's tick count moves in coarse steps and its Sleep may end a little early, so ask for
    // a clearly measurable pause and accept half of it.
    Sleep(120);
    const ULONGLONG elapsed = GetTickCount64() - before;
    EXPECT_GE(elapsed, 60u);
    EXPECT_LT(elapsed, 5000u);
}
