// The whole road from IDispatch::Invoke down, as a hostile or careless host drives it: every
// member of the driver object by DISPID or by name, with argument trees of any type, by-reference
// chains, arrays of any shape and wrong argument counts, against the virtual printer, with the
// device Init/Open/Enable'd once per process so that printing commands reach the printer.
//
// Besides the sanitizers (no crash, no leak, no exception out of the object), every call checks:
// a failed command answers a one-dimensional [code, text] array, and no document is left open on
// the printer. Two structured modes build settings tables (the name conformity strings among
// them) and receipts as a till sends them (corpus/invoke/receipt-*: receipts that print), so the
// fuzzer gets past the shape checks and reaches the printer. A third runs host code in the middle
// of a command: objects of the host's inside InData whose default property empties, replaces or
// changes the host's variables, or calls the driver back with them as InData or OutData.
#include "FuzzHost.h"

#include "emulator/StateFiles.h"
#include "fiscal/uAzimuthLib.h"
#include "fiscal/uReceiptTables.h"
#include "framework/uLogText.h"
#include "platform/PlatformExt.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

using fuzzhost::THostArgs;
using fuzzhost::TChoices;

// DISPIDs of the calls that change the device's state; after them the device is put back.
constexpr DISPID idInit = 10, idOpen = 11, idClose = 12, idEnable = 15, idDisable = 16, idGetSettings = 17,
                 idSetSettings = 18, idPrintReceipt = 21;

const char* const ParamNames[] = {
    "DefCashierName", "DefCashierPassword", "PortNumber", "BaudRate", "ParamDoc1", "ParamDoc2", "LineSpacing",
    "PrintTaxes", "TaxesParams", "MaxReceiptRowLength", "PaymentTypeNameConformity", "DepartmentNameConformity",
    "TaxGroupNameConformity", "MaxSlipRowLength", "SlipRows", "HeaderText", "FooterText", "FullCutCode",
    "PartialCutCode", "DefaultTimeOut", "EventLogEnabled", "DebugLogEnabled", "Model"};

class TFixture;
TFixture& Fixture();

class TFixture {
public:
    TFixture() {
        char pattern[] = "/tmp/orvel-fuzz-invoke-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (!made)
            std::abort();
        FRoot = made;
        setenv("AZIMUTH_EMU_DIR", FRoot.c_str(), 1);
        std::filesystem::create_directories(FRoot / "devices");
        FManager.DevicesFolder = (FRoot / "devices").string() + "/";
        // The library keeps one more reference, never given back: libFuzzer reads the coverage
        // counters of every module it has seen, so the driver's Close must not unmap it.
        const std::string folder = platform::ModuleFolder(platform::ModuleOf(reinterpret_cast<const void*>(&Fixture)));
        if (!LoadLibraryA((folder + AzimuthLibName).c_str()))
            std::abort();
        FDriver = CreateDriverObject();
        Up();
        THostArgs args;
        Variant out;
        args.AddValue(Variant());
        args.AddRef(out);
        args.AddValue(Variant(0));
        if (Call(idGetSettings, args) != S_OK || !ArrayReader::IsArray(out.Raw()))
            std::abort();
        FBaseline = out;
    }
    ~TFixture() {
        FDriver.Reset();
        std::error_code ignored;
        std::filesystem::remove_all(FRoot, ignored);
    }

    IDispatch* Driver() { return FDriver.Get(); }
    std::size_t MethodCount() const { return FDriver->Methods().size(); }
    std::string MethodName(std::size_t i) const { return FDriver->Methods()[i].Name; }
    bool IsCommand(DISPID id) const {
        return id >= 0 && static_cast<std::size_t>(id) < MethodCount() &&
               FDriver->Methods()[static_cast<std::size_t>(id)].Kind == mkCommand;
    }
    Variant Manager() { return Variant::FromDispatch(&FManager); }

