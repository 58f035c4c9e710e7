// Helpers for the automation tests: an owned VARIANT, BSTRs from UTF-16 literals, a conversion
// shortcut and COM objects that count their references.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace platform_test {

inline BSTR MakeBstr(std::u16string_view text) {
    return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
}

inline std::u16string TextOf(BSTR text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
}

// A VARIANT cleared on destruction.
struct Var {
    VARIANT v;
    Var() { VariantInit(&v); }
    Var(const Var&) = delete;
    Var& operator=(const Var&) = delete;
    ~Var() { VariantClear(&v); }
};

inline void SetText(Var& var, std::u16string_view text) {
    VariantClear(&var.v);
    var.v.vt = VT_BSTR;
    var.v.bstrVal = MakeBstr(text);
}

inline void SetR8(Var& var, double value) {
    VariantClear(&var.v);
    var.v.vt = VT_R8;
    var.v.dblVal = value;
}

inline HRESULT Convert(Var& out, VARIANT& in, VARTYPE vt, LCID lcid = LOCALE_USER_DEFAULT, USHORT flags = 0) {
    return VariantChangeTypeEx(&out.v, &in, lcid, flags, vt);
}

// An automation object whose default property (DISPID_VALUE) answers with a fixed value.
class ValueObject : public IDispatch {
public:
    LONG references = 1;
    int propertyReads = 0;
    VARIANT value;

    ValueObject() { VariantInit(&value); }
    ~ValueObject() { VariantClear(&value); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        if (member != DISPID_VALUE || !(flags & DISPATCH_PROPERTYGET) || !params || params->cArgs != 0 || !result)
            return DISP_E_MEMBERNOTFOUND;
        ++propertyReads;
        return VariantCopy(result, &value);
    }
};

// An object that is not an automation object.
class PlainObject : public IUnknown {
public:
    LONG references = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, IID_IUnknown)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
};

} // namespace platform_test
