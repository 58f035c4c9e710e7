#include "framework/uArrayReader.h"

#include "framework/uDriverExceptions.h"

bool ArrayReader::IsArray(const VARIANT& value) noexcept {
    if (!(value.vt & VT_ARRAY))
        return false;
    return (value.vt & VT_BYREF) ? (value.pparray && *value.pparray) : value.parray != nullptr;
}

ArrayReader::ArrayReader(const VARIANT& value) {
    if (!IsArray(value))
        throw EInputError();
    FArray = (value.vt & VT_BYREF) ? *value.pparray : value.parray;
    FElementType = static_cast<VARTYPE>(value.vt & VT_TYPEMASK);
}

UINT ArrayReader::Dims() const noexcept { return SafeArrayGetDim(FArray); }

LONG ArrayReader::Lower(UINT dim) const {
    LONG b = 0;
    CheckHResult(SafeArrayGetLBound(FArray, dim, &b), "SafeArrayGetLBound");
    return b;
}

LONG ArrayReader::Upper(UINT dim) const {
    LONG b = 0;
    CheckHResult(SafeArrayGetUBound(FArray, dim, &b), "SafeArrayGetUBound");
    return b;
}

Variant ArrayReader::Item(LONG i) const { return ItemAt(&i, 1); }

Variant ArrayReader::Item(LONG i, LONG j) const {
    LONG indices[2] = {i, j};
    return ItemAt(indices, 2);
}

Variant ArrayReader::ItemAt(const LONG* indices, UINT count) const {
    if (count != Dims())
        throw EInputError();
    LONG* idx = const_cast<LONG*>(indices);
    Variant r;
    if (FElementType == VT_VARIANT) {
        CheckHResult(SafeArrayGetElement(FArray, idx, r.Get()), "SafeArrayGetElement");
        if (r.Type() & VT_BYREF)
            return Variant::CopyIndOf(r.Raw());
        return r;
    }
    switch (FElementType) {
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_I8:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_BOOL:
    case VT_ERROR:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN: {
        // The element lands in the value part of the VARIANT; strings and interfaces arrive
        // as copies owned by r from here on.
        VARIANT* raw = r.Get();
        CheckHResult(SafeArrayGetElement(FArray, idx, &raw->llVal), "SafeArrayGetElement");
        raw->vt = FElementType;
        return r;
    }
    default:
        return r;
    }
}