    HRESULT Call(DISPID id, THostArgs& args, Variant* result = nullptr) { return Call(id, args.Params(), result); }
    HRESULT Call(DISPID id, DISPPARAMS dp, Variant* result = nullptr) {
        VARIANT raw;
        VariantInit(&raw);
        EXCEPINFO excep{};
        const HRESULT hr = FDriver->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &dp, &raw, &excep, nullptr);
        SysFreeString(excep.bstrDescription);
        SysFreeString(excep.bstrSource);
        SysFreeString(excep.bstrHelpFile);
        Variant owned = Variant::TakeOver(raw);
        if (result)
            *result = std::move(owned);
        return hr;
    }

    // Puts the device back as the host left it before the input: its settings, Init, Open, Enable.
    void Restore(bool lifecycle) {
        if (lifecycle)
            Raw(idClose, Variant());
        THostArgs args;
        Variant out;
        args.AddValue(FBaseline); // GetSettings answers [table], as SetSettings takes it
        args.AddRef(out);
        args.AddValue(Variant(0));
        Variant result;
        if (Call(idSetSettings, args, &result) != S_OK || result.Type() != VT_BOOL || !result.AsBoolean()) {
            std::fprintf(stderr, "the settings could not be put back: %s\n", VariantToLogText(out).c_str());
            std::abort();
        }
        if (lifecycle)
            Up();
    }

    // No receipt or text document may stay open on the printer after a command.
    bool DocumentOpen() const {
        try {
            return azimuth::LoadMemory(azimuth::PortFolder(FRoot, "COM1")).document.has_value();
        } catch (const azimuth::StateError&) {
            return true;
        }
    }

    // The printer's paper, journal and the driver's log only grow: keep a long run's disk small.
    void Trim() {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(FRoot)) {
            const std::string name = entry.path().filename().string();
            if (name == "paper.txt" || name == "journal.jsonl" || name.ends_with(".log"))
                std::filesystem::resize_file(entry.path(), 0);
        }
    }

private:
    void Up() {
        if (!Raw(idInit, Manager()) || !Raw(idOpen, Variant(Utf8ToWide("1"))))
            std::abort();
        THostArgs args;
        Variant out;
        args.AddValue(Variant());
        args.AddRef(out);
        args.AddValue(Variant(0));
        Variant result;
        if (Call(idEnable, args, &result) != S_OK || result.Type() != VT_BOOL || !result.AsBoolean()) {
            const std::string text = ArrayReader::IsArray(out.Raw()) ? VariantToLogText(out) : "";
            std::fprintf(stderr, "the virtual printer could not be enabled: %s\n", text.c_str());
            std::abort();
        }
    }
    bool Raw(DISPID id, const Variant& argument) {
        THostArgs args;
        Variant text;
        args.AddValue(argument);
        args.AddRef(text);
        Variant result;
        return Call(id, args, &result) == S_OK && result.Type() == VT_BOOL && result.AsBoolean();
    }

    std::filesystem::path FRoot;
    fuzzhost::TEquipmentManager FManager;
    ComPtr<TBaseObject> FDriver;
    Variant FBaseline;
};

TFixture& Fixture() {
    static TFixture fixture;
    return fixture;
}

// A settings table [[name, value, ...]] with known and unknown names and any values.
Variant SettingsTable(TChoices& c) {
    const LONG rows = c.Byte() % 6;
    const LONG columns = 2 + c.Byte() % 2;
    VariantArray2D table(columns, rows);
    for (LONG j = 0; j < rows; ++j) {
        const uint8_t pick = c.Byte();
        Variant name = pick < 230 ? Variant(Utf8ToWide(ParamNames[pick % std::size(ParamNames)])) : c.Value(1);
        table.Set(0, j, name);
        const uint8_t kind = c.Byte();
        table.Set(1, j, kind < 100 ? Variant(c.Conformity()) : c.Value(1));
    }
    return MakeVariantArray({table.Release()});
}

