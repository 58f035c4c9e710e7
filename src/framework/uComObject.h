// Our COM object base: reference counting, identity and the interfaces every driver object
// answers (IUnknown, IDispatch, ISupportErrorInfo). IDispatch itself is left to TBaseObject.
#pragma once

#include "framework/uCommonUtils.h"

#include <atomic>

class TComObject : public IDispatch, public ISupportErrorInfo {
public:
    TComObject(const TComObject&) = delete;
    TComObject& operator=(const TComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

    // Second construction step, run once right after the constructor, where overridable
    // operations of derived classes already dispatch to the derived class.
    virtual void Initialize() {}

protected:
    TComObject() noexcept;
    virtual ~TComObject();

    // First destruction step, run once when the last reference goes and before any destructor,
    // so overridable operations of derived classes still dispatch to the derived class.
    virtual void BeforeDestruction() noexcept {}

private:
    std::atomic<ULONG> FRefCount{1};
};

// Number of live objects of this module, for DllCanUnloadNow.
LONG ComObjectCount() noexcept;

// Creates an object holding the caller's one reference and runs its Initialize.
template <class T, class... Args>
ComPtr<T> CreateComObject(Args&&... args) {
    ComPtr<T> object = ComPtr<T>::Attach(new T(std::forward<Args>(args)...));
    object->Initialize();
    return object;
}
