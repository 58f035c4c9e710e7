#include "fiscal/uAzimuthLib.h"

#include "framework/uEquipmentErrors.h"

#include <map>
#include <mutex>

const std::array<const char*, AzimuthEntryCount> AzimuthEntryNames = {
    "GetLastDllError",
    "GetErrorMessage",
    "CancelReceipt",
    "SetHeaderNew",
    "StartReceipt",
    "OpenFDoc",
    "PrintOEMDoc",
    "ItemReceipt",
    "ItemReceiptPlus",
    "ComissionReceiptPlus",
    "TenderReceipt",
    "TenderReceiptPlus",
    "TotalReceipt",
    "TotalReceiptPlus",
    "CloseReceipt",
    "CashDriverOpen",
    "FromCash",
    "ToCash",
    "ShiftOpen",
    "ShiftClose",
    "XReport",
    "OpenDLL",
    "OpenDLLPlus",
    "CloseDLL",
    "ChangeBaudrate",
    "StartSeans",
    "CloseFDoc",
    "CloseFDocEx",
    "GetStatusPlus",
    "GetStatusNum",
    "WriteComm",
    "SubTotalReceipt",
    "SetCommTimeoutMs",
    "GetResource",
    "GetAnswer",
    "GetNumbers",
    "GetMony",
    "GetDate",
    "SetDate",
    "SetHeader",
    "SetTail",
    "GetErrorMessageNo",
    "GetFiscalInfo",
    "DllComWrite",
    "SetParamDoc",
    "GetParamDoc",
    "AddDept",
    "SetDept",
    "GetDept",
    "CloseDept",
    "AddArt",
    "SetArt",
    "GetArt",
    "CloseArt",
    "ItemDepReceipt",
    "ItemDepReceiptPlus",
    "ItemDepReceiptEx",
    "SetPayment",
    "GetFldStr",
    "GetLastDoc",
    "GetLastKPK",
    "EKLEJournalTotal",
    "EKLKPKReport",
    "EKLEJournalReport",
    "EKLShiftsNumReport",
    "EKLShiftsDateReport",
    "GetNumReport",
    "GetDateReport",
    "EJPrint",
    "EJPrintEx",
    "EJNoDoc",
    "EJNoReport",
    "EJTimeReport",
    "EJDateTimeReport",
    "SetDrawerParam",
    "GetFldWord",
    "GetFldByte",
    "CloseFDocPlus",
    "FontSelectFDoc",
    "GetEReport",
    "GetPayment",
    "GetSerialNum",
    "PrintBarcodeFDoc",
    "BarcodeReceipt",
    "ClearAllDept",
    "GetShiftState",
    "OpenFiscalDoc",
    "AddPosField",
    "AddFreeField",
    "PrintFiscalSlip",
    "CloseFreeDoc",
    "OpenFiscalDocPlus",
    "AddPosFieldPlus",
    "AddFreeFieldPlus",
    "AddPayFieldPlus",
    "AddSubDepFieldPlus",
    "PrintFiscalSlipPlus",
    "CloseFreeDocPlus",
    "SlipSelectFDoc",
    "SlipEjectFDoc",
    "CashDriverEnable",
    "GetCounters",
    "GetFldInt",
    "GetFldFloat",
    "CommentReceipt",
    "GetDllVer",
    "GetFiscalNums",
    "SetTaxes",
    "TaxReceipt",
    "GetTaxes",
    "ChangeOpName",
};

namespace {

// Objects of several apartments may load and call at the same time.
std::mutex EntriesLock;
TAzimuthEntries SharedEntries;
// The table of every library loaded, by handle. A handle that outlives its library is loaded
// again before it is asked for, which replaces its table.
std::map<HMODULE, TAzimuthEntries> EntriesByModule;

std::size_t IndexOf(const char* name) {
    for (std::size_t i = 0; i < AzimuthEntryNames.size(); ++i)
        if (std::string_view(AzimuthEntryNames[i]) == name)
            return i;
    return AzimuthEntryCount;
}

template <class T> void Assign(T& target, const TAzimuthEntries& entries, const char* name) {
    target = reinterpret_cast<T>(reinterpret_cast<void*>(entries.All[IndexOf(name)]));
}

} // namespace

TAzimuthEntries AzimuthEntries() {
    std::lock_guard<std::mutex> lock(EntriesLock);
    return SharedEntries;
}

TAzimuthEntries AzimuthEntries(HMODULE Handle) {
    std::lock_guard<std::mutex> lock(EntriesLock);
    const auto found = EntriesByModule.find(Handle);
    return found != EntriesByModule.end() ? found->second : TAzimuthEntries{};
}

LONG LoadAzimuthLib(const std::string& Folder, HMODULE& Handle) {
    if (Handle)
        return ErrNone;
    std::lock_guard<std::mutex> lock(EntriesLock);
    const std::string path = Folder + AzimuthLibName;
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module)
        return ErrLibraryNotFound;
    TAzimuthEntries entries;
    for (std::size_t i = 0; i < AzimuthEntryCount; ++i) {
        entries.All[i] = GetProcAddress(module, AzimuthEntryNames[i]);
        if (!entries.All[i]) {
            FreeLibrary(module);
            return ErrWrongLibraryVersion;
        }
    }
#define AZIMUTH_ASSIGN(name, result, args) Assign(entries.name, entries, #name);
    AZIMUTH_CALLED_ENTRIES(AZIMUTH_ASSIGN)
#undef AZIMUTH_ASSIGN
    SharedEntries = entries;
    EntriesByModule[module] = entries;
    Handle = module;
    return ErrNone;
}

void ReleaseAzimuthLib(HMODULE& Handle) noexcept {
    if (!Handle)
        return;
    std::lock_guard<std::mutex> lock(EntriesLock);
    FreeLibrary(Handle);
    Handle = nullptr;
}