// PrintReceipt's InData as hosts send it: [goods (2D), payments (2D), parameters (1D)] in the
// layout the driver reads, with values a till produces and payments that cover the total, so
// that most receipts reach the printer and print. Every cell is read from a value byte and a
// type byte; a type byte below 192 keeps the column's usual type, the next ones pick another
// type the driver must accept or refuse, and the last ones anything at all. The layout is fixed
// (receipt bytes, then two bytes per goods cell, per payment cell, per parameter), so that a
// seed reads like a receipt: bytes past the end are 0, the usual choice everywhere.
enum class TRole { Text, Integer, Money, Quantity, Date, Boolean };

// A cell's usual value and the kind of value it is.
struct TCell {
    TRole Role = TRole::Text;
    Variant Usual;
};

Variant CellOfType(const TCell& cell, uint8_t type, TChoices& c) {
    if (type < 192)
        return cell.Usual;
    if (type >= 240)
        return c.Value(1);
    static const VARTYPE texts[] = {VT_I4, VT_R8, VT_EMPTY, VT_NULL, VT_BOOL, VT_DATE, VT_CY};
    static const VARTYPE ordinals[] = {VT_I1, VT_I2, VT_UI1, VT_UI2, VT_UI4, VT_I8, VT_UI8, VT_INT, VT_UINT,
                                       VT_R8, VT_R4, VT_CY, VT_BSTR, VT_BOOL, VT_DECIMAL, VT_EMPTY, VT_NULL};
    static const VARTYPE numbers[] = {VT_R8, VT_R4, VT_I4, VT_I2, VT_I8, VT_UI4, VT_CY, VT_DECIMAL,
                                      VT_BSTR, VT_BOOL, VT_INT, VT_DATE, VT_EMPTY, VT_NULL};
    static const VARTYPE others[] = {VT_R8, VT_I4, VT_BSTR, VT_I2, VT_UI1, VT_EMPTY, VT_NULL};
    const uint8_t pick = type - 192;
    VARTYPE vt;
    switch (cell.Role) {
    case TRole::Text:
        vt = texts[pick % std::size(texts)];
        break;
    case TRole::Integer:
        vt = ordinals[pick % std::size(ordinals)];
        break;
    case TRole::Money:
    case TRole::Quantity:
        vt = numbers[pick % std::size(numbers)];
        break;
    default:
        vt = others[pick % std::size(others)];
        break;
    }
    if (vt == VT_EMPTY)
        return Variant();
    if (vt == VT_NULL)
        return Variant::Null();
    try {
        return cell.Usual.ChangeType(vt);
    } catch (const EConversionError&) {
        return cell.Usual; // a value the type cannot hold stays in its usual type
    }
}

// One cell from its value byte and its type byte; usual(value byte) makes the column's usual
// value.
template <class F>
Variant ReadCell(TChoices& c, F&& usual) {
    const uint8_t value = c.Byte();
    const uint8_t type = c.Byte();
    return CellOfType(usual(value), type, c);
}

template <class T, std::size_t N>
const T& Pick(const T (&list)[N], uint8_t value) {
    return list[value % N];
}

TCell Text(const char* utf8) { return {TRole::Text, Variant::FromUtf8(utf8)}; }

// Kopecks of an amount the harness computed; 0 for one that no currency holds.
LONGLONG KopecksOf(double amount) {
    return std::isfinite(amount) && std::fabs(amount) < 1e15 ? std::llround(amount) : 0;
}

TCell Money(LONGLONG kopecks) {
    CY cy;
    cy.int64 = kopecks * 100;
    return {TRole::Money, Variant::FromCurrency(cy)};
}

