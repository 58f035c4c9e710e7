// A command called the way a host calls it: the member looked up by name, then Invoke with
// (InData, var OutData, Timeout), the arguments stored last first. The two steps are also
// callable apart, so a benchmark can tell which of them the time goes to.
#pragma once

#include "framework/uCommonUtils.h"

inline DISPID LookUpCommand(IDispatch* dispatch, LPOLESTR name) {
    DISPID id = DISPID_UNKNOWN;
    dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

// InData by value, or (byReference) as a script host passes its variable: a reference to it.
inline HRESULT InvokeCommand(IDispatch* dispatch, DISPID id, const Variant& inData, Variant& outData,
                             Variant& result, bool byReference = false) {
    VARIANT args[3];
    VariantInit(&args[0]);
    args[0].vt = VT_I4;
    args[0].lVal = 0;
    VariantInit(&args[1]);
    args[1].vt = VT_BYREF | VT_VARIANT;
    args[1].pvarVal = outData.Get();
    if (byReference) {
        VariantInit(&args[2]);
        args[2].vt = VT_BYREF | VT_VARIANT;
        args[2].pvarVal = const_cast<VARIANT*>(inData.Get());
    } else {
        args[2] = inData.Raw();
    }
    DISPPARAMS dp{args, nullptr, 3, 0};
    result.Reset();
    return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &dp, result.Get(), nullptr, nullptr);
}

inline HRESULT CallCommand(IDispatch* dispatch, LPOLESTR name, const Variant& inData, Variant& outData,
                           Variant& result, bool byReference = false) {
    return InvokeCommand(dispatch, LookUpCommand(dispatch, name), inData, outData, result, byReference);
}
