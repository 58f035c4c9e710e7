// SAFEARRAY. The descriptor is preceded by sixteen bytes where the element type lives (the four
// bytes just before it), as in the Windows runtime; code that inspects fFeatures and rgsabound
// sees the same values as there.
#include <cstdlib>
#include <cstring>
#include <limits>

#include "OleAutoInternal.h"

using namespace platform::oleaut;

namespace {

constexpr size_t kPrefix = 16;
// Set on arrays from SafeArrayCreateVector: descriptor and data are one block.
constexpr USHORT kCreateVector = 0x2000;
// Arrays whose storage the caller provides: never freed here.
constexpr USHORT kCallerStorage = FADF_AUTO | FADF_STATIC | FADF_EMBEDDED;
constexpr ULONG kMaxLocks = 0xFFFF;

size_t DescriptorSize(UINT dims) { return sizeof(SAFEARRAY) + (dims - 1) * sizeof(SAFEARRAYBOUND); }

void* BlockOf(SAFEARRAY* psa) { return reinterpret_cast<char*>(psa) - kPrefix; }

VARTYPE& StoredType(SAFEARRAY* psa) { return *reinterpret_cast<VARTYPE*>(reinterpret_cast<char*>(psa) - sizeof(DWORD)); }

USHORT FeaturesOf(VARTYPE vt) {
    switch (vt) {
    case VT_BSTR:
        return FADF_HAVEVARTYPE | FADF_BSTR;
    case VT_UNKNOWN:
        return FADF_HAVEVARTYPE | FADF_UNKNOWN;
    case VT_DISPATCH:
        return FADF_HAVEVARTYPE | FADF_DISPATCH;
    case VT_VARIANT:
        return FADF_HAVEVARTYPE | FADF_VARIANT;
    default:
        return FADF_HAVEVARTYPE;
    }
}

// Total element count, or false when it does not fit the address space.
bool CountElements(const SAFEARRAY* psa, size_t& count) {
    count = 1;
    for (USHORT d = 0; d < psa->cDims; ++d) {
        const ULONG n = psa->rgsabound[d].cElements;
        if (n != 0 && count > std::numeric_limits<size_t>::max() / n)
            return false;
        count *= n;
    }
    return count <= std::numeric_limits<size_t>::max() / (psa->cbElements ? psa->cbElements : 1);
}

size_t DataSize(const SAFEARRAY* psa) {
    size_t count = 0;
    CountElements(psa, count);
    return count * psa->cbElements;
}

// A descriptor with room for the element type in front of it; bounds in caller order.
SAFEARRAY* AllocateDescriptor(UINT dims, size_t extra) {
    void* block = std::calloc(1, kPrefix + DescriptorSize(dims) + extra);
    if (!block)
        return nullptr;
    auto* psa = reinterpret_cast<SAFEARRAY*>(static_cast<char*>(block) + kPrefix);
    psa->cDims = static_cast<USHORT>(dims);
    return psa;
}

// Releases what the elements own, leaving zeroed storage behind.
HRESULT ClearElements(SAFEARRAY* psa) {
    if (!psa->pvData)
        return S_OK;
    size_t count = 0;
    CountElements(psa, count);
    HRESULT result = S_OK;
    if (psa->fFeatures & FADF_VARIANT) {
        auto* items = static_cast<VARIANT*>(psa->pvData);
        for (size_t i = 0; i < count; ++i) {
            HRESULT hr = VariantClear(&items[i]);
            if (FAILED(hr))
                result = hr;
        }
    } else if (psa->fFeatures & FADF_BSTR) {
        auto* items = static_cast<BSTR*>(psa->pvData);
        for (size_t i = 0; i < count; ++i)
            SysFreeString(items[i]);
    } else if (psa->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
        auto* items = static_cast<IUnknown**>(psa->pvData);
        for (size_t i = 0; i < count; ++i)
            if (items[i])
                items[i]->Release();
    }
    std::memset(psa->pvData, 0, DataSize(psa));
    return result;
}

// Offset of an element in elements; indices are first dimension first.
HRESULT CellOf(SAFEARRAY* psa, const LONG* indices, size_t& cell) {
    cell = 0;
    size_t stride = 1;
    for (USHORT d = 0; d < psa->cDims; ++d) {
        const SAFEARRAYBOUND& bound = psa->rgsabound[psa->cDims - 1 - d];
        const long long offset = static_cast<long long>(indices[d]) - bound.lLbound;
        if (offset < 0 || offset >= static_cast<long long>(bound.cElements))
            return DISP_E_BADINDEX;
        cell += static_cast<size_t>(offset) * stride;
        stride *= bound.cElements;
    }
    return S_OK;
}

// The bounds of dimension nDim, counted from 1 in caller order.
HRESULT BoundOf(SAFEARRAY* psa, UINT nDim, const LONG* result, const SAFEARRAYBOUND*& bound) {
    if (!psa || !result)
        return E_INVALIDARG;
    if (nDim < 1 || nDim > psa->cDims)
        return DISP_E_BADINDEX;
    bound = &psa->rgsabound[psa->cDims - nDim];
    return S_OK;
}

HRESULT CopyElements(SAFEARRAY* from, SAFEARRAY* to) {
    size_t count = 0;
    CountElements(from, count);
    if (from->fFeatures & FADF_VARIANT) {
        auto* source = static_cast<VARIANT*>(from->pvData);
        auto* target = static_cast<VARIANT*>(to->pvData);
        for (size_t i = 0; i < count; ++i) {
            HRESULT hr = VariantCopy(&target[i], &source[i]);
            if (FAILED(hr))
                return hr;
        }
    } else if (from->fFeatures & FADF_BSTR) {
        auto* source = static_cast<BSTR*>(from->pvData);
        auto* target = static_cast<BSTR*>(to->pvData);
        for (size_t i = 0; i < count; ++i) {
            if (!source[i])
                continue;
            target[i] = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(source[i]), SysStringByteLen(source[i]));
            if (!target[i])
                return E_OUTOFMEMORY;
        }
    } else {
        std::memcpy(to->pvData, from->pvData, DataSize(from));
        if (from->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
            auto* items = static_cast<IUnknown**>(to->pvData);
            for (size_t i = 0; i < count; ++i)
                if (items[i])
                    items[i]->AddRef();
        }
    }
    return S_OK;
}

} // namespace

