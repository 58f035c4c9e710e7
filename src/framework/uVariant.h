// Variant owns one VARIANT and whatever it holds (string, object, array): it clears it when it
// goes. It contains the raw VARIANT and nothing else, so a Variant can stand where the API
// expects a VARIANT (Get(), Raw()) and arrays of raw VARIANTs can be adopted. Copies are deep
// (VariantCopy); Detach() and TakeOver() pass a value on without one.
#pragma once

#include "framework/uTextConversion.h"

class Variant {
public:
    // Emptying a VARIANT is setting its type (all VariantInit does); done here without the call.
    Variant() noexcept : FValue{} {}
    Variant(const Variant& other);
    Variant(Variant&& other) noexcept : FValue(other.FValue) { other.FValue.vt = VT_EMPTY; }
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&& other) noexcept;
    ~Variant() { Reset(); }

    Variant(int value) noexcept : Variant() { SetI4(value); }
    Variant(long value) noexcept : Variant() { SetI4(static_cast<LONG>(value)); }
    Variant(double value) noexcept : Variant() {
        FValue.vt = VT_R8;
        FValue.dblVal = value;
    }
    Variant(bool value) noexcept : Variant() {
        FValue.vt = VT_BOOL;
        FValue.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    }
    Variant(WStringView text);
    Variant(const WString& text) : Variant(WStringView(text)) {}
    // A narrow string has no known encoding: say which with FromUtf8 or FromAnsi.
    Variant(const char*) = delete;
    Variant(const void*) = delete;

    // Deep copy of a raw VARIANT (VariantCopy; references stay references).
    static Variant CopyOf(const VARIANT& raw);
    // Copy with every reference resolved (VariantCopyInd).
    static Variant CopyIndOf(const VARIANT& raw);
    // Takes over a raw VARIANT bitwise and leaves the source Empty; no copy, no allocation.
    static Variant TakeOver(VARIANT& raw) noexcept;

    static Variant FromUtf8(std::string_view utf8) { return Variant(Utf8ToWide(utf8)); }
    static Variant FromAnsi(std::string_view ansi) { return Variant(AnsiToWide(ansi)); }
    static Variant FromI2(SHORT value) noexcept;
    static Variant FromCurrency(CY value) noexcept;
    static Variant FromDate(DATE value) noexcept;
    static Variant FromDispatch(IDispatch* value) noexcept; // takes a new reference
    static Variant FromArray(SAFEARRAY* array, VARTYPE elementType = VT_VARIANT) noexcept; // adopts
    static Variant Null() noexcept;

    VARTYPE Type() const noexcept { return FValue.vt; }
    bool IsEmpty() const noexcept { return FValue.vt == VT_EMPTY; }
    bool IsNull() const noexcept { return FValue.vt == VT_NULL; }
    bool IsArray() const noexcept { return (FValue.vt & VT_ARRAY) != 0; }

    const VARIANT& Raw() const noexcept { return FValue; }
    VARIANT* Get() noexcept { return &FValue; }
    const VARIANT* Get() const noexcept { return &FValue; }

    // A value that holds nothing to free is cleared here, without the call: most are numbers.
    void Reset() noexcept {
        if (HoldsNothingToFree(FValue.vt))
            FValue.vt = VT_EMPTY;
        else
            VariantClear(&FValue);
    }
    VARIANT Detach() noexcept;
    VARIANT* Receive() noexcept {
        Reset();
        return &FValue;
    }

    // Standard automation conversions (VariantChangeType, Booleans as True/False in text);
    // EConversionError on failure.
    static Variant Converted(const VARIANT& value, VARTYPE type);
    Variant ChangeType(VARTYPE type) const { return Converted(FValue, type); }
    LONG AsInteger() const;
    double AsDouble() const;
    bool AsBoolean() const;
    DATE AsDate() const;
    CY AsCurrency() const;
    WString AsWide() const;
    std::string AsAnsi() const;

    // A value of this type owns nothing (no string, object, array or reference): its bits are
    // the value, and copying or dropping them is all there is to it.
    static constexpr bool HoldsNothingToFree(VARTYPE vt) noexcept {
        switch (vt) {
        case VT_EMPTY: case VT_NULL: case VT_I1: case VT_I2: case VT_I4: case VT_I8: case VT_INT:
        case VT_UI1: case VT_UI2: case VT_UI4: case VT_UI8: case VT_UINT: case VT_R4: case VT_R8:
        case VT_CY: case VT_DATE: case VT_BOOL: case VT_ERROR:
            return true;
        default:
            return false;
        }
    }

private:
    void SetI4(LONG value) noexcept {
        FValue.vt = VT_I4;
        FValue.lVal = value;
    }
    VARIANT FValue;
};
static_assert(sizeof(Variant) == sizeof(VARIANT), "a Variant must be exactly a VARIANT");
