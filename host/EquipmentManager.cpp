#include "EquipmentManager.h"

#include "Text.h"
#include "Values.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <new>

namespace host {

namespace {

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// A string argument as the driver may pass it: by value or by reference.
bool ReadString(const VARIANT& arg, std::string& out) {
    const VARIANT& v = Deref(arg);
    if (v.vt == VT_BSTR) {
        out = BstrToUtf8(v.bstrVal);
        return true;
    }
    if (v.vt == (VT_BYREF | VT_BSTR) && v.pbstrVal) {
        out = BstrToUtf8(*v.pbstrVal);
        return true;
    }
    return false;
}

// Stores the answer through the caller's reference: a typed string reference or a Variant one.
bool WriteString(VARIANT& arg, const std::string& value) {
    VARIANT& v = Deref(arg);
    if (v.vt == (VT_BYREF | VT_BSTR) && v.pbstrVal) {
        BSTR text = BStr::FromUtf8(value).Detach();
        if (!text)
            return false;
        SysFreeString(*v.pbstrVal);
        *v.pbstrVal = text;
        return true;
    }
    if (v.vt & VT_BYREF)
        return false;
    // Reached through VT_BYREF|VT_VARIANT: the caller's own Variant receives the string.
    if (&v == &arg)
        return false;
    BSTR text = BStr::FromUtf8(value).Detach();
    if (!text)
        return false;
    VariantClear(&v);
    v.vt = VT_BSTR;
    v.bstrVal = text;
    return true;
}

} // namespace

ManagerConfig DefaultManagerConfig(const std::string& workdir) {
    std::filesystem::path root = std::filesystem::absolute(PathFromUtf8(workdir)).lexically_normal();
    ManagerConfig config;
    config.properties["DevicesFolder"] = PathToUtf8(root / "devices");
    config.properties["ModelsFolder"] = PathToUtf8(root / "models");
    config.properties["Language"] = "ru";
    return config;
}

EquipmentManager::EquipmentManager(ManagerConfig config) : config_(std::move(config)) {}

HRESULT EquipmentManager::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG EquipmentManager::AddRef() {
    return ++refs_;
}

ULONG EquipmentManager::Release() {
    return --refs_;
}

HRESULT EquipmentManager::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT EquipmentManager::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT EquipmentManager::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids || count == 0)
        return E_POINTER;
    try {
        return FindNames(names, count, ids);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT EquipmentManager::FindNames(LPOLESTR* names, UINT count, DISPID* ids) {
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        const OLECHAR* name = names[i];
        std::string text = name ? WideToUtf8(WStringView(name)) : std::string();
        if (i == 0 && !config_.withoutGetAppProperty && SameName(text, "GetAppProperty")) {
            ids[i] = kGetAppProperty;
        } else {
            ids[i] = DISPID_UNKNOWN;
            hr = DISP_E_UNKNOWNNAME;
        }
    }
    return hr;
}

HRESULT EquipmentManager::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
    // Nothing thrown here may reach the driver.
    try {
        return InvokeUnguarded(id, riid, lcid, flags, params, result, excepInfo, argErr);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT EquipmentManager::InvokeUnguarded(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                          EXCEPINFO*, UINT* argErr) {
    if (id != kGetAppProperty || config_.withoutGetAppProperty)
        return DISP_E_MEMBERNOTFOUND;
    if (!(flags & DISPATCH_METHOD))
        return DISP_E_MEMBERNOTFOUND;
    if (!params || (params->cArgs > 0 && !params->rgvarg))
        return E_POINTER;
    if (params->cNamedArgs != 0)
        return DISP_E_NONAMEDARGS;
    if (params->cArgs != 3)
        return DISP_E_BADPARAMCOUNT;
    // Arguments arrive last first: rgvarg[2] is DeviceID, [1] the name, [0] the value variable.
    std::string deviceId, name;
    if (!ReadString(params->rgvarg[2], deviceId)) {
        if (argErr)
            *argErr = 2;
        return DISP_E_TYPEMISMATCH;
    }
    if (!ReadString(params->rgvarg[1], name)) {
        if (argErr)
            *argErr = 1;
        return DISP_E_TYPEMISMATCH;
    }
    std::string value;
    bool answer = false;
    if (!config_.answerFalse) {
        for (const auto& [key, text] : config_.properties) {
            if (SameName(key, name)) {
                value = text;
                answer = true;
                break;
            }
        }
    }
    if (answer && !WriteString(params->rgvarg[0], value)) {
        if (argErr)
            *argErr = 0;
        return DISP_E_TYPEMISMATCH;
    }
    if (onQuestion)
        onQuestion(deviceId, name, answer, value);
    if (result) {
        VariantClear(result);
        result->vt = VT_BOOL;
        result->boolVal = answer ? VARIANT_TRUE : VARIANT_FALSE;
    }
    return S_OK;
}

} // namespace host
