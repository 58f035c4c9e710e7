// TDriverFR: identity, parameters, the library's life cycle, connecting and the guards.
#include "fiscal/uDriverFR.h"

#include "fiscal/uFiscalTexts.h"
#include "framework/uDriverIdentity.h"
#include "framework/uEquipmentErrors.h"
#include "platform/PlatformExt.h"

#include <atomic>
#include <cstring>
#include <vector>

namespace {

TFormatSettings FormatSettings;
std::atomic<TDriverFR::TSettingsDialog> SettingsDialog{nullptr};

// Room for any answer text a library may give; what is shown is cut to the documented size.
constexpr std::size_t AnswerBufferSize = 32000;

// Library codes the driver knows.
constexpr LONG LibDocumentOpen = 13;
constexpr LONG LibAlreadyDone = 21; // a session or shift that is already open
constexpr LONG LibNoAnswer = 194;

// The longest serial number and identity text the printer's answers are documented to carry.
constexpr std::size_t SerialNumberMax = 11;
constexpr std::size_t PrinterInfoMax = 16;

} // namespace

const TFormatSettings& ModuleFormatSettings() {
    return FormatSettings;
}

// Field n of the last answer, read into a buffer that any answer fits and always terminated.
static std::string ReadFieldText(const TAzimuthEntries& lib, BYTE field, std::size_t limit) {
    std::vector<char> buffer(AnswerBufferSize, '\0');
    lib.GetFldStr(field, buffer.data());
    buffer.back() = '\0';
    std::string text(buffer.data());
    if (text.size() > limit)
        text.resize(limit);
    return text;
}

// ---------------------------------------------------------------------------------------------
// Construction

void TDriverFR::RegisterParams() {
    TBaseFR::RegisterParams();
    using namespace fiscaltexts;
    AddParams({
        {"DefCashierName", ptString, Variant::FromUtf8(DefCashierNameDefault), false, DefCashierNameCaption,
         DefCashierNameDescription},
        {"DefCashierPassword", ptString, Variant::FromUtf8(DefCashierPasswordDefault), false,
         DefCashierPasswordCaption, DefCashierPasswordDescription},
        {"PortNumber", ptNumber, Variant(1), false, PortNumberCaption, PortNumberDescription},
        {"BaudRate", ptNumber, Variant(19200), false, BaudRateCaption, BaudRateDescription},
        {"ParamDoc1", ptNumber, Variant(432), true, ParamDoc1Caption, ParamDoc1Description},
        {"ParamDoc2", ptNumber, Variant(0), true, ParamDoc2Caption, ParamDoc2Description},
        {"LineSpacing", ptNumber, Variant(0), true, LineSpacingCaption, LineSpacingDescription},
        {"PrintTaxes", ptBoolean, Variant(false), true, PrintTaxesCaption, PrintTaxesDescription},
        {"TaxesParams", ptString, Variant::FromUtf8(TaxesParamsDefault), true, TaxesParamsCaption,
         TaxesParamsDescription},
        // Registered by the fiscal layer already: this changes its default, flag and description.
        {"MaxReceiptRowLength", ptNumber, Variant(40), false, MaxReceiptRowLengthCaption,
         MaxReceiptRowLengthDescription},
        {"PaymentTypeNameConformity", ptString, Variant::FromUtf8(PaymentNamesDefault), false,
         PaymentNamesCaption, PaymentNamesDescription},
    });
}

void TDriverFR::FillDeviceInfo() {
    TBaseFR::FillDeviceInfo();
    FDeviceInfo.DriverID = Utf8ToWide(DriverIDText);
    FDeviceInfo.DriverName = Utf8ToWide(fiscaltexts::DriverName);
    FDeviceInfo.ProgID = Utf8ToWide(DriverProgID);
    FDeviceInfo.HasSettingsDialog = true;
    FDeviceInfo.DriverDescription = Utf8ToWide(fiscaltexts::DriverDescription);
}

void TDriverFR::AfterInitialize() {
    TBaseFR::AfterInitialize();
    FLibrary = nullptr;
    FLastTimeout = 0;
    FShiftCounter = -1;
    FSerialNumber.clear();
    FDepartmentNames.Clear();
    FPaymentNames.Clear();
    FTaxNames.Clear();
    FRowWidth = 40;
    // Shared by the whole module: every object sets the same values.
    FormatSettings.ShortDateFormat = "yyyy mm dd";
    FormatSettings.DateSeparator = '.';
    FormatSettings.TimeFormat = "hh mm ss";
    FormatSettings.TimeSeparator = ':';
}

// ---------------------------------------------------------------------------------------------
// Life cycle

std::string TDriverFR::LibraryFolder() const {
    return platform::ModuleFolder(platform::ModuleOf(reinterpret_cast<const void*>(&ModuleFormatSettings)));
}

