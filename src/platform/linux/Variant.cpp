// VARIANT ownership: a variant owns its string, interface and array; a by-reference variant owns
// nothing and copies of it share the referenced storage.
#include <cstring>

#include "OleAutoInternal.h"

namespace platform::oleaut {

bool IsVariantBaseType(VARTYPE base) {
    return base <= VT_DECIMAL || (base >= VT_I1 && base <= VT_UINT);
}

ULONG ElementSize(VARTYPE vt) {
    switch (vt) {
    case VT_I1:
    case VT_UI1:
        return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
        return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_ERROR:
        return 4;
    case VT_I8:
    case VT_UI8:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
        return 8;
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
        return sizeof(void*);
    case VT_DECIMAL:
        return sizeof(DECIMAL);
    case VT_VARIANT:
        return sizeof(VARIANT);
    default:
        return 0;
    }
}

} // namespace platform::oleaut

using namespace platform::oleaut;

namespace {

HRESULT ValidateType(VARTYPE vt) {
    if (vt & (VT_VECTOR | VT_RESERVED))
        return DISP_E_BADVARTYPE;
    return IsVariantBaseType(vt & VT_TYPEMASK) ? S_OK : DISP_E_BADVARTYPE;
}

BSTR CopyString(BSTR text) {
    return SysAllocStringByteLen(reinterpret_cast<LPCSTR>(text), SysStringByteLen(text));
}

} // namespace

extern "C" {

PLATFORM_API void VariantInit(VARIANTARG* pvarg) {
    if (pvarg)
        pvarg->vt = VT_EMPTY;
}

PLATFORM_API HRESULT VariantClear(VARIANTARG* pvarg) {
    if (!pvarg)
        return E_INVALIDARG;
    HRESULT hr = ValidateType(pvarg->vt);
    if (FAILED(hr))
        return hr;
    if (!(pvarg->vt & VT_BYREF)) {
        if (pvarg->vt & VT_ARRAY)
            hr = SafeArrayDestroy(pvarg->parray);
        else if (pvarg->vt == VT_BSTR)
            SysFreeString(pvarg->bstrVal);
        else if ((pvarg->vt == VT_DISPATCH || pvarg->vt == VT_UNKNOWN) && pvarg->punkVal)
            pvarg->punkVal->Release();
    }
    pvarg->vt = VT_EMPTY;
    return hr;
}

PLATFORM_API HRESULT VariantCopy(VARIANTARG* pvargDest, VARIANTARG* pvargSrc) {
    if (!pvargDest || !pvargSrc)
        return E_INVALIDARG;
    if (pvargDest == pvargSrc)
        return S_OK;
    HRESULT hr = ValidateType(pvargSrc->vt);
    if (FAILED(hr))
        return hr;
    hr = VariantClear(pvargDest);
    if (FAILED(hr))
        return hr;
    VARIANT copy = *pvargSrc;
    if (!(copy.vt & VT_BYREF)) {
        if (copy.vt & VT_ARRAY) {
            hr = SafeArrayCopy(pvargSrc->parray, &copy.parray);
        } else if (copy.vt == VT_BSTR) {
            copy.bstrVal = CopyString(pvargSrc->bstrVal);
            if (!copy.bstrVal)
                hr = E_OUTOFMEMORY;
        } else if ((copy.vt == VT_DISPATCH || copy.vt == VT_UNKNOWN) && copy.punkVal) {
            copy.punkVal->AddRef();
        }
    }
    if (FAILED(hr))
        return hr;
    *pvargDest = copy;
    return S_OK;
}

PLATFORM_API HRESULT VariantCopyInd(VARIANT* pvarDest, VARIANTARG* pvargSrc) {
    if (!pvarDest || !pvargSrc)
        return E_INVALIDARG;
    if (!(pvargSrc->vt & VT_BYREF))
        return VariantCopy(pvarDest, pvargSrc);

    const VARTYPE base = pvargSrc->vt & VT_TYPEMASK;
    if ((pvargSrc->vt & (VT_VECTOR | VT_RESERVED)) || !IsVariantBaseType(base) || base == VT_EMPTY ||
        base == VT_NULL || !pvargSrc->byref)
        return E_INVALIDARG;

    // The source may be the destination itself: work from a copy of the reference.
    VARIANT source = *pvargSrc;
    if (pvarDest == pvargSrc) {
        pvarDest->vt = VT_EMPTY;
    } else {
        HRESULT hr = VariantClear(pvarDest);
        if (FAILED(hr))
            return hr;
    }

    VARIANT copy;
    copy.vt = source.vt & ~VT_BYREF;
    HRESULT hr = S_OK;
    if (source.vt & VT_ARRAY) {
        hr = SafeArrayCopy(*source.pparray, &copy.parray);
    } else {
        switch (base) {
        case VT_VARIANT:
            // One level of reference is followed here; a reference to a reference is refused.
            if (source.pvarVal->vt == (VT_BYREF | VT_VARIANT))
                return E_INVALIDARG;
            return VariantCopyInd(pvarDest, source.pvarVal);
        case VT_BSTR:
            copy.bstrVal = CopyString(*source.pbstrVal);
            if (!copy.bstrVal)
                hr = E_OUTOFMEMORY;
            break;
        case VT_DISPATCH:
        case VT_UNKNOWN:
            copy.punkVal = *source.ppunkVal;
            if (copy.punkVal)
                copy.punkVal->AddRef();
            break;
        case VT_DECIMAL:
            copy.decVal = *source.pdecVal;
            copy.vt = VT_DECIMAL;
            break;
        default:
            std::memcpy(&copy.llVal, source.byref, ElementSize(base));
            break;
        }
    }
    if (FAILED(hr))
        return hr;
    *pvarDest = copy;
    return S_OK;
}

} // extern "C"
