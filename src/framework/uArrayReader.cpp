#include "framework/uArrayReader.h"

#include "framework/uDriverExceptions.h"
#include "framework/uSafeArray.h"

namespace {

// Whether an array without a type of its own may hold elements of the label's type: the system
// gives such elements the array's element size and nothing they own (no strings, interfaces,
// VARIANTs or records).
bool PlainElementsFit(VARTYPE label, const SAFEARRAY* array) {
    constexpr USHORT owning = FADF_BSTR | FADF_UNKNOWN | FADF_DISPATCH | FADF_VARIANT | FADF_RECORD | FADF_HAVEIID;
    const SafeArray probe(SafeArrayCreateVector(label, 0, 0));
    return probe.Get() && !(probe.Get()->fFeatures & owning) && probe.Get()->cbElements == array->cbElements;
}

// The 32-bit integers have two names each.
VARTYPE Canonical(VARTYPE vt) noexcept {
    if (vt == VT_INT)
        return VT_I4;
    if (vt == VT_UINT)
        return VT_UI4;
    return vt;
}

// The type of the elements the array holds, whatever the VARIANT around it says: the host's label
// is only a claim, and an element copied into a slot of the label's size (or a string pointer
// read from an integer) is memory the driver does not own. An array made with a type knows it; one
// built by hand from a descriptor tells by its features whether its elements own something; a
// plain one without either is taken at the label's word when the label's size is its element
// size. A label that contradicts the array is the host's wrong input.
VARTYPE OwnElementType(SAFEARRAY* array, VARTYPE label) {
    VARTYPE own = VT_EMPTY;
    if (FAILED(SafeArrayGetVartype(array, &own))) {
        if (array->fFeatures & FADF_VARIANT)
            own = VT_VARIANT;
        else if (array->fFeatures & FADF_BSTR)
            own = VT_BSTR;
        else if (array->fFeatures & FADF_DISPATCH)
            own = VT_DISPATCH;
        else if (array->fFeatures & FADF_UNKNOWN)
            own = VT_UNKNOWN;
        else if (PlainElementsFit(label, array))
            own = label;
        else
            throw EInputError();
    }
    if (Canonical(own) != Canonical(label))
        throw EInputError();
    return own;
}

} // namespace

bool ArrayReader::IsArray(const VARIANT& value) noexcept {
    if (!(value.vt & VT_ARRAY))
        return false;
    return (value.vt & VT_BYREF) ? (value.pparray && *value.pparray) : value.parray != nullptr;
}

ArrayReader::ArrayReader(const VARIANT& value) {
    if (!IsArray(value))
        throw EInputError();
    FArray = (value.vt & VT_BYREF) ? *value.pparray : value.parray;
    FElementType = OwnElementType(FArray, static_cast<VARTYPE>(value.vt & VT_TYPEMASK));
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

std::int64_t ArrayReader::Count(UINT dim) const {
    Lower(dim); // a dimension the array does not have throws
    // The descriptor keeps its bounds last dimension first.
    return FArray->rgsabound[FArray->cDims - dim].cElements;
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
