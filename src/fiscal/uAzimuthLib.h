// The binding to the printer's protocol library azimuth.dll: its entry points resolved by name
// into one table that every driver object of the process shares. The library handle belongs to
// the object that loaded it; the table is filled by whichever object loads first and refreshed by
// every later load (all load the same file beside the driver).
#pragma once

#include "fiscal/uAzimuthEntries.h"
#include "platform/Platform.h"

#include <array>
#include <string>

// The library file, looked up in the driver's own folder.
inline constexpr char AzimuthLibName[] = "azimuth.dll";

// Every name the driver resolves, in the order it resolves them; a library lacking any of them
// is of another version.
inline constexpr std::size_t AzimuthEntryCount = 111;
extern const std::array<const char*, AzimuthEntryCount> AzimuthEntryNames;

struct TAzimuthEntries {
#define AZIMUTH_MEMBER(name, result, args) result(WINAPI* name) args = nullptr;
    AZIMUTH_CALLED_ENTRIES(AZIMUTH_MEMBER)
#undef AZIMUTH_MEMBER
    // Every resolved address, by position in AzimuthEntryNames.
    std::array<FARPROC, AzimuthEntryCount> All{};
};

// A copy of the table of the library loaded last, taken under its lock.
TAzimuthEntries AzimuthEntries();
// A copy of the table of the library with this handle (loaded by LoadAzimuthLib): objects that
// loaded different files each call their own.
TAzimuthEntries AzimuthEntries(HMODULE Handle);

// Loads azimuth.dll from Folder (which ends with a path delimiter) unless Handle is already set,
// and resolves every entry point into the shared table. 0; 1006 when the file does not load;
// 1010 when a name is missing, in which case the library is released again and Handle stays null.
LONG LoadAzimuthLib(const std::string& Folder, HMODULE& Handle);

// Releases a library loaded by LoadAzimuthLib; Handle is null afterwards whatever happens.
void ReleaseAzimuthLib(HMODULE& Handle) noexcept;
