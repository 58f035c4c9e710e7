// The host's side of a fuzzed call: arguments the way a late-binding host lays them out (last
// first, by value or by reference, through chains of references or typed pointers into its own
// variables), values of any VARTYPE and arrays of any shape drawn from the fuzzer's bytes, and an
// equipment manager that tells the driver its data folder.
#pragma once

#include "framework/uCommonUtils.h"
#include "framework/uLogText.h"
#include "server/DriverClass.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <string>
#include <vector>

namespace fuzzhost {

// Arguments of one call. The storage a reference points to lives here until the call's effects
// (write-back included) have been freed.
class THostArgs {
public:
    THostArgs() = default;
    THostArgs(const THostArgs&) = delete;
    THostArgs& operator=(const THostArgs&) = delete;
    ~THostArgs() {
        for (VARIANT& v : FArgs)
            VariantClear(&v);
        for (VARIANT& v : FCells)
            VariantClear(&v);
    }

    void AddValue(Variant value) { FArgs.push_back(value.Detach()); }
    // A reference to a variable of the caller's (the OutData a well-formed call passes).
    void AddRef(Variant& variable) { FArgs.push_back(RefTo(variable.Get())); }
    // A chain of `links` references ending in value; a null link where `broken`.
    void AddChain(Variant value, int links, bool broken) {
        VARIANT* target = Cell(value);
        for (int i = 1; i < links; ++i) {
            VARIANT ref = RefTo(target);
            FCells.push_back(ref);
            target = &FCells.back();
        }
        VARIANT arg = RefTo(broken ? nullptr : target);
        FArgs.push_back(arg);
    }
    // A typed reference (VT_BYREF | the value's type) into a variable holding value; null when
    // `null`.
    void AddTyped(Variant value, bool null) {
        VARIANT* cell = Cell(value);
        VARIANT arg;
        VariantInit(&arg);
        arg.vt = static_cast<VARTYPE>(cell->vt | VT_BYREF);
        arg.byref = null ? nullptr : &cell->lVal; // every member of the union starts there
        if (cell->vt == VT_EMPTY || cell->vt == VT_NULL)
            arg.vt = VT_BYREF | VT_VARIANT, arg.pvarVal = null ? nullptr : cell;
        FArgs.push_back(arg);
    }
    void AddRawArg(VARIANT raw) { FArgs.push_back(raw); }

    std::string LogText() const {
        std::string text;
        for (const VARIANT& v : FArgs)
            text += (v.vt & VT_BYREF) ? "<ref> " : VariantToLogText(v) + " ";
        return text;
    }

    DISPPARAMS Params() {
        FReversed.assign(FArgs.rbegin(), FArgs.rend());
        DISPPARAMS dp{};
        dp.rgvarg = FReversed.empty() ? nullptr : FReversed.data();
        dp.cArgs = static_cast<UINT>(FReversed.size());
        return dp;
    }
private:
    static VARIANT RefTo(VARIANT* target) {
        VARIANT ref;
        VariantInit(&ref);
        ref.vt = VT_BYREF | VT_VARIANT;
        ref.pvarVal = target;
        return ref;
    }
    VARIANT* Cell(Variant& value) {
        FCells.push_back(value.Detach());
        return &FCells.back();
    }
    VARIANT* Cell(Variant&& value) { return Cell(value); }