LONG TDriverFR::PrepareDriver() {
    BuildNameLists();
    if (FLibrary)
        return ErrNone;
    return LoadAzimuthLib(LibraryFolder(), FLibrary);
}

LONG TDriverFR::DoOpen(WString& Text) {
    TBaseFR::DoOpen(Text);
    return PrepareDriver();
}

void TDriverFR::DoClose() {
    TBaseFR::DoClose();
    UnloadLibrary();
}

LONG TDriverFR::DoEnable(WString& Text) {
    TBaseFR::DoEnable(Text);
    return ConnectPrinter(Text);
}

LONG TDriverFR::DoDisable(WString& Text) {
    const LONG code = TBaseFR::DoDisable(Text);
    DisconnectPrinter();
    return code;
}

void TDriverFR::BeforeDestroy() {
    TBaseFR::BeforeDestroy();
    UnloadLibrary();
    FDepartmentNames.Clear();
    FPaymentNames.Clear();
    FTaxNames.Clear();
}

void TDriverFR::SetSettingsDialog(TSettingsDialog Show) noexcept {
    SettingsDialog = Show;
}

bool TDriverFR::DoShowSettingsDlg() {
    const TSettingsDialog show = SettingsDialog;
    if (!show)
        return false;
    // The host's window stays disabled while the dialog is up, whatever ends it.
    BeginModal();
    bool ok = false;
    try {
        ok = show(*this);
    } catch (...) {
        EndModal();
        throw;
    }
    EndModal();
    return ok;
}

bool TDriverFR::DoParamIsSecret(std::string_view Name) const {
    return SameName(Name, "DefCashierPassword");
}

LONG TDriverFR::ConnectPrinter(WString& Text) {
    const LONG prepared = PrepareDriver();
    if (prepared != ErrNone)
        return prepared;
    std::string port = "COM";
    port += std::to_string(GetParamAsInteger("PortNumber"));
    // The library takes the speed as text; the host's value goes as it reads, not reinterpreted.
    const std::string baud = GetParamAsString("BaudRate");
    std::string cashier = GetParamAsString("DefCashierName");
    // The printer refuses an empty cashier name.
    if (cashier.empty())
        cashier.push_back(' ');
    const std::string password = GetParamAsString("DefCashierPassword");

    DisconnectPrinter();
    const TAzimuthEntries lib = Lib();
    LONG code = lib.OpenDLLPlus(cashier.c_str(), password.c_str(), port.c_str(), baud.c_str(), 0);
    if (code == ErrNone) {
        code = lib.StartSeans();
        if (code == LibAlreadyDone)
            code = ErrNone;
    }
    if (code == ErrNone) {
        SetTimeout(NormalTimeout);
        const LONG resource = lib.GetResource();
        if (resource == 0)
            FShiftCounter = lib.GetFldWord(7);
        else
            NoteLibraryEvent(TEventLevel::Warning, fiscaltexts::EventNoShiftCounter, resource);
        lib.CashDriverEnable(0);
        FSerialNumber = lib.GetSerialNum() == 0 ? ReadFieldText(lib, 5, SerialNumberMax) : std::string();
    }
    return TranslateError(code, Text);
}

void TDriverFR::DisconnectPrinter() {
    if (FLibrary)
        Lib().CloseDLL();
}

void TDriverFR::UnloadLibrary() {
    if (!FLibrary)
        return;
    if (IsEnabled())
        Lib().CloseDLL();
    ReleaseAzimuthLib(FLibrary);
    // A library loaded again starts with its own time-out and must be told ours.
    FLastTimeout = 0;
}

// ---------------------------------------------------------------------------------------------
// Guards and helpers

LONG TDriverFR::CheckReady() {
    if (!FLibrary)
        return ErrLibraryNotFound;
    if (!IsEnabled())
        return ErrDeviceNotReady;
    return ErrNone;
}

LONG TDriverFR::CheckShift(WString& Text) {
    const LONG ready = CheckReady();
    if (ready != ErrNone)
        return ready;
    const TAzimuthEntries lib = Lib();
    LONG state = 0, other = 0;
    LONG code = lib.GetShiftState(&state, &other);
    if (code == LibDocumentOpen) {
        // A document left open (a host that died half way) is cancelled, not continued.
        NoteLeftOpenCancelled(lib.CancelReceipt());
        code = lib.GetShiftState(&state, &other);
    }
    if (code != ErrNone)
        return TranslateError(code, Text);
    FDocumentLeftOpen = false;
    if (state == 1)
        return ErrShiftOver24Hours;
    return ErrNone;
}

