// Loading the printer's library: the names the driver resolves, a missing library and one of
// another version.
#include "FiscalTestSupport.h"

#include "emulator/EntryPoints.h"
#include "framework/uEquipmentErrors.h"

using namespace fiscaltest;

TEST(AzimuthLib, ResolvesExactlyTheNamesOurVirtualPrinterExportsInItsOrder) {
    ASSERT_EQ(AzimuthEntryNames.size(), azimuth::kEntryPoints.size());
    for (std::size_t i = 0; i < AzimuthEntryNames.size(); ++i)
        EXPECT_STREQ(AzimuthEntryNames[i], azimuth::kEntryPoints[i].name) << i;
}

TEST(AzimuthLib, LoadsBesideTheDriverAndFillsEveryEntry) {
    StateDir dir;
    HMODULE handle = nullptr;
    ASSERT_EQ(LoadAzimuthLib(platform::ModuleFolder(nullptr), handle), ErrNone);
    ASSERT_NE(handle, nullptr);
    const TAzimuthEntries lib = AzimuthEntries();
    for (FARPROC p : lib.All)
        EXPECT_NE(p, nullptr);
    EXPECT_NE(lib.GetShiftState, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(lib.ChangeOpName), reinterpret_cast<void*>(lib.All.back()));
    HMODULE same = handle;
    EXPECT_EQ(LoadAzimuthLib("nowhere", same), ErrNone) << "a loaded handle is kept";
    EXPECT_EQ(same, handle);
    ReleaseAzimuthLib(handle);
    EXPECT_EQ(handle, nullptr);
}

TEST(AzimuthLib, MissingFileIs1006AndLeavesTheHandleNull) {
    StateDir dir;
    HMODULE handle = nullptr;
    EXPECT_EQ(LoadAzimuthLib(FolderOf(dir.Root()), handle), ErrLibraryNotFound);
    EXPECT_EQ(handle, nullptr);
}

TEST(AzimuthLib, LibraryLackingANameIs1010AndIsReleasedAgain) {
    const std::string folder = IncompleteLibraryFolder();
    HMODULE handle = nullptr;
    EXPECT_EQ(LoadAzimuthLib(folder, handle), ErrWrongLibraryVersion);
    EXPECT_EQ(handle, nullptr);
    const std::string file = folder + AzimuthLibName;
    HMODULE probe = LoadLibraryA(file.c_str());
    ASSERT_NE(probe, nullptr) << "the incomplete library is built beside the tests: " << file;
    FreeLibrary(probe);
    EXPECT_EQ(GetModuleHandleA(file.c_str()), nullptr) << "the refused library stays loaded";
}

TEST_F(DriverTest, OpenAndEnableReportAMissingLibraryAndPrinterOperationsSay1006) {
    Driver->Folder = FolderOf(Dir.Root());
    ASSERT_TRUE(Init(Disp(), &Manager).Ok());
    TRawAnswer opened = Open(Disp(), "1");
    EXPECT_FALSE(opened.Ok());
    EXPECT_EQ(opened.Text(), "Библиотека не найдена");
    TCommandAnswer enabled = Command(Disp(), idEnable);
    EXPECT_FALSE(enabled.Ok);
    EXPECT_EQ(enabled.Code(), 1006);
    EXPECT_EQ(Driver->State(), dsInitialized);
    EXPECT_EQ(Command(Disp(), idGetFPStateInfo).Code(), 1006);
    EXPECT_EQ(Command(Disp(), idOpenDay).Code(), 1006);

    // Once the library is there, the next Enable loads it.
    Driver->Folder.clear();
    EXPECT_TRUE(Command(Disp(), idEnable).Ok);
}

TEST_F(DriverTest, OpenRefusesALibraryOfAnotherVersion) {
    Driver->Folder = IncompleteLibraryFolder();
    ASSERT_TRUE(Init(Disp(), &Manager).Ok());
    TRawAnswer opened = Open(Disp(), "1");
    EXPECT_FALSE(opened.Ok());
    EXPECT_EQ(opened.Text(), "Неверная версия библиотеки");
    EXPECT_FALSE(Driver->LibraryLoaded());
}