    std::vector<VARIANT> FArgs;     // in the order of the call
    std::vector<VARIANT> FReversed; // as DISPPARAMS holds them
    std::deque<VARIANT> FCells;     // the host's variables; a deque keeps their addresses
};

// Reads the fuzzer's bytes as choices; past the end every choice is 0.
class TChoices {
public:
    TChoices(const uint8_t* data, size_t size) : FData(data), FSize(size) {}
    // A huge text is this many characters times 1 to 256.
    std::size_t HugeUnit = 1000;
    bool AtEnd() const { return FPos >= FSize; }
    uint8_t Byte() { return FPos < FSize ? FData[FPos++] : 0; }
    uint32_t Word32() {
        return static_cast<uint32_t>(Byte()) | static_cast<uint32_t>(Byte()) << 8 |
               static_cast<uint32_t>(Byte()) << 16 | static_cast<uint32_t>(Byte()) << 24;
    }
    LONG Integer() {
        static const LONG interesting[] = {0, 1, 2, 3, 5, -1, 8, 10, 40, 100, 255, 256, 1000, 4096, 65535, 65536,
                                           100000, 2147483, 21474836, 0x7FFFFFFF, -0x7FFFFFFF - 1};
        const uint8_t b = Byte();
        if (b < 128)
            return b % 16;
        if (b < 220)
            return interesting[b % std::size(interesting)];
        return static_cast<LONG>(Word32());
    }
    double Real() {
        static const double interesting[] = {0.5, 1.5, 2.5, 0.005, 0.015, 99.99, 1e-9, 1e9, 21474836.47, 2147483.648,
                                             1e300, -1e300, 4.94e-324, std::numeric_limits<double>::infinity(),
                                             -std::numeric_limits<double>::infinity(),
                                             std::numeric_limits<double>::quiet_NaN(), -0.0};
        const uint8_t b = Byte();
        if (b < 64)
            return interesting[b % std::size(interesting)];
        return static_cast<double>(Integer()) / static_cast<double>(1 + Byte() % 100);
    }
    WString Text() {
        static const char* const pieces[] = {"a", "Б", " ", "1", "0", "2", ".", ",", "-", ";", "=", "e", "E5", "|",
                                             "НАЛИЧНЫМИ", "КАРТОЙ", "НДС", "18", "\t", "\r\n", "\x1b", "i", "%s",
                                             "True", "False", "12.05.2024", "09:00", "\xe2\x9c\x82", "\xef\xbf\xbf"};
        WString text;
        const uint8_t n = Byte();
        if (n == 255) // huge
            return WString(HugeUnit * (1 + Byte()), u'Ж');
        for (uint8_t i = n % 16; i > 0; --i)
            text += Utf8ToWide(pieces[Byte() % std::size(pieces)]);
        if (Byte() == 254)
            text += u'\0', text += u'x'; // a NUL inside a BSTR
        return text;
    }
    // Name conformity text: number=name pairs separated by ";", often malformed.
    WString Conformity() {
        WString text;
        for (uint8_t n = Byte() % 8; n > 0; --n) {
            const uint8_t form = Byte();
            if (form < 200)
                text += Utf8ToWide(std::to_string(Integer())) + u"=" + Text();
            else
                text += Text();
            if (Byte() < 230)
                text += u";";
        }
        return text;
    }
    // A value of the kinds the commands expect: numbers of any automation type, dates, short texts.
    Variant Plausible() {
        switch (Byte() % 8) {
        case 0:
            return Variant(Integer());
        case 1:
            return Variant(Real());
        case 2: {
            CY cy;
            cy.int64 = static_cast<LONGLONG>(Integer()) * (Byte() % 2 ? 100 : 10000);
            return Variant::FromCurrency(cy);
        }
        case 3:
            return Variant::FromDate(45000.0 + Real() / 1000.0);
        case 4:
            return Variant(Byte() % 2 == 0);
        case 5:
            return Variant(Utf8ToWide(std::to_string(Integer())));
        default:
            return Variant(Text());
        }
    }

    // Any value: every automation type, arrays of any shape, nesting.
    Variant Value(int depth) {
        VARIANT raw;
        VariantInit(&raw);
        switch (Byte() % 24) {
        case 0:
            return Variant();
        case 1:
            return Variant::Null();
        case 2:
            raw.vt = VT_I1, raw.cVal = static_cast<CHAR>(Byte());
            break;
        case 3:
            return Variant::FromI2(static_cast<SHORT>(Integer()));
        case 4:
            raw.vt = VT_I8, raw.llVal = static_cast<LONGLONG>(Word32()) << 32 | Word32();
            break;
        case 5:
            raw.vt = VT_UI1, raw.bVal = Byte();
            break;
        case 6:
            raw.vt = VT_UI2, raw.uiVal = static_cast<USHORT>(Integer());
            break;
        case 7:
            raw.vt = VT_UI4, raw.ulVal = static_cast<ULONG>(Integer());
            break;
        case 8:
            raw.vt = VT_UI8, raw.ullVal = static_cast<ULONGLONG>(Word32()) << 32 | Word32();
            break;
        case 9:
            raw.vt = VT_INT, raw.intVal = Integer();
            break;
        case 10:
            raw.vt = VT_UINT, raw.uintVal = static_cast<UINT>(Integer());
            break;
        case 11:
            raw.vt = VT_R4, raw.fltVal = static_cast<float>(Real());
            break;
        case 12:
            raw.vt = VT_ERROR, raw.scode = static_cast<SCODE>(Word32());
            break;
        case 13:
            raw.vt = VT_DISPATCH, raw.pdispVal = nullptr; // a host's Nothing
            break;
        case 14:
            raw.vt = VT_UNKNOWN, raw.punkVal = nullptr;
            break;
        case 15:
            raw.vt = VT_ARRAY | VT_VARIANT, raw.parray = nullptr;
            break;
        case 16:
        case 17:
        case 18:
            if (depth < 6)
                return Array(depth + 1);
            return Variant(Integer());
        case 19:
            return Variant(Text());
        default:
            return Plausible();
        }
        return Variant::TakeOver(raw);
    }