// One goods row of `columns` cells: name, -, code, department, price, quantity, discount text,
// discount (a markup when negative), sum, sum less discount, tax group, tax amount, tax rate, four
// more, comment. Adds what the printer makes of the row to total (kopecks).
void GoodsRow(TChoices& c, VariantArray2D& goods, LONG row, LONG columns, LONGLONG& total) {
    static const char* const names[] = {"Хлеб ржаной", "Молоко 3,2%", "Сыр \"Российский\" весовой", "",
                                        "Пакет", "Шоколад молочный с орехами и изюмом, 200 г, в коробке",
                                        "Вода\r\nгазированная", "Z"};
    static const char* const codes[] = {"4600157", "", "4607001", "12345678901234567890123", "A-1"};
    static const LONGLONG prices[] = {4550, 8990, 100, 1, 12345, 99999, 0, 50, 2147483647, 19999};
    static const double quantities[] = {1, 2, 0.5, 1.25, 0.001, 3, 0.3335, 10, 1000};
    static const char* const adjustmentTexts[] = {"", "Скидка постоянного покупателя", "Наценка", "%s"};
    static const double adjustments[] = {0.05, 0.1, 0.5, 1.0}; // parts of the sum
    static const LONG groups[] = {1, 0, 2, 3, -1, 7, 8, 255, 256};
    static const char* const comments[] = {"", "Партия 17", "Строка 1\r\nСтрока 2",
                                           "Комментарий длиннее строки чека, чтобы его пришлось переносить"};
    LONGLONG price = 0, amount = 0, adjustment = 0;
    for (LONG column = 0; column < columns; ++column) {
        goods.Set(column, row, ReadCell(c, [&](uint8_t value) -> TCell {
            switch (column) {
            case 0:
                return value < 240 ? Text(Pick(names, value)) : TCell{TRole::Text, Variant(c.Text())};
            case 2:
                return Text(Pick(codes, value));
            case 3:
                return {TRole::Integer, Variant(value < 240 ? value % 4 : c.Integer())};
            case 4:
                price = value < 240 ? Pick(prices, value) : c.Integer();
                return Money(price);
            case 5: {
                const double quantity = value < 240 ? Pick(quantities, value) : c.Real();
                // What the printer makes of it: thousandths, and the sum to the nearest kopeck.
                if (LONG thousandths = 0; price >= 0 && QuantityToThousandths(quantity, thousandths) && thousandths > 0)
                    amount = (price * thousandths + 500) / 1000;
                return {TRole::Quantity, Variant(quantity)};
            }
            case 6:
                return Text(Pick(adjustmentTexts, value));
            case 7: // none, a discount, a markup, or any amount
                adjustment = value < 128   ? 0
                             : value < 192 ? KopecksOf(static_cast<double>(amount) * Pick(adjustments, value))
                             : value < 240 ? -KopecksOf(static_cast<double>(amount) * Pick(adjustments, value))
                                           : c.Integer();
                return Money(adjustment);
            case 8:
                return Money(amount);
            case 9:
                return Money(amount - adjustment);
            case 10:
                return {TRole::Integer, Variant(Pick(groups, value))};
            case 11:
                return Money(0);
            case 12:
                return Money(1800);
            case 17:
                return Text(Pick(comments, value));
            default: // columns the driver does not read
                return {};
            }
        }));
    }
    total += amount - adjustment;
}

// Payments of the receipt's total by plan: cash, cash with change, card and cash, card alone,
// three kinds, too little, none, or any amounts.
Variant Payments(TChoices& c, uint8_t plan, LONG columns, LONGLONG total) {
    struct TPay {
        LONG Type;
        LONGLONG Kopecks;
    };
    std::vector<TPay> pays;
    switch (plan % 8) {
    case 0:
        pays = {{0, total}};
        break;
    case 1:
        pays = {{0, total + 10000 - total % 10000}};
        break;
    case 2:
        pays = {{1, total / 2}, {0, total - total / 2 + 5000}};
        break;
    case 3:
        pays = {{1, total}};
        break;
    case 4:
        pays = {{2, total / 3}, {1, total / 3}, {0, total - 2 * (total / 3)}};
        break;
    case 5:
        pays = {{0, total - 1}};
        break;
    case 6:
        break;
    default:
        for (uint8_t n = 1 + c.Byte() % 3; n > 0; --n)
            pays.push_back({static_cast<LONG>(c.Byte() % 4), c.Integer()});
        break;
    }
    static const char* const texts[] = {"", "Карта *1234", "Сертификат №5"};
    VariantArray2D table(columns, static_cast<LONG>(pays.size()));
    for (LONG row = 0; row < static_cast<LONG>(pays.size()); ++row) {
        const TPay& pay = pays[static_cast<std::size_t>(row)];
        for (LONG column = 0; column < columns; ++column) {
            table.Set(column, row, ReadCell(c, [&](uint8_t value) -> TCell {
                if (column == 0)
                    return {TRole::Integer, Variant(pay.Type)};
                if (column == 1)
                    return Money(pay.Kopecks);
                return column < 4 ? Text(Pick(texts, value)) : TCell{};
            }));
        }
    }
    return table.Release();
}

