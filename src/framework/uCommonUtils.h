// Owners for the automation resources (VARIANT, BSTR, SAFEARRAY, interface pointers), the text
// conversions between UTF-8, UTF-16 and the ANSI code page, and the exceptions used inside the
// driver. Every layer above the platform builds on these.
#pragma once

#include "platform/Platform.h"

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Text. Three encodings meet in the driver and each function names the one it takes:
//   UTF-8   std::string holding the literals of our sources;
//   UTF-16  WString, the contents of a BSTR;
//   ANSI    std::string in the system's ANSI code page (short names, the log, the printer).

using WString = std::basic_string<WCHAR>;
using WStringView = std::basic_string_view<WCHAR>;

WString Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(WStringView wide);
WString AnsiToWide(std::string_view ansi);
std::string WideToAnsi(WStringView wide);
std::string Utf8ToAnsi(std::string_view utf8);
std::string AnsiToUtf8(std::string_view ansi);

// Short strings (member and parameter names, captions) keep at most this many characters.
inline constexpr std::size_t ShortStringMax = 255;
std::string ToShortString(std::string_view ansi);

// Case-insensitive equality over the full length of both names in the ANSI code page, the one
// comparison every name lookup of the driver uses.
bool SameName(std::string_view a, std::string_view b);

// The same comparison of one name against many (a table lookup). The name must outlive it.
class TNameMatcher {
public:
    explicit TNameMatcher(std::string_view name);
    bool Matches(std::string_view other) const;

private:
    std::string_view FName;
    bool FPlain = true;
};

// ---------------------------------------------------------------------------------------------
// Exceptions inside the driver. Messages are UTF-8 (what()); the class name is what a host sees
// as the source of a failed call.

class EDriverError : public std::runtime_error {
public:
    explicit EDriverError(const std::string& messageUtf8) : std::runtime_error(messageUtf8) {}
    virtual const char* ClassName() const noexcept { return "EDriverError"; }
};

// Input that does not have the shape a command or the dispatch road expects.
class EInputError : public EDriverError {
public:
    EInputError();
    explicit EInputError(const std::string& messageUtf8) : EDriverError(messageUtf8) {}
    const char* ClassName() const noexcept override { return "EInputError"; }
};

// A failed automation call (VariantCopy, SafeArrayCreate, ...), keeping its HRESULT.
class EComError : public EDriverError {
public:
    EComError(HRESULT hr, const char* what);
    HRESULT Code() const noexcept { return FCode; }
    const char* ClassName() const noexcept override { return "EComError"; }

private:
    HRESULT FCode;
};

// A value that cannot be converted to the type asked for.
class EConversionError : public EDriverError {
public:
    EConversionError(HRESULT hr, VARTYPE from, VARTYPE to);
    HRESULT Code() const noexcept { return FCode; }
    const char* ClassName() const noexcept override { return "EConversionError"; }

private:
    HRESULT FCode;
};

// Throws EComError when hr is a failure.
void CheckHResult(HRESULT hr, const char* what);

// Class name and UTF-8 message of whatever was thrown; call only from inside a catch block.
struct TCaughtError {
    std::string ClassName;
    std::string Message;
};
TCaughtError DescribeCurrentException() noexcept;

// ---------------------------------------------------------------------------------------------
// BSTR owner.

class BStr {
public:
    BStr() noexcept = default;
    explicit BStr(WStringView text);
    static BStr FromUtf8(std::string_view utf8) { return BStr(Utf8ToWide(utf8)); }
    static BStr FromAnsi(std::string_view ansi) { return BStr(AnsiToWide(ansi)); }
    BStr(const BStr&) = delete;
    BStr& operator=(const BStr&) = delete;
    BStr(BStr&& other) noexcept : FStr(std::exchange(other.FStr, nullptr)) {}
    BStr& operator=(BStr&& other) noexcept;
    ~BStr() { Reset(); }

