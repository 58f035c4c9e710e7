#include "emulator/EntryPoints.h"

namespace azimuth {

namespace {
constexpr Reach P = Reach::Printer;
constexpr Reach L = Reach::Library;
constexpr Reach U = Reach::Unsupported;
} // namespace

const std::array<EntryPoint, 111> kEntryPoints = {{
    {"GetLastDllError", L},    {"GetErrorMessage", L},     {"CancelReceipt", P},       {"SetHeaderNew", P},
    {"StartReceipt", P},       {"OpenFDoc", P},            {"PrintOEMDoc", P},         {"ItemReceipt", P},
    {"ItemReceiptPlus", U},    {"ComissionReceiptPlus", P}, {"TenderReceipt", P},      {"TenderReceiptPlus", P},
    {"TotalReceipt", P},       {"TotalReceiptPlus", P},    {"CloseReceipt", P},        {"CashDriverOpen", P},
    {"FromCash", P},           {"ToCash", P},              {"ShiftOpen", P},           {"ShiftClose", P},
    {"XReport", P},            {"OpenDLL", P},             {"OpenDLLPlus", P},         {"CloseDLL", L},
    {"ChangeBaudrate", P},     {"StartSeans", P},          {"CloseFDoc", P},           {"CloseFDocEx", P},
    {"GetStatusPlus", P},      {"GetStatusNum", P},        {"WriteComm", P},           {"SubTotalReceipt", P},
    {"SetCommTimeoutMs", L},   {"GetResource", P},         {"GetAnswer", U},           {"GetNumbers", P},
    {"GetMony", P},            {"GetDate", P},             {"SetDate", P},             {"SetHeader", P},
    {"SetTail", P},            {"GetErrorMessageNo", L},   {"GetFiscalInfo", P},       {"DllComWrite", P},
    {"SetParamDoc", P},        {"GetParamDoc", P},         {"AddDept", U},             {"SetDept", U},
    {"GetDept", U},            {"CloseDept", U},           {"AddArt", U},              {"SetArt", U},
    {"GetArt", U},             {"CloseArt", U},            {"ItemDepReceipt", U},      {"ItemDepReceiptPlus", U},
    {"ItemDepReceiptEx", U},   {"SetPayment", P},          {"GetFldStr", L},           {"GetLastDoc", P},
    {"GetLastKPK", U},         {"EKLEJournalTotal", U},    {"EKLKPKReport", U},        {"EKLEJournalReport", U},
    {"EKLShiftsNumReport", U}, {"EKLShiftsDateReport", U}, {"GetNumReport", U},        {"GetDateReport", U},
    {"EJPrint", U},            {"EJPrintEx", U},           {"EJNoDoc", U},             {"EJNoReport", U},
    {"EJTimeReport", U},       {"EJDateTimeReport", U},    {"SetDrawerParam", P},      {"GetFldWord", L},
    {"GetFldByte", L},         {"CloseFDocPlus", P},       {"FontSelectFDoc", P},      {"GetEReport", P},
    {"GetPayment", P},         {"GetSerialNum", P},        {"PrintBarcodeFDoc", U},    {"BarcodeReceipt", U},
    {"ClearAllDept", U},       {"GetShiftState", P},       {"OpenFiscalDoc", U},       {"AddPosField", U},
    {"AddFreeField", U},       {"PrintFiscalSlip", U},     {"CloseFreeDoc", U},        {"OpenFiscalDocPlus", U},
    {"AddPosFieldPlus", U},    {"AddFreeFieldPlus", U},    {"AddPayFieldPlus", U},     {"AddSubDepFieldPlus", U},
    {"PrintFiscalSlipPlus", U}, {"CloseFreeDocPlus", U},   {"SlipSelectFDoc", U},      {"SlipEjectFDoc", U},
    {"CashDriverEnable", P},   {"GetCounters", P},         {"GetFldInt", L},           {"GetFldFloat", L},
    {"CommentReceipt", P},     {"GetDllVer", L},           {"GetFiscalNums", P},       {"SetTaxes", P},
    {"TaxReceipt", P},         {"GetTaxes", P},            {"ChangeOpName", P},
}};

const EntryPoint* FindEntryPoint(std::string_view name) {
    for (const auto& entry : kEntryPoints)
        if (name == entry.name)
            return &entry;
    return nullptr;
}

} // namespace azimuth