// Kind, fiscal or a copy, print mode, total twice, -, header, footer, -, receipt and document
// numbers, date and time, cashier.
Variant ReceiptParams(TChoices& c, LONG kind, bool fiscal, LONG count, LONGLONG total) {
    static const char* const headers[] = {"", "Магазин у дома", "Строка 1\r\nСтрока 2",
                                          "Заголовок, который длиннее сорока знаков строки чека"};
    static const char* const footers[] = {"", "Спасибо за покупку!", "Ждём вас снова"};
    static const char* const cashiers[] = {"Иванова", "", "Администратор смены Константинопольская-Щедрина"};
    std::vector<Variant> params;
    for (LONG i = 0; i < count; ++i) {
        params.push_back(ReadCell(c, [&](uint8_t value) -> TCell {
            switch (i) {
            case 0:
                return {TRole::Integer, Variant(kind)};
            case 1:
                return {TRole::Boolean, Variant(fiscal)};
            case 2:
                return {TRole::Integer, Variant(value < 220 ? 0 : 2)}; // 2: on an inserted sheet
            case 3:
            case 4:
                return Money(total);
            case 6:
                return Text(Pick(headers, value));
            case 7:
                return Text(Pick(footers, value));
            case 8:
            case 9:
            case 10:
                return {TRole::Integer, Variant(0)};
            case 11:
                return {TRole::Date, Variant::FromDate(46364.0 + value / 24.0)}; // 8 December 2026
            case 12:
                return Text(Pick(cashiers, value));
            default:
                return Text("");
            }
        }));
    }
    return MakeVariantArray(std::move(params));
}

Variant Receipt(TChoices& c) {
    const uint8_t rows = c.Byte(), goodsColumns = c.Byte(), plan = c.Byte(), paymentColumns = c.Byte(),
                  kind = c.Byte(), fiscal = c.Byte(), count = c.Byte();
    const LONG goodsRows = rows < 252 ? 1 + rows % 4 : 0;
    const LONG columns = goodsColumns < 128   ? 18
                         : goodsColumns < 192 ? 11
                         : goodsColumns < 224 ? 10
                                              : 6 + goodsColumns % 14;
    VariantArray2D goods(columns, goodsRows);
    LONGLONG total = 0;
    for (LONG row = 0; row < goodsRows; ++row)
        GoodsRow(c, goods, row, columns, total);
    total = std::clamp<LONGLONG>(total, 0, 0x7FFFFFFF);
    const LONG payColumns = paymentColumns < 128 ? 3 : paymentColumns < 192 ? 4 : 1 + paymentColumns % 5;
    const Variant payments = Payments(c, plan, payColumns, total);
    const LONG receiptKind = kind < 160 ? 0 : kind < 220 ? 1 : c.Integer();
    const Variant params = ReceiptParams(c, receiptKind, fiscal < 200, count < 200 ? 13 : count % 15, total);
    return MakeVariantArray({goods.Release(), payments, params});
}

bool ChangesDeviceState(DISPID id) {
    return id == idInit || id == idOpen || id == idClose || id == idEnable || id == idDisable || id == idSetSettings;
}

