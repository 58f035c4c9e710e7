// A command called the way a host calls it: the member looked up by name, then Invoke with
// (InData, var OutData, Timeout), the arguments stored last first.
#pragma once

#include "framework/uCommonUtils.h"

inline HRESULT CallCommand(IDispatch* dispatch, LPOLESTR name, const Variant& inData, Variant& outData,
                           Variant& result) {
    DISPID id = DISPID_UNKNOWN;
    dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    VARIANT args[3];
    VariantInit(&args[0]);
    args[0].vt = VT_I4;
    args[0].lVal = 0;
    VariantInit(&args[1]);
    args[1].vt = VT_BYREF | VT_VARIANT;
    args[1].pvarVal = outData.Get();
    args[2] = inData.Raw();
    DISPPARAMS dp{args, nullptr, 3, 0};
    result.Reset();
    return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &dp, result.Get(), nullptr, nullptr);
}