extern "C" {

PLATFORM_API SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* rgsabound) {
    const ULONG size = ElementSize(vt);
    if (cDims == 0 || cDims > 0xFFFF || !rgsabound || size == 0)
        return nullptr;
    SAFEARRAY* psa = AllocateDescriptor(cDims, 0);
    if (!psa)
        return nullptr;
    psa->fFeatures = FeaturesOf(vt);
    psa->cbElements = size;
    StoredType(psa) = vt;
    for (UINT d = 0; d < cDims; ++d)
        psa->rgsabound[cDims - 1 - d] = rgsabound[d];
    size_t count = 0;
    if (!CountElements(psa, count) || !(psa->pvData = std::calloc(count ? count : 1, size))) {
        std::free(BlockOf(psa));
        return nullptr;
    }
    return psa;
}

PLATFORM_API SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements) {
    const ULONG size = ElementSize(vt);
    if (size == 0 || cElements > (std::numeric_limits<size_t>::max() - 64) / size)
        return nullptr;
    // The data follows the descriptor, aligned for any element type.
    const size_t header = (DescriptorSize(1) + 15) / 16 * 16;
    SAFEARRAY* psa = AllocateDescriptor(1, header - DescriptorSize(1) + size_t{cElements} * size);
    if (!psa)
        return nullptr;
    psa->fFeatures = FeaturesOf(vt) | kCreateVector;
    psa->cbElements = size;
    psa->rgsabound[0] = SAFEARRAYBOUND{cElements, lLbound};
    psa->pvData = reinterpret_cast<char*>(psa) + header;
    StoredType(psa) = vt;
    return psa;
}