void Fail(const char* what, const std::string& method) {
    std::fprintf(stderr, "invariant broken after %s: %s\n", method.c_str(), what);
    std::abort();
}

// A failed command's OutData: [code, text], one dimension, a non-zero code.
bool IsErrorArray(const Variant& out) {
    if (!ArrayReader::IsArray(out.Raw()))
        return false;
    ArrayReader r(out.Raw());
    if (r.Dims() != 1 || r.Count() != 2)
        return false;
    const Variant code = r.Item(0), text = r.Item(1);
    return code.Type() == VT_I4 && code.AsInteger() != 0 && text.Type() == VT_BSTR;
}

// ---------------------------------------------------------------------------------------------
// Host code during a command. InData is a host variable holding an array with objects of the
// host's in it; the driver's conversions read their default property, which runs host code in
// the middle of the command: it empties or replaces the variable, changes one of its elements or
// the OutData variable, or calls the driver back with the variable as InData or OutData.

enum class THostMove : uint8_t { Empty, Replace, ChangeElement, ChangeOutData, ReEnterAsOutData, ReEnterAsInData };
constexpr uint8_t HostMoves = 6;

// Arrays the host's code failed to free because the driver had them locked: the runtime emptied
// the variable, so the array is nobody's; the host frees it once the call is over (and the
// sanitizer sees whether the driver unlocked it).
std::vector<SAFEARRAY*>& OrphanedArrays() {
    static std::vector<SAFEARRAY*> orphans;
    return orphans;
}

// A call made the way a host makes it, InData and OutData given as raw VARIANTs the host owns.
HRESULT HostInvoke(DISPID id, const VARIANT& inData, VARIANT* outData, Variant* result = nullptr) {
    VARIANT args[3]; // last first
    VariantInit(&args[0]);
    args[0].vt = VT_I4;
    args[0].lVal = 0;
    VariantInit(&args[1]);
    args[1].vt = VT_BYREF | VT_VARIANT;
    args[1].pvarVal = outData;
    args[2] = inData;
    return Fixture().Call(id, DISPPARAMS{args, nullptr, 3, 0}, result);
}

VARIANT RefTo(VARIANT* variable) {
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_VARIANT;
    ref.pvarVal = variable;
    return ref;
}

// The host's object: its default property makes its move the first time it is read (a command
// called back may read it again) and answers a plausible value.
class TMeddlingObject final : public IDispatch {
public:
    TMeddlingObject(THostMove move, Variant answer, Variant other, VARIANT* variable, VARIANT* outData, DISPID callBack,
                    LONG element)
        : FMove(move), FAnswer(std::move(answer)), FOther(std::move(other)), FVariable(variable), FOutData(outData),
          FCallBack(callBack), FElement{element, element, element, element} {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch))
            return E_NOINTERFACE;
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --FRefs;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                     UINT*) override {
        if (id != DISPID_VALUE || !result)
            return DISP_E_MEMBERNOTFOUND;
        if (!FActed) {
            FActed = true;
            Act();
        }
        return VariantCopy(result, FAnswer.Get());
    }

