// The debug log beside a program that holds the file open without sharing it (an editor, a
// backup): the line waits briefly for it instead of being lost, and never waits for long.
#include "../FrameworkTestSupport.h"

#include "framework/uDebugLog.h"

#include <chrono>
#include <thread>

using namespace fwtest;

namespace {

HANDLE HoldUnshared(const std::string& name) {
    HANDLE file = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, "first\r\n", 7, &written, nullptr);
    return file;
}

} // namespace

TEST(LogAppend, LineWaitsForAFileHeldBrieflyByAnotherProgram) {
    TTempFolder folder;
    const std::string name = (folder.Path / "Debug_2026.12.07.log").string();
    HANDLE held = HoldUnshared(name);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held] {
        Sleep(200);
        CloseHandle(held);
    });
    const bool appended = AppendLogLine(name, "second\r\n");
    release.join();
    EXPECT_TRUE(appended);
    EXPECT_EQ(ReadFile(name), "first\r\nsecond\r\n");
}

TEST(LogAppend, FileHeldForLongIsGivenUpWithinAboutASecond) {
    TTempFolder folder;
    const std::string name = (folder.Path / "Debug_2026.12.07.log").string();
    HANDLE held = HoldUnshared(name);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(AppendLogLine(name, "second\r\n"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    CloseHandle(held);
    EXPECT_EQ(ReadFile(name), "first\r\n");
}