    // An array of 1 to 4 dimensions with any bounds and element type, and mostly a label to match.
    Variant Array(int depth) {
        static const VARTYPE types[] = {VT_VARIANT, VT_VARIANT, VT_VARIANT, VT_VARIANT, VT_I4,
                                        VT_BSTR,    VT_R8,      VT_UI1,     VT_I2,      VT_BOOL};
        static const LONG lowers[] = {0, 0, 0, 1, 1, -1, 2, -100000, 0x7FFFFFF0, -0x7FFFFFFF - 1};
        const VARTYPE type = types[Byte() % std::size(types)];
        // Now and then the label names other elements than the array holds, as a careless host's
        // marshalling may (chosen before the elements, which may use up the input).
        const VARTYPE label = Byte() < 224 ? type : types[Byte() % std::size(types)];
        const UINT dims = 1 + Byte() % 4;
        SAFEARRAYBOUND bounds[4];
        ULONG total = 1;
        for (UINT d = 0; d < dims; ++d) {
            const uint8_t size = Byte();
            bounds[d].cElements = size < 250 ? size % 5 : (dims == 1 ? 1000 * (size - 249) : 8);
            bounds[d].lLbound = lowers[Byte() % std::size(lowers)];
            total *= bounds[d].cElements;
        }
        if (total > FBudget)
            return Variant(Integer());
        FBudget -= total;
        SAFEARRAY* array = SafeArrayCreate(type, dims, bounds);
        if (!array)
            return Variant();
        void* data = nullptr;
        if (SafeArrayAccessData(array, &data) == S_OK) {
            for (ULONG i = 0; i < total; ++i) {
                switch (type) {
                case VT_VARIANT:
                    static_cast<VARIANT*>(data)[i] = Value(depth).Detach();
                    break;
                case VT_I4:
                    static_cast<LONG*>(data)[i] = Integer();
                    break;
                case VT_BSTR:
                    static_cast<BSTR*>(data)[i] = Byte() % 8 ? SysAllocString(Text().c_str()) : nullptr;
                    break;
                case VT_R8:
                    static_cast<double*>(data)[i] = Real();
                    break;
                case VT_UI1:
                    static_cast<BYTE*>(data)[i] = Byte();
                    break;
                case VT_I2:
                    static_cast<SHORT*>(data)[i] = static_cast<SHORT>(Integer());
                    break;
                default:
                    static_cast<VARIANT_BOOL*>(data)[i] = Byte() % 2 ? VARIANT_TRUE : VARIANT_FALSE;
                    break;
                }
            }
            SafeArrayUnaccessData(array);
        }
        return Variant::FromArray(array, label);
    }

    // One argument as a host may pass it.
    void AddArgument(THostArgs& args, const Variant& manager) {
        const uint8_t how = Byte();
        if (how < 120)
            args.AddValue(Value(0));
        else if (how < 170)
            args.AddChain(Value(0), 1 + Byte() % 18, Byte() == 0);
        else if (how < 230)
            args.AddTyped(Value(0), Byte() == 0);
        else if (how < 245)
            args.AddValue(manager);
        else
            args.AddTyped(manager, false);
    }

private:
    const uint8_t* FData;
    size_t FSize;
    size_t FPos = 0;
    ULONG FBudget = 20000; // array elements per input, so that one input stays fast
};

// The host's equipment manager: answers the device's data folder, nothing else.
class TEquipmentManager final : public IDispatch {
public:
    std::string DevicesFolder; // UTF-8, with a trailing delimiter

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
            *ppv = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // It lives as long as the process: references are not counted.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
        const bool known = WideToUtf8(names[0]) == "GetAppProperty";
        ids[0] = known ? 7 : DISPID_UNKNOWN;
        return known ? S_OK : DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        if (id != 7 || !params || params->cArgs != 3)
            return DISP_E_MEMBERNOTFOUND;
        VARIANT* args = params->rgvarg; // last first
        const bool folder = args[1].vt == VT_BSTR && WideToUtf8(args[1].bstrVal) == "DevicesFolder" &&
                            args[0].vt == (VT_BYREF | VT_BSTR);
        if (folder) {
            SysFreeString(*args[0].pbstrVal);
            *args[0].pbstrVal = SysAllocString(Utf8ToWide(DevicesFolder).c_str());
        }
        if (result) {
            result->vt = VT_BOOL;
            result->boolVal = folder ? VARIANT_TRUE : VARIANT_FALSE;
        }
        return S_OK;
    }
};

} // namespace fuzzhost