private:
    // A move on the variable; an array the runtime could not free is left to the host.
    template <class F>
    void OnVariable(F&& move) {
        SAFEARRAY* const held = (FVariable->vt & VT_ARRAY) && !(FVariable->vt & VT_BYREF) ? FVariable->parray : nullptr;
        if (move() == DISP_E_ARRAYISLOCKED)
            OrphanedArrays().push_back(held);
    }

    // What the host's code does; whatever the runtime refuses it, it takes as a script would.
    void Act() {
        switch (FMove) {
        case THostMove::Empty:
            OnVariable([&] { return VariantClear(FVariable); });
            break;
        case THostMove::Replace:
            OnVariable([&] { return VariantCopy(FVariable, FOther.Get()); });
            break;
        case THostMove::ChangeElement:
            if (FVariable->vt == (VT_ARRAY | VT_VARIANT) && FVariable->parray && SafeArrayGetDim(FVariable->parray) <= 4)
                SafeArrayPutElement(FVariable->parray, FElement, FOther.Get());
            break;
        case THostMove::ChangeOutData:
            VariantCopy(FOutData, FOther.Get());
            break;
        case THostMove::ReEnterAsOutData:
            HostInvoke(FCallBack, FOther.Raw(), FVariable);
            break;
        case THostMove::ReEnterAsInData:
            HostInvoke(FCallBack, RefTo(FVariable), FOutData);
            break;
        }
    }

    ULONG FRefs = 1;
    bool FActed = false;
    THostMove FMove;
    Variant FAnswer, FOther;
    VARIANT* FVariable;
    VARIANT* FOutData;
    DISPID FCallBack;
    LONG FElement[4]; // as many indices as the array may have dimensions
};

// The array an object goes into: the variable's own, or one held in an element of it.
SAFEARRAY* Somewhere(TChoices& c, SAFEARRAY* array) {
    if (c.Byte() % 2 == 0 || SafeArrayGetDim(array) != 1)
        return array;
    LONG k = 0;
    SafeArrayGetLBound(array, 1, &k);
    k += c.Byte() % 3;
    void* cell = nullptr;
    if (SafeArrayPtrOfIndex(array, &k, &cell) != S_OK)
        return array;
    const VARIANT& element = *static_cast<const VARIANT*>(cell);
    return element.vt == (VT_ARRAY | VT_VARIANT) && element.parray ? element.parray : array;
}

// Element indices near the lower bounds; one outside the bounds leaves the value out.
void PutNear(TChoices& c, SAFEARRAY* array, Variant& value) {
    const UINT dims = SafeArrayGetDim(array);
    if (dims == 0 || dims > 4)
        return;
    LONG index[4] = {};
    for (UINT d = 0; d < dims; ++d) {
        SafeArrayGetLBound(array, d + 1, &index[d]);
        index[d] += c.Byte() % 3;
    }
    SafeArrayPutElement(array, index, value.Get());
}

