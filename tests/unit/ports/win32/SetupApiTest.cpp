#include "ports/win32/SetupApi.h"

#include "platform/PlatformExt.h"

#include <gtest/gtest.h>

#include <string>

TEST(SetupApi, LoadsOnceForAllUsersAndAgainAfterTheLastHasGone) {
    auto first = TSetupApi::Acquire();
    ASSERT_NE(first, nullptr);
    auto second = TSetupApi::Acquire();
    EXPECT_EQ(first, second);
    EXPECT_NE(GetModuleHandleA("setupapi.dll"), nullptr);
    first.reset();
    second.reset();
    auto again = TSetupApi::Acquire();
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again->GetDevNodeStatus, nullptr);
}

// A library planted in the current directory, where a library loaded by its bare name is looked
// for, is not what a system library is loaded from.
TEST(SetupApi, SystemLibrariesComeFromTheSystemFolderOnly) {
    char temp[MAX_PATH] = {}, current[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "orvel-planted-" + std::to_string(GetCurrentProcessId());
    const std::string planted = folder + "\\orvel_planted.dll";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(CopyFileA((platform::ModuleFolder(nullptr) + "azimuth.dll").c_str(), planted.c_str(), FALSE));
    GetCurrentDirectoryA(MAX_PATH, current);
    SetCurrentDirectoryA(folder.c_str());
    HMODULE system = platform::LoadSystemLibrary(L"orvel_planted.dll");
    HMODULE bare = LoadLibraryW(L"orvel_planted.dll");
    EXPECT_EQ(system, nullptr);
    EXPECT_NE(bare, nullptr) << "the test needs a library the bare name finds";
    if (bare)
        FreeLibrary(bare);
    SetCurrentDirectoryA(current);
    DeleteFileA(planted.c_str());
    RemoveDirectoryA(folder.c_str());

    HMODULE help = platform::LoadSystemLibrary(L"hhctrl.ocx");
    ASSERT_NE(help, nullptr);
    wchar_t file[MAX_PATH] = {};
    GetModuleFileNameW(help, file, MAX_PATH);
    EXPECT_EQ(_wcsicmp(file, platform::SystemFolderPath(L"hhctrl.ocx").c_str()), 0);
    FreeLibrary(help);
}