PLATFORM_API HRESULT SafeArrayDestroyData(SAFEARRAY* psa) {
    if (!psa)
        return E_INVALIDARG;
    if (psa->cLocks)
        return DISP_E_ARRAYISLOCKED;
    HRESULT hr = ClearElements(psa);
    if (!(psa->fFeatures & (kCallerStorage | kCreateVector))) {
        std::free(psa->pvData);
        psa->pvData = nullptr;
    }
    return hr;
}

PLATFORM_API HRESULT SafeArrayDestroy(SAFEARRAY* psa) {
    if (!psa)
        return S_OK;
    if (psa->cLocks)
        return DISP_E_ARRAYISLOCKED;
    HRESULT hr = SafeArrayDestroyData(psa);
    if (!(psa->fFeatures & kCallerStorage))
        std::free(BlockOf(psa));
    return hr;
}

PLATFORM_API UINT SafeArrayGetDim(SAFEARRAY* psa) { return psa ? psa->cDims : 0; }

PLATFORM_API UINT SafeArrayGetElemsize(SAFEARRAY* psa) { return psa ? psa->cbElements : 0; }

PLATFORM_API HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound) {
    const SAFEARRAYBOUND* bound = nullptr;
    HRESULT hr = BoundOf(psa, nDim, plLbound, bound);
    if (SUCCEEDED(hr))
        *plLbound = bound->lLbound;
    return hr;
}

PLATFORM_API HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound) {
    const SAFEARRAYBOUND* bound = nullptr;
    HRESULT hr = BoundOf(psa, nDim, plUbound, bound);
    if (SUCCEEDED(hr))
        *plUbound = static_cast<LONG>(static_cast<long long>(bound->lLbound) + bound->cElements - 1);
    return hr;
}

PLATFORM_API HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* pvt) {
    if (!psa || !pvt)
        return E_INVALIDARG;
    if (psa->fFeatures & FADF_HAVEVARTYPE)
        *pvt = StoredType(psa);
    else if (psa->fFeatures & FADF_BSTR)
        *pvt = VT_BSTR;
    else if (psa->fFeatures & FADF_UNKNOWN)
        *pvt = VT_UNKNOWN;
    else if (psa->fFeatures & FADF_DISPATCH)
        *pvt = VT_DISPATCH;
    else if (psa->fFeatures & FADF_VARIANT)
        *pvt = VT_VARIANT;
    else
        return E_INVALIDARG;
    return S_OK;
}

PLATFORM_API HRESULT SafeArrayLock(SAFEARRAY* psa) {
    if (!psa)
        return E_INVALIDARG;
    if (psa->cLocks >= kMaxLocks)
        return E_UNEXPECTED;
    ++psa->cLocks;
    return S_OK;
}

PLATFORM_API HRESULT SafeArrayUnlock(SAFEARRAY* psa) {
    if (!psa)
        return E_INVALIDARG;
    if (psa->cLocks == 0)
        return E_UNEXPECTED;
    --psa->cLocks;
    return S_OK;
}

PLATFORM_API HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData) {
    if (!psa || !ppvData)
        return E_INVALIDARG;
    HRESULT hr = SafeArrayLock(psa);
    *ppvData = SUCCEEDED(hr) ? psa->pvData : nullptr;
    return hr;
}

PLATFORM_API HRESULT SafeArrayUnaccessData(SAFEARRAY* psa) { return SafeArrayUnlock(psa); }

PLATFORM_API HRESULT SafeArrayPtrOfIndex(SAFEARRAY* psa, LONG* rgIndices, void** ppvData) {
    if (!psa || !rgIndices || !ppvData || !psa->pvData)
        return E_INVALIDARG;
    size_t cell = 0;
    HRESULT hr = CellOf(psa, rgIndices, cell);
    if (FAILED(hr))
        return hr;
    *ppvData = static_cast<char*>(psa->pvData) + cell * psa->cbElements;
    return S_OK;
}