// One command called with a meddling InData and OutData; returns the members it called.
std::pair<DISPID, DISPID> CallWithHostCode(TChoices& c) {
    TFixture& f = Fixture();
    const DISPID id = static_cast<DISPID>(c.Byte() % f.MethodCount());
    const DISPID callBack = static_cast<DISPID>(c.Byte() % f.MethodCount());
    Variant variable = c.Byte() < 192 ? c.Array(1) : Receipt(c);
    // The objects go into elements of VARIANTs, by the array's own type (the label may lie).
    VARTYPE holds = VT_EMPTY;
    if (variable.Type() != (VT_ARRAY | VT_VARIANT) || FAILED(SafeArrayGetVartype(variable.Raw().parray, &holds)) ||
        holds != VT_VARIANT)
        variable = MakeVariantArray({c.Value(1), c.Value(1)});
    Variant out;
    for (int n = 1 + c.Byte() % 3; n > 0; --n) {
        const THostMove move = static_cast<THostMove>(c.Byte() % HostMoves);
        auto* object = new TMeddlingObject(move, c.Plausible(), c.Value(1), variable.Get(), out.Get(), callBack,
                                           c.Byte() % 3);
        Variant held = Variant::FromDispatch(object);
        object->Release();
        PutNear(c, Somewhere(c, variable.Raw().parray), held);
    }
    const bool byReference = c.Byte() < 192;
    Variant result;
    const HRESULT hr = HostInvoke(id, byReference ? RefTo(variable.Get()) : variable.Raw(), out.Get(), &result);
    for (SAFEARRAY* orphan : OrphanedArrays())
        if (SafeArrayDestroy(orphan) != S_OK)
            Fail("an array lent to a command stays locked after it", f.MethodName(static_cast<std::size_t>(id)));
    OrphanedArrays().clear();
    // Init and Open answer False with a text, not an error array.
    if (f.IsCommand(id) && hr == S_OK && result.Type() == VT_BOOL && !result.AsBoolean() && !IsErrorArray(out))
        Fail("a failed command without [code, text] in OutData, with host code", f.MethodName(static_cast<std::size_t>(id)));
    return {id, callBack};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 8192)
        return 0;
    TFixture& f = Fixture();
    TChoices c(data, size);
    bool lifecycle = false;
    for (int calls = 1 + c.Byte() % 4; calls > 0 && !c.AtEnd(); --calls) {
        const uint8_t mode = c.Byte();
        if (mode >= 248) {
            const auto [id, callBack] = CallWithHostCode(c);
            lifecycle = lifecycle || ChangesDeviceState(id) || ChangesDeviceState(callBack);
            if (f.DocumentOpen())
                Fail("a document left open on the printer, with host code", f.MethodName(static_cast<std::size_t>(id)));
            continue;
        }
        DISPID id;
        THostArgs args;
        Variant out; // the host's OutData variable of a well-formed command call
        bool wellFormed = false;
        if (mode < 32) { // settings exchange
            id = idSetSettings;
            args.AddValue(SettingsTable(c));
            wellFormed = true;
        } else if (mode < 64) { // a receipt
            id = idPrintReceipt;
            args.AddValue(Receipt(c));
            wellFormed = true;
        } else {
            const uint8_t member = c.Byte();
            if (mode < 80) {
                // By name, as GetIDsOfNames answers it (a misspelt name answers DISPID_UNKNOWN).
                const std::size_t i = member % (f.MethodCount() + 1);
                std::string ansi = i < f.MethodCount() ? f.MethodName(i) : "Nope";
                if (c.Byte() % 2)
                    for (char& ch : ansi)
                        ch = (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
                WString name = AnsiToWide(ansi);
                LPOLESTR names[] = {name.data()};
                id = DISPID_UNKNOWN;
                f.Driver()->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
            } else if (member < 250) {
                id = static_cast<DISPID>(member % (f.MethodCount() + 2));
            } else {
                static const DISPID odd[] = {-1, -2, MaxDispID, MaxDispID + 1, 0x7FFFFFFF, -0x7FFFFFFF - 1};
                id = odd[member % std::size(odd)];
            }
            wellFormed = f.IsCommand(id) && c.Byte() < 160;
            if (wellFormed) {
                args.AddValue(c.Value(0));
            } else {
                for (int n = c.Byte() % 5; n > 0; --n)
                    c.AddArgument(args, f.Manager());
            }
        }
        if (wellFormed) {
            args.AddRef(out);
            args.AddValue(Variant(static_cast<LONG>(c.Byte())));
        }
        lifecycle = lifecycle || ChangesDeviceState(id);
        const bool trace = std::getenv("FUZZ_INVOKE_TRACE") != nullptr; // reproducing a finding
        if (trace)
            std::fprintf(stderr, "call %ld: %s\n", static_cast<long>(id), args.LogText().c_str());
        Variant result;
        const HRESULT hr = f.Call(id, args, &result);
        const std::string method =
            id >= 0 && static_cast<std::size_t>(id) < f.MethodCount() ? f.MethodName(static_cast<std::size_t>(id)) : "?";
        if (trace)
            std::fprintf(stderr, "  %s: hr %08lX, %s, OutData %s\n", method.c_str(), static_cast<unsigned long>(hr),
                         VariantToLogText(result).c_str(), VariantToLogText(out).c_str());
        if (wellFormed && hr == S_OK && result.Type() == VT_BOOL && !result.AsBoolean() && !IsErrorArray(out))
            Fail("a failed command without [code, text] in OutData", method);
        if (f.DocumentOpen())
            Fail("a document left open on the printer", method);
    }
    f.Restore(lifecycle);
    static unsigned runs = 0;
    if (++runs % 512 == 0)
        f.Trim();
    return 0;
}
