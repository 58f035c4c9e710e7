// The binding to the printer's protocol library azimuth.dll: its entry points resolved by name
// into one table that every driver object of the process shares. The library handle belongs to
// the object that loaded it; the table is filled by whichever object loads first and refreshed by
// every later load (all load the same file beside the driver).
#pragma once

#include "platform/Platform.h"

#include <array>
#include <string>

// The library file, looked up in the driver's own folder.
inline constexpr char AzimuthLibName[] = "azimuth.dll";

// Every name the driver resolves, in the order it resolves them; a library lacking any of them
// is of another version.
inline constexpr std::size_t AzimuthEntryCount = 111;
extern const std::array<const char*, AzimuthEntryCount> AzimuthEntryNames;

// The entry points the driver calls, with their signatures (stdcall on 32-bit Windows).
#define AZIMUTH_CALLED_ENTRIES(X)                                                                            \
    X(CancelReceipt, LONG, ())                                                                               \
    X(StartReceipt, LONG, (LONG kind, LONG copies, LPCSTR text1, LPCSTR text2, LPCSTR text3))                \
    X(OpenFDoc, LONG, ())                                                                                    \
    X(PrintOEMDoc, LONG, (LPCSTR text, LONG length))                                                         \
    X(ItemReceipt, LONG,                                                                                     \
      (LPCSTR name, LPCSTR code, LPCSTR unit, LPCSTR department, LONG price, LONG quantity, LONG flags))     \
    X(ComissionReceiptPlus, LONG, (LONG kind, LONG mode, LONG amount, LPCSTR text))                          \
    X(TenderReceipt, LONG, (BYTE type, LONG amount, LPCSTR text))                                            \
    X(TotalReceipt, LONG, ())                                                                                \
    X(CloseReceipt, LONG, ())                                                                                \
    X(CashDriverOpen, LONG, ())                                                                              \
    X(FromCash, LONG, (LONG amount))                                                                         \
    X(ToCash, LONG, (LONG amount))                                                                           \
    X(ShiftOpen, LONG, (LPCSTR text))                                                                        \
    X(ShiftClose, LONG, ())                                                                                  \
    X(XReport, LONG, ())                                                                                     \
    X(OpenDLLPlus, LONG, (LPCSTR cashier, LPCSTR password, LPCSTR port, LPCSTR baud, LONG flags))            \
    X(CloseDLL, LONG, ())                                                                                    \
    X(ChangeBaudrate, LONG, (LPCSTR rate))                                                                   \
    X(StartSeans, LONG, ())                                                                                  \
    X(CloseFDoc, LONG, ())                                                                                   \
    X(WriteComm, LONG, (LPCSTR bytes, LONG length))                                                          \
    X(SetCommTimeoutMs, LONG, (LONG readMs, LONG writeMs))                                                   \
    X(GetResource, LONG, ())                                                                                 \
    X(GetNumbers, LONG, ())                                                                                  \
    X(GetMony, LONG, ())                                                                                     \
    X(SetDate, LONG, ())                                                                                     \
    X(SetHeader, LONG, (LPCSTR line1, LPCSTR line2, LPCSTR line3, LPCSTR line4))                             \
    X(SetTail, LONG, (LPCSTR line1, LPCSTR line2, LPCSTR line3, LPCSTR line4))                               \
    X(GetErrorMessageNo, LPSTR, (LPSTR buffer, LONG code))                                                   \
    X(SetParamDoc, LONG, (WORD word1, WORD word2, LONG extra))                                               \
    X(GetParamDoc, LONG, ())                                                                                 \
    X(SetPayment, LONG, (BYTE number, LPCSTR name, LONG a, LONG cash, LONG b, LONG c, LPCSTR d))             \
    X(GetFldStr, LPSTR, (BYTE field, LPSTR buffer))                                                          \
    X(SetDrawerParam, LONG, (LONG on, LONG off, LONG flags))                                                 \
    X(GetFldWord, WORD, (BYTE field))                                                                        \
    X(GetFldByte, BYTE, (BYTE field))                                                                        \
    X(GetEReport, LONG, (BYTE kind, BYTE type))                                                              \
    X(GetSerialNum, LONG, ())                                                                                \
    X(GetShiftState, LONG, (LONG * state, LONG * other))                                                     \
    X(CashDriverEnable, LONG, (LONG mode))                                                                   \
    X(GetCounters, LONG, ())                                                                                 \
    X(GetFldFloat, double, (BYTE field))                                                                     \
    X(CommentReceipt, LONG, (LPCSTR text))                                                                   \
    X(GetFiscalNums, LONG, ())                                                                               \
    X(SetTaxes, LONG, (BYTE group, BYTE flags, LPCSTR name, LPCSTR rate, LPCSTR second))                     \
    X(TaxReceipt, LONG, (BYTE group))                                                                        \
    X(ChangeOpName, LONG, (LPCSTR name))

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