PLATFORM_API HRESULT SafeArrayGetElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
    if (!pv)
        return E_INVALIDARG;
    void* cell = nullptr;
    HRESULT hr = SafeArrayPtrOfIndex(psa, rgIndices, &cell);
    if (FAILED(hr))
        return hr;
    hr = SafeArrayLock(psa);
    if (FAILED(hr))
        return hr;
    // The caller's buffer is uninitialised storage: nothing in it is released.
    if (psa->fFeatures & FADF_VARIANT) {
        auto* target = static_cast<VARIANT*>(pv);
        target->vt = VT_EMPTY;
        hr = VariantCopy(target, static_cast<VARIANT*>(cell));
    } else if (psa->fFeatures & FADF_BSTR) {
        BSTR source = *static_cast<BSTR*>(cell);
        BSTR copy = source ? SysAllocStringByteLen(reinterpret_cast<LPCSTR>(source), SysStringByteLen(source)) : nullptr;
        if (source && !copy)
            hr = E_OUTOFMEMORY;
        else
            *static_cast<BSTR*>(pv) = copy;
    } else {
        std::memcpy(pv, cell, psa->cbElements);
        if (psa->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH))
            if (IUnknown* item = *static_cast<IUnknown**>(cell))
                item->AddRef();
    }
    SafeArrayUnlock(psa);
    return hr;
}

PLATFORM_API HRESULT SafeArrayPutElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
    void* cell = nullptr;
    HRESULT hr = SafeArrayPtrOfIndex(psa, rgIndices, &cell);
    if (FAILED(hr))
        return hr;
    // Strings and interfaces are passed as the pointer itself, everything else by address.
    const bool byValue = psa->fFeatures & (FADF_BSTR | FADF_UNKNOWN | FADF_DISPATCH);
    if (!pv && !byValue)
        return E_INVALIDARG;
    hr = SafeArrayLock(psa);
    if (FAILED(hr))
        return hr;
    if (psa->fFeatures & FADF_VARIANT) {
        hr = VariantCopy(static_cast<VARIANT*>(cell), static_cast<VARIANT*>(pv));
    } else if (psa->fFeatures & FADF_BSTR) {
        BSTR source = static_cast<BSTR>(pv);
        BSTR copy = source ? SysAllocStringByteLen(reinterpret_cast<LPCSTR>(source), SysStringByteLen(source)) : nullptr;
        if (source && !copy) {
            hr = E_OUTOFMEMORY;
        } else {
            SysFreeString(*static_cast<BSTR*>(cell));
            *static_cast<BSTR*>(cell) = copy;
        }
    } else if (psa->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
        auto* item = static_cast<IUnknown*>(pv);
        if (item)
            item->AddRef();
        if (IUnknown* old = *static_cast<IUnknown**>(cell))
            old->Release();
        *static_cast<IUnknown**>(cell) = item;
    } else {
        std::memcpy(cell, pv, psa->cbElements);
    }
    SafeArrayUnlock(psa);
    return hr;
}

PLATFORM_API HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut) {
    if (!ppsaOut)
        return E_INVALIDARG;
    *ppsaOut = nullptr;
    if (!psa)
        return S_OK;
    SAFEARRAY* copy = AllocateDescriptor(psa->cDims, 0);
    if (!copy)
        return E_OUTOFMEMORY;
    if (psa->fFeatures & FADF_HAVEIID)
        std::memcpy(BlockOf(copy), BlockOf(psa), kPrefix);
    else if (psa->fFeatures & FADF_HAVEVARTYPE)
        StoredType(copy) = StoredType(psa);
    std::memcpy(copy->rgsabound, psa->rgsabound, psa->cDims * sizeof(SAFEARRAYBOUND));
    copy->fFeatures = psa->fFeatures & ~(kCallerStorage | FADF_FIXEDSIZE | kCreateVector);
    copy->cbElements = psa->cbElements;
    HRESULT hr = S_OK;
    if (psa->pvData) {
        size_t count = 0;
        CountElements(psa, count);
        copy->pvData = std::calloc(count ? count : 1, psa->cbElements ? psa->cbElements : 1);
        hr = copy->pvData ? CopyElements(psa, copy) : E_OUTOFMEMORY;
    }
    if (FAILED(hr)) {
        SafeArrayDestroy(copy);
        return hr;
    }
    *ppsaOut = copy;
    return S_OK;
}

} // extern "C"
