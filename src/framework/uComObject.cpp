#include "framework/uComObject.h"

namespace {
std::atomic<LONG> LiveObjects{0};
} // namespace

LONG ComObjectCount() noexcept { return LiveObjects.load(); }

TComObject::TComObject() noexcept { ++LiveObjects; }

TComObject::~TComObject() { --LiveObjects; }

HRESULT STDMETHODCALLTYPE TComObject::QueryInterface(REFIID riid, void** ppvObject) {
    if (!ppvObject)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
        *ppvObject = static_cast<IDispatch*>(this);
    } else if (IsEqualIID(riid, IID_ISupportErrorInfo)) {
        *ppvObject = static_cast<ISupportErrorInfo*>(this);
    } else {
        *ppvObject = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE TComObject::AddRef() { return ++FRefCount; }

ULONG STDMETHODCALLTYPE TComObject::Release() {
    ULONG count = --FRefCount;
    if (count == 0) {
        // Held at one while the last step runs: a reference taken and dropped there must not
        // delete the object a second time.
        FRefCount = 1;
        BeforeDestruction();
        delete this;
    }
    return count;
}

HRESULT STDMETHODCALLTYPE TComObject::InterfaceSupportsErrorInfo(REFIID riid) {
    return (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) ? S_OK : S_FALSE;
}
