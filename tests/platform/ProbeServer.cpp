// The probe server: one class, created through its class factory. It serves whatever CLSID it is
// asked for, because the tests register it under a fresh CLSID on every run, so that runs at the
// same time never share registry keys.
#include "ProbeServer.h"

#include <atomic>
#include <new>

namespace {

std::atomic<LONG> liveObjects{0};
std::atomic<LONG> serverLocks{0};

class Probe final : public IOrvelProbe {
public:
    Probe() { ++liveObjects; }
    ~Probe() { --liveObjects; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOrvelProbe)) {
            *ppv = static_cast<IOrvelProbe*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = --references_;
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE Add(LONG a, LONG b, LONG* sum) override {
        if (!sum)
            return E_POINTER;
        *sum = a + b;
        return S_OK;
    }
    LONG STDMETHODCALLTYPE LiveObjects() override { return liveObjects.load(); }

private:
    std::atomic<LONG> references_{1};
};

class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++serverLocks); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--serverLocks); }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        Probe* probe = new (std::nothrow) Probe;
        if (!probe)
            return E_OUTOFMEMORY;
        HRESULT hr = probe->QueryInterface(riid, ppv);
        probe->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        serverLocks += lock ? 1 : -1;
        return S_OK;
    }
};

Factory factory;

} // namespace

STDAPI DllGetClassObject(REFCLSID, REFIID riid, LPVOID* ppv) { return factory.QueryInterface(riid, ppv); }

STDAPI DllCanUnloadNow() { return liveObjects == 0 && serverLocks == 0 ? S_OK : S_FALSE; }