    BSTR Get() const noexcept { return FStr; }
    UINT Length() const noexcept { return FStr ? SysStringLen(FStr) : 0; }
    WString Text() const { return FStr ? WString(FStr, Length()) : WString(); }
    void Reset() noexcept;
    BSTR Detach() noexcept { return std::exchange(FStr, nullptr); }
    BSTR* Receive() noexcept;

private:
    BSTR FStr = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Interface pointer owner.

template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes a new reference.
    explicit ComPtr(T* p) noexcept : FPtr(p) {
        if (FPtr)
            FPtr->AddRef();
    }
    // Adopts a reference the caller already owns.
    static ComPtr Attach(T* p) noexcept {
        ComPtr r;
        r.FPtr = p;
        return r;
    }
    ComPtr(const ComPtr& other) noexcept : ComPtr(other.FPtr) {}
    ComPtr(ComPtr&& other) noexcept : FPtr(std::exchange(other.FPtr, nullptr)) {}
    template <class U>
    ComPtr(ComPtr<U>&& other) noexcept : FPtr(other.Detach()) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(FPtr, other.FPtr);
        return *this;
    }
    ~ComPtr() { Reset(); }

    T* Get() const noexcept { return FPtr; }
    T* operator->() const noexcept { return FPtr; }
    explicit operator bool() const noexcept { return FPtr != nullptr; }
    void Reset() noexcept {
        if (T* p = std::exchange(FPtr, nullptr))
            p->Release();
    }
    T* Detach() noexcept { return std::exchange(FPtr, nullptr); }
    T** Receive() noexcept {
        Reset();
        return &FPtr;
    }
    template <class U>
    ComPtr<U> As(REFIID iid) const noexcept {
        ComPtr<U> r;
        if (FPtr)
            FPtr->QueryInterface(iid, reinterpret_cast<void**>(r.Receive()));
        return r;
    }

private:
    T* FPtr = nullptr;
};

// ---------------------------------------------------------------------------------------------
// VARIANT value type. It contains the raw VARIANT and nothing else, so a Variant can stand where
// the API expects a VARIANT (Get(), Raw()) and arrays of raw VARIANTs can be adopted.

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

// The VARTYPE groups the driver's input rules speak of.
bool IsOrdinalType(VARTYPE vt) noexcept; // integers, Boolean, byte
bool IsNumericType(VARTYPE vt) noexcept; // ordinals and single, double, currency
bool IsStringType(VARTYPE vt) noexcept;

// ---------------------------------------------------------------------------------------------
// SAFEARRAY owner and Variant array builders and readers.

class SafeArray {
public:
    SafeArray() noexcept = default;
    explicit SafeArray(SAFEARRAY* adopt) noexcept : FArray(adopt) {}
    SafeArray(const SafeArray&) = delete;
    SafeArray& operator=(const SafeArray&) = delete;
    SafeArray(SafeArray&& other) noexcept : FArray(std::exchange(other.FArray, nullptr)) {}
    SafeArray& operator=(SafeArray&& other) noexcept;
    ~SafeArray() { Reset(); }

    // One-dimensional Variant array [0..count-1].
    static SafeArray CreateVector(LONG count);
    // Two-dimensional Variant array [0..count1-1, 0..count2-1].
    static SafeArray Create2D(LONG count1, LONG count2);

    SAFEARRAY* Get() const noexcept { return FArray; }
    void Reset() noexcept;
    SAFEARRAY* Detach() noexcept { return std::exchange(FArray, nullptr); }
    SAFEARRAY** Receive() noexcept {
        Reset();
        return &FArray;
    }

private:
    SAFEARRAY* FArray = nullptr;
};

// One-dimensional Variant array with lower bound 0 holding the given items.
Variant MakeVariantArray(std::initializer_list<Variant> items);
Variant MakeVariantArray(std::vector<Variant>&& items);

// Fills a two-dimensional Variant array [0..count1-1, 0..count2-1] element by element.
class VariantArray2D {
public:
    VariantArray2D(LONG count1, LONG count2);
    void Set(LONG i, LONG j, Variant value);
    Variant Release();

private:
    SafeArray FArray;
};

// Reads a Variant holding an array of any element type and dimension count. The view does not
// own the array; the Variant must outlive it.
class ArrayReader {
public:
    // Throws EInputError when the value is not an array.
    explicit ArrayReader(const VARIANT& value);
    static bool IsArray(const VARIANT& value) noexcept;

    UINT Dims() const noexcept;
    LONG Lower(UINT dim = 1) const;
    LONG Upper(UINT dim = 1) const;
    LONG Count(UINT dim = 1) const { return Upper(dim) - Lower(dim) + 1; }
    VARTYPE ElementType() const noexcept { return FElementType; }

    // A copy of the element, references resolved; one index per dimension, in dimension order
    // (first index = dimension 1). Another number of indices than the array has dimensions:
    // EInputError, for the runtime would read the missing ones from past the caller's list.
    // Index out of bounds: EComError.
    Variant Item(LONG i) const;
    Variant Item(LONG i, LONG j) const;
    Variant ItemAt(const LONG* indices, UINT count) const;

private:
    SAFEARRAY* FArray;
    VARTYPE FElementType;
};
