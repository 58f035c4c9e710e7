// TBaseFR: the fiscal commands, their input check and the base behaviour of the operations.
#include "fiscal/uBaseFR.h"

#include "fiscal/uFiscalTexts.h"
#include "framework/uEquipmentErrors.h"
#include "framework/uInData.h"
#include "framework/uLocalClock.h"
#include "templates/uTemplateObj.h"
#include "templates/uTemplateStore.h"

#include <cstdio>
#include <optional>

TFiscalDocResult TFiscalDocResult::Preset() {
    TFiscalDocResult r;
    r.DocDateTime = LocalNowAsDate();
    return r;
}

Variant TFiscalDocResult::ToArray() const {
    return MakeVariantArray(
        {Variant(Number1), Variant(Number2), Variant(Number3), Variant::FromDate(DocDateTime)});
}

namespace {

bool Fits(VARTYPE vt, TArgType type) {
    switch (type) {
    case atAny:
        return true;
    case atOrdinal:
        return IsOrdinalType(vt);
    case atNumeric:
        return IsNumericType(vt);
    case atString:
        return IsStringType(vt);
    case atArray:
        return (vt & VT_ARRAY) != 0;
    case atDate:
        return vt == VT_DATE;
    }
    return false;
}

// Element i of an InData that passed CheckArgs (or any array: out of bounds throws).
Variant Element(const Variant& InData, LONG i) {
    return ArrayReader(InData.Raw()).Item(i);
}

// Runs the unpacking of a command's input: whatever does not convert is the host's wrong input.
template <class F> bool Unpacked(F&& unpack) {
    try {
        unpack();
        return true;
    } catch (const EDriverError&) {
        return false;
    }
}

// A table's dimension count; 0 for a value that is no array the driver can read (one whose label
// names other elements than it holds, say).
UINT Dims(const Variant& table) {
    UINT dims = 0;
    Unpacked([&] { dims = ArrayReader(table.Raw()).Dims(); });
    return dims;
}

// Runs a document operation with a fresh result record, which becomes OutData on success.
template <class F> LONG DocumentCommand(Variant& OutData, F&& operation) {
    TFiscalDocResult result = TFiscalDocResult::Preset();
    const LONG code = operation(result);
    if (code == ErrNone)
        OutData = result.ToArray();
    return code;
}

} // namespace

