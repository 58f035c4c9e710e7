// The whole road from IDispatch::Invoke down, as a hostile or careless host drives it: every
// member of the driver object by DISPID or by name, with argument trees of any type, by-reference
// chains, arrays of any shape and wrong argument counts, against the virtual printer, with the
// device Init/Open/Enable'd once per process so that printing commands reach the printer.
//
// Besides the sanitizers (no crash, no leak, no exception out of the object), every call checks:
// a failed command answers a one-dimensional [code, text] array, and no document is left open on
// the printer. Two structured modes build settings tables (the name conformity strings among
// them) and receipts of arbitrary goods, payments and parameters, so the fuzzer gets past the
// shape checks.
#include "FuzzHost.h"

#include "emulator/StateFiles.h"
#include "fiscal/uAzimuthLib.h"
#include "framework/uLogText.h"
#include "platform/PlatformExt.h"

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

    HRESULT Call(DISPID id, THostArgs& args, Variant* result = nullptr) {
        DISPPARAMS dp = args.Params();
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

// PrintReceipt's InData: [goods (2D), payments (2D), parameters (1D)], values mostly plausible.
Variant Receipt(TChoices& c) {
    auto table = [&](LONG columns, LONG rows) {
        VariantArray2D a(columns, rows);
        for (LONG j = 0; j < rows; ++j)
            for (LONG i = 0; i < columns; ++i)
                a.Set(i, j, c.Byte() < 200 ? c.Plausible() : c.Value(1));
        return a.Release();
    };
    const Variant goods = table(6 + c.Byte() % 8, c.Byte() % 5);
    const Variant payments = table(2 + c.Byte() % 2, c.Byte() % 4);
    const LONG count = c.Byte() % 10;
    std::vector<Variant> params;
    for (LONG i = 0; i < count; ++i)
        params.push_back(c.Byte() < 200 ? c.Plausible() : c.Value(1));
    return MakeVariantArray({goods, payments, MakeVariantArray(std::move(params))});
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 8192)
        return 0;
    TFixture& f = Fixture();
    TChoices c(data, size);
    bool lifecycle = false;
    for (int calls = 1 + c.Byte() % 4; calls > 0 && !c.AtEnd(); --calls) {
        const uint8_t mode = c.Byte();
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
        lifecycle = lifecycle || id == idInit || id == idOpen || id == idClose || id == idEnable ||
                    id == idDisable || id == idSetSettings;
        if (std::getenv("FUZZ_INVOKE_TRACE")) // reproducing a finding: what was called with what
            std::fprintf(stderr, "call %ld: %s\n", static_cast<long>(id), args.LogText().c_str());
        Variant result;
        const HRESULT hr = f.Call(id, args, &result);
        const std::string method =
            id >= 0 && static_cast<std::size_t>(id) < f.MethodCount() ? f.MethodName(static_cast<std::size_t>(id)) : "?";
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