LONG TDriverFR::TranslateError(LONG Code, WString& Text) {
    if (Code == ErrNone) {
        Text.clear();
        return ErrNone;
    }
    if (Code == LibTaxRateNotSet) {
        Text = Utf8ToWide(fiscaltexts::TaxRateNotSet);
        return ErrUnknown;
    }
    std::string message;
    if (FLibrary) {
        std::vector<char> buffer(AnswerBufferSize, '\0');
        // The text is where the answer points: the buffer, or the library's own table.
        const char* text = Lib().GetErrorMessageNo(buffer.data(), Code);
        buffer.back() = '\0';
        if (!text)
            text = buffer.data();
        message.assign(text, strnlen(text, AnswerBufferSize - 1));
    }
    message += " (";
    message += std::to_string(Code);
    message += ')';
    Text = AnsiToWide(message);
    return Code == LibNoAnswer ? ErrDeviceNotResponding : ErrUnknown;
}

void TDriverFR::SetTimeout(LONG Ms) {
    if (!FLibrary || Ms == FLastTimeout)
        return;
    Lib().SetCommTimeoutMs(Ms, Ms);
    FLastTimeout = Ms;
}

// ---------------------------------------------------------------------------------------------
// Service calls of the settings page

LONG TDriverFR::ChangeBaudrate(LONG Baud, WString& Text) {
    // Without a library there is nothing to call.
    if (!FLibrary)
        return ErrLibraryNotFound;
    return TranslateError(Lib().ChangeBaudrate(std::to_string(Baud).c_str()), Text);
}

LONG TDriverFR::ReadPrinterInfo(std::array<std::string, 7>& Texts) {
    Texts.fill(Utf8ToAnsi(fiscaltexts::NotDetermined));
    if (!FLibrary)
        return ErrLibraryNotFound;
    const TAzimuthEntries lib = Lib();
    const LONG code = lib.GetFiscalNums();
    if (code == ErrNone)
        for (std::size_t i = 0; i < Texts.size(); ++i)
            Texts[i] = ReadFieldText(lib, static_cast<BYTE>(5 + i), PrinterInfoMax);
    return code;
}

LONG TDriverFR::SendRaw(const std::string& Bytes) {
    if (!FLibrary)
        return ErrLibraryNotFound;
    const LONG length = static_cast<LONG>(Bytes.size());
    return Lib().WriteComm(Bytes.data(), length) == length ? ErrNone : ErrDeviceNotResponding;
}

// ---------------------------------------------------------------------------------------------
// Event log

namespace {

// The commands that make a document on the printer: after their failure the event says whether
// one may have been left open.
bool MakesDocument(std::string_view name) {
    static const char* const documents[] = {"OpenDay",     "PrintReceipt",          "Encash",   "PrintXReport",
                                            "PrintExtReport", "PrintZReport", "PrintTemplateDocument", "PrintText"};
    for (const char* d : documents)
        if (SameName(name, d))
            return true;
    return false;
}

} // namespace

std::string TDriverFR::DoFailureAftermath(std::string_view Name, LONG Code) {
    using namespace fiscaltexts;
    if (SameName(Name, "Enable"))
        return EventText(EventNotConnected, {std::to_string(GetParamAsInteger("PortNumber")),
                                             AnsiToUtf8(GetParamAsString("BaudRate"))});
    std::string aftermath;
    if (Code == ErrDeviceNotResponding && IsEnabled())
        aftermath = EventConnectionLost;
    if (MakesDocument(Name)) {
        if (!aftermath.empty())
            aftermath += "; ";
        aftermath += FDocumentLeftOpen ? EventDocumentMayBeOpen : EventNoDocumentOpen;
    }
    return aftermath;
}

void TDriverFR::NoteLibraryEvent(TEventLevel Level, const char* Pattern, LONG LibCode) noexcept {
    if (!EventLogEnabled())
        return;
    try {
        WString text;
        const LONG code = TranslateError(LibCode, text);
        WriteEvent(Level, EventText(Pattern, {WideToUtf8(text)}), code);
    } catch (...) {
    }
}

void TDriverFR::NoteDocumentCancelled(bool Receipt, LONG LibCode) noexcept {
    using namespace fiscaltexts;
    FDocumentLeftOpen = LibCode != ErrNone;
    if (LibCode == ErrNone)
        WriteEvent(TEventLevel::Warning, Receipt ? EventReceiptCancelled : EventTextCancelled);
    else
        NoteLibraryEvent(TEventLevel::Error, Receipt ? EventReceiptNotCancelled : EventTextNotCancelled, LibCode);
}

void TDriverFR::NoteLeftOpenCancelled(LONG LibCode) noexcept {
    if (LibCode == ErrNone)
        WriteEvent(TEventLevel::Warning, fiscaltexts::EventLeftOpenCancelled);
    else
        NoteLibraryEvent(TEventLevel::Error, fiscaltexts::EventReceiptNotCancelled, LibCode);
}