bool CheckArgs(const Variant& InData, std::initializer_list<TArgType> Types) {
    // Not an array, or one whose label names other elements than it holds, fits nothing.
    std::optional<ArrayReader> reader;
    if (!Unpacked([&] { reader.emplace(InData.Raw()); }))
        return false;
    if (reader->Dims() != 1 || reader->Lower() != 0)
        return false;
    LONG i = 0;
    for (TArgType type : Types) {
        const Variant item = i <= reader->Upper() ? reader->Item(i) : Variant();
        if (!Fits(item.Type(), type))
            return false;
        ++i;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Registration

void TBaseFR::RegisterMethods() {
    TBaseDevice::RegisterMethods();
    // DISPIDs 20 to 37, in this order.
    AddCommand("OpenDay", &TBaseFR::OpenDayCommand);
    AddCommand("PrintReceipt", &TBaseFR::PrintReceiptCommand);
    AddCommand("Encash", &TBaseFR::EncashCommand);
    AddCommand("PrintXReport", &TBaseFR::PrintXReportCommand);
    AddCommand("PrintExtReport", &TBaseFR::PrintExtReportCommand);
    AddCommand("PrintZReport", &TBaseFR::PrintZReportCommand);
    AddCommand("PrintTemplateDocument", &TBaseFR::PrintTemplateDocumentCommand);
    AddCommand("GetCountersInfo", &TBaseFR::GetCountersInfoCommand);
    AddCommand("GetLastDocInfo", &TBaseFR::GetLastDocInfoCommand);
    AddCommand("OpenDrawer", &TBaseFR::OpenDrawerCommand);
    AddCommand("GetFPStateInfo", &TBaseFR::GetFPStateInfoCommand);
    AddCommand("GetDateTime", &TBaseFR::GetDateTimeCommand);
    AddCommand("SetDateTime", &TBaseFR::SetDateTimeCommand);
    AddCommand("PrintText", &TBaseFR::PrintTextCommand);
    AddCommand("UploadTemplate", &TBaseFR::UploadTemplateCommand);
    AddCommand("DownloadTemplate", &TBaseFR::DownloadTemplateCommand);
    AddCommand("OpenCheck", &TBaseFR::OpenCheckCommand);
    AddCommand("CancelCheck", &TBaseFR::CancelCheckCommand);
}

void TBaseFR::RegisterParams() {
    TBaseDevice::RegisterParams();
    using namespace fiscaltexts;
    AddParams({
        {"MaxReceiptRowLength", ptNumber, Variant(24), false, MaxReceiptRowLengthCaption,
         MaxReceiptRowLengthDescription},
        {"MaxSlipRowLength", ptNumber, Variant(0), false, MaxSlipRowLengthCaption,
         MaxSlipRowLengthDescription},
        {"SlipRows", ptNumber, Variant(0), false, SlipRowsCaption, SlipRowsDescription},
        {"HeaderText", ptString, Variant(WString()), false, HeaderTextCaption, HeaderTextDescription},
        {"FooterText", ptString, Variant(WString()), false, FooterTextCaption, FooterTextDescription},
        {"FullCutCode", ptNumber, Variant(21), false, FullCutCodeCaption, FullCutCodeDescription},
        {"PartialCutCode", ptNumber, Variant(22), false, PartialCutCodeCaption, PartialCutCodeDescription},
    });
}

void TBaseFR::AddParams(std::initializer_list<TParamEntry> Entries) {
    for (const TParamEntry& e : Entries)
        AddParam(e.Name, e.Type, e.Default, e.ReadOnly, Utf8ToAnsi(e.Caption), Utf8ToAnsi(e.Description));
}

void TBaseFR::FillDeviceInfo() {
    TBaseDevice::FillDeviceInfo();
    FDeviceInfo.DeviceKind = Utf8ToWide(fiscaltexts::DeviceKindFiscalPrinter);
}

// ---------------------------------------------------------------------------------------------
// Commands

LONG TBaseFR::OpenDayCommand(const Variant& InData, Variant& OutData, LONG, WString& ErrorText) {
    std::string arg0, arg1;
    if (!Unpacked([&] {
            arg0 = ArrayItemAsString(InData, 0, "");
            arg1 = ArrayItemAsString(InData, 1, "");
        }))
        return ErrInvalidParameters;
    return DocumentCommand(
        OutData, [&](TFiscalDocResult& result) { return DoOpenDay(arg0, arg1, result, ErrorText); });
}

LONG TBaseFR::PrintReceiptCommand(const Variant& InData, Variant& OutData, LONG, WString& ErrorText) {
    if (!CheckArgs(InData, {atArray, atArray, atArray}))
        return ErrInvalidParameters;
    Variant goods, payments, params;
    if (!Unpacked([&] {
            goods = Element(InData, 0);
            payments = Element(InData, 1);
            params = Element(InData, 2);
        }))
        return ErrInvalidParameters;
    if (Dims(goods) != 2 || Dims(payments) != 2 || Dims(params) != 1)
        return ErrInvalidParameters;
    return DocumentCommand(OutData, [&](TFiscalDocResult& result) {
        return DoPrintReceipt(goods, payments, params, result, ErrorText);
    });
}

LONG TBaseFR::EncashCommand(const Variant& InData, Variant& OutData, LONG, WString& ErrorText) {
    if (!CheckArgs(InData, {atOrdinal, atNumeric}))
        return ErrInvalidParameters;
    LONG kind = 0;
    CY amount{};
    if (!Unpacked([&] {
            kind = Element(InData, 0).AsInteger();
            amount = Element(InData, 1).AsCurrency();
        }))
        return ErrInvalidParameters;
    return DocumentCommand(
        OutData, [&](TFiscalDocResult& result) { return DoEncash(kind, amount, result, ErrorText); });
}

LONG TBaseFR::PrintXReportCommand(const Variant&, Variant& OutData, LONG, WString& ErrorText) {
    return DocumentCommand(OutData,
                           [&](TFiscalDocResult& result) { return DoPrintXReport(result, ErrorText); });
}

LONG TBaseFR::PrintExtReportCommand(const Variant& InData, Variant& OutData, LONG, WString& ErrorText) {
    LONG kind = 0, value3 = 0, value4 = 0, value5 = 0;
    DATE date1 = 0, date2 = 0;
    // Element 0 is required: read without asking whether it is there.
    if (!Unpacked([&] {
            kind = Element(InData, 0).AsInteger();
            date1 = ArrayItemAsDate(InData, 1);
            date2 = ArrayItemAsDate(InData, 2);
            value3 = ArrayItemAsInteger(InData, 3, 0);
            value4 = ArrayItemAsInteger(InData, 4, 0);
            value5 = ArrayItemAsInteger(InData, 5, 0);
        }))
        return ErrInvalidParameters;
    return DocumentCommand(OutData, [&](TFiscalDocResult& result) {
        return DoPrintExtReport(kind, date1, date2, value3, value4, value5, result, ErrorText);
    });
}

LONG TBaseFR::PrintZReportCommand(const Variant&, Variant& OutData, LONG, WString& ErrorText) {
    return DocumentCommand(OutData,
                           [&](TFiscalDocResult& result) { return DoPrintZReport(result, ErrorText); });
}

LONG TBaseFR::PrintTemplateDocumentCommand(const Variant& InData, Variant&, LONG, WString& ErrorText) {
    if (!CheckArgs(InData, {atArray, atOrdinal, atOrdinal}))
        return ErrInvalidParameters;
    Variant params;
    LONG number = 0, extra = 0;
    if (!Unpacked([&] {
            params = Element(InData, 0);
            number = Element(InData, 1).AsInteger();
            extra = Element(InData, 2).AsInteger();
        }))
        return ErrInvalidParameters;
    return DoPrintTemplateDocument(params, number, extra, ErrorText);
}

LONG TBaseFR::GetCountersInfoCommand(const Variant&, Variant& OutData, LONG, WString& ErrorText) {
    Variant counters1, counters2;
    const LONG code = DoGetCountersInfo(counters1, counters2, ErrorText);
    if (code == ErrNone)
        OutData = MakeVariantArray({std::move(counters1), std::move(counters2)});
    return code;
}

LONG TBaseFR::GetLastDocInfoCommand(const Variant&, Variant& OutData, LONG, WString& ErrorText) {
    TFiscalDocResult result = TFiscalDocResult::Preset();
    LONG docKind = 0;
    CY amount{};
    const LONG code = DoGetLastDocInfo(result, docKind, amount, ErrorText);
    if (code == ErrNone)
        OutData = MakeVariantArray({Variant(result.Number1), Variant(result.Number2), Variant(result.Number3),
                                    Variant::FromDate(result.DocDateTime), Variant(docKind),
                                    Variant::FromCurrency(amount)});
    return code;
}

LONG TBaseFR::OpenDrawerCommand(const Variant&, Variant&, LONG, WString& ErrorText) {
    return DoOpenDrawer(ErrorText);
}

LONG TBaseFR::GetFPStateInfoCommand(const Variant&, Variant& OutData, LONG, WString& ErrorText) {
    TFPStateInfo states;
    states.fill(-1);
    const LONG code = DoGetFPStateInfo(states, ErrorText);
    if (code == ErrNone) {
        std::vector<Variant> items;
        for (LONG s : states)
            items.emplace_back(s);
        OutData = MakeVariantArray(std::move(items));
    }
    return code;
}

LONG TBaseFR::GetDateTimeCommand(const Variant&, Variant& OutData, LONG, WString& ErrorText) {
    DATE dateTime = LocalNowAsDate();
    const LONG code = DoGetDateTime(dateTime, ErrorText);
    if (code == ErrNone)
        OutData = MakeVariantArray({Variant::FromDate(dateTime)});
    return code;
}

LONG TBaseFR::SetDateTimeCommand(const Variant& InData, Variant&, LONG, WString& ErrorText) {
    if (!CheckArgs(InData, {atDate}))
        return ErrInvalidParameters;
    DATE dateTime = 0;
    if (!Unpacked([&] { dateTime = Element(InData, 0).AsDate(); }))
        return ErrInvalidParameters;
    return DoSetDateTime(dateTime, ErrorText);
}

LONG TBaseFR::PrintTextCommand(const Variant& InData, Variant&, LONG, WString& ErrorText) {
    if (!CheckArgs(InData, {atString}))
        return ErrInvalidParameters;
    std::string text;
    if (!Unpacked([&] { text = Element(InData, 0).AsAnsi(); }))
        return ErrInvalidParameters;
    return DoPrintText(text, ErrorText);
}

LONG TBaseFR::UploadTemplateCommand(const Variant& InData, Variant&, LONG, WString& ErrorText) {
    if (!CheckArgs(InData, {atOrdinal, atString, atArray}))
        return ErrInvalidParameters;
    LONG number = 0;
    std::string description;
    Variant table;
    if (!Unpacked([&] {
            number = Element(InData, 0).AsInteger();
            description = Element(InData, 1).AsAnsi();
            table = Element(InData, 2);
        }))
        return ErrInvalidParameters;
    return DoUploadTemplate(number, description, table, ErrorText);
}

LONG TBaseFR::DownloadTemplateCommand(const Variant& InData, Variant& OutData, LONG, WString& ErrorText) {
    if (!CheckArgs(InData, {atOrdinal}))
        return ErrInvalidParameters;
    LONG number = 0;
    if (!Unpacked([&] { number = Element(InData, 0).AsInteger(); }))
        return ErrInvalidParameters;
    std::string description;
    Variant table;
    const LONG code = DoDownloadTemplate(number, description, table, ErrorText);
    if (code == ErrNone)
        OutData = MakeVariantArray({Variant::FromAnsi(description), std::move(table)});
    return code;
}

// Receipts are opened, filled and closed within PrintReceipt; hosts that open and cancel a
// receipt of their own are told it worked.
LONG TBaseFR::OpenCheckCommand(const Variant&, Variant& OutData, LONG, WString&) {
    OutData = MakeVariantArray({Variant(0), Variant(0)});
    return ErrNone;
}

LONG TBaseFR::CancelCheckCommand(const Variant&, Variant&, LONG, WString&) {
    return ErrNone;
}

// ---------------------------------------------------------------------------------------------
// Base behaviour of the operations

LONG TBaseFR::DoOpenDay(const std::string&, const std::string&, TFiscalDocResult&, WString&) {
    return ErrCommandNotSupported;
}
LONG TBaseFR::DoPrintReceipt(const Variant&, const Variant&, const Variant&, TFiscalDocResult&, WString&) {
    return ErrCommandNotSupported;
}
LONG TBaseFR::DoEncash(LONG, CY, TFiscalDocResult&, WString&) {
    return ErrCommandNotSupported;
}
LONG TBaseFR::DoPrintXReport(TFiscalDocResult&, WString&) {
    return ErrCommandNotSupported;
}
LONG TBaseFR::DoPrintExtReport(LONG, DATE, DATE, LONG, LONG, LONG, TFiscalDocResult&, WString&) {
    return ErrCommandNotSupported;
}
LONG TBaseFR::DoPrintZReport(TFiscalDocResult&, WString&) {
    return ErrCommandNotSupported;
}

LONG TBaseFR::DoGetCountersInfo(Variant& Counters1, Variant& Counters2, WString&) {
    Counters1.Reset();
    Counters2.Reset();
    return ErrCommandNotSupported;
}
LONG TBaseFR::DoGetLastDocInfo(TFiscalDocResult&, LONG&, CY&, WString&) {
    return ErrCommandNotSupported;
}
LONG TBaseFR::DoOpenDrawer(WString&) {
    return ErrCommandNotSupported;
}
LONG TBaseFR::DoGetFPStateInfo(TFPStateInfo&, WString&) {
    return ErrCommandNotSupported;
}
LONG TBaseFR::DoGetDateTime(DATE&, WString&) {
    return ErrCommandNotSupported;
}
LONG TBaseFR::DoSetDateTime(DATE, WString&) {
    return ErrCommandNotSupported;
}
LONG TBaseFR::DoPrintText(const std::string&, WString&) {
    return ErrCommandNotSupported;
}

// Templates are rendered at the receipt's line width and printed as text; a template that cannot
// be rendered fails the command with the failure's message.
LONG TBaseFR::DoPrintTemplateDocument(const Variant& Params, LONG TemplateNumber, LONG, WString& Text) {
    Variant table;
    std::string description;
    const LONG code = GetTemplate(TemplateNumber, table, description);
    if (code != ErrNone)
        return code;
    const WString text = RenderTemplate(table, Params, GetParamAsInteger("MaxReceiptRowLength"));
    return DoPrintText(WideToAnsi(text), Text);
}
LONG TBaseFR::DoUploadTemplate(LONG Number, const std::string& Description, const Variant& Template, WString&) {
    return PutTemplate(Number, Description, Template);
}
LONG TBaseFR::DoDownloadTemplate(LONG Number, std::string& Description, Variant& Template, WString&) {
    return GetTemplate(Number, Template, Description);
}

bool TBaseFR::DoDeviceTest(WString& Text) {
    char version[48];
    std::snprintf(version, sizeof version, "%d.%d.%d", static_cast<int>(FDeviceInfo.VersionMajor),
                  static_cast<int>(FDeviceInfo.VersionMinor), static_cast<int>(FDeviceInfo.VersionBuild));
    const WString page = FDeviceInfo.MakerName + Utf8ToWide("\r\n") + FDeviceInfo.DriverName +
                         Utf8ToWide("\r\n") + Utf8ToWide(version);
    const LONG code = DoPrintText(WideToAnsi(page), Text);
    if (Text.empty())
        Text = GetErrorDescription(code, {});
    return code == ErrNone;
}
