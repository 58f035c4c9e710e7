#include "FakeDriver.h"

#include <cstring>
#include <fstream>

namespace {

const char* const kNames[] = {"Init", "Open", "Close", "Enable", "Disable", "GetSettings", "SetSettings", "Fail", "Throw", "Print"};

// The VARIANT a by-reference argument points at (or the argument itself when passed by value).
VARIANT& Target(VARIANT& arg) {
    return arg.vt == (VT_BYREF | VT_VARIANT) ? *arg.pvarVal : arg;
}

void WriteText(VARIANT& arg, const std::string& utf8) {
    if (arg.vt == (VT_BYREF | VT_BSTR)) {
        SysFreeString(*arg.pbstrVal);
        *arg.pbstrVal = BStr::FromUtf8(utf8).Detach();
        return;
    }
    VARIANT& target = Target(arg);
    VariantClear(&target);
    target = Variant::FromUtf8(utf8).Detach();
}

} // namespace

FakeDriver::FakeDriver() {
    settingValues_[0] = Variant(false);
    settingValues_[1] = Variant(1);
}

HRESULT FakeDriver::QueryInterface(REFIID riid, void** object) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT FakeDriver::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT FakeDriver::GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) {
    std::string name = WideToUtf8(WStringView(names[0]));
    for (DISPID i = 0; i < static_cast<DISPID>(std::size(kNames)); ++i) {
        if (SameName(name, kNames[i])) {
            ids[0] = i;
            return S_OK;
        }
    }
    ids[0] = DISPID_UNKNOWN;
    return E_NOTIMPL;
}

std::string FakeDriver::AskManager(const std::string& property) {
    WString method = Utf8ToWide("GetAppProperty");
    LPOLESTR names[] = {method.data()};
    DISPID id = 0;
    CheckHResult(manager_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), "GetIDsOfNames");
    BStr value;
    VARIANT args[3];
    for (auto& a : args)
        VariantInit(&a);
    args[0].vt = VT_BYREF | VT_BSTR; // the value variable, last argument first
    args[0].pbstrVal = value.Receive();
    Variant name = Variant::FromUtf8(property), device = Variant::FromUtf8("1");
    args[1] = *name.Get();
    args[2] = *device.Get();
    DISPPARAMS params{args, nullptr, 3, 0};
    Variant result;
    CheckHResult(manager_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result.Get(), nullptr,
                                  nullptr),
                 "GetAppProperty");
    return result.AsBoolean() ? WideToUtf8(value.Text()) : std::string();
}

HRESULT FakeDriver::Command(const std::string& name, const VARIANT& in, VARIANT* out, bool& ok) {
    ok = true;
    if (name == "GetSettings") {
        VariantArray2D table(2, 2);
        for (LONG i = 0; i < 2; ++i) {
            table.Set(0, i, Variant::FromUtf8(settingNames_[i]));
            table.Set(1, i, settingValues_[i]);
        }
        *out = MakeVariantArray({table.Release()}).Detach();
    } else if (name == "SetSettings") {
        ArrayReader outer(in);
        Variant table = outer.Item(0);
        ArrayReader rows(table.Raw());
        for (LONG j = rows.Lower(2); j <= rows.Upper(2); ++j)
            for (int k = 0; k < 2; ++k)
                if (SameName(WideToUtf8(rows.Item(0, j).AsWide()), settingNames_[k]))
                    settingValues_[k] = rows.Item(1, j);
    } else if (name == "Print") {
        std::ofstream(paperFile, std::ios::app) << "printed\n";
    } else if (name == "Fail" || name == answersFalse) {
        ok = false;
        *out = MakeVariantArray({Variant(1004), Variant::FromUtf8("Ошибка входных параметров команды")}).Detach();
    }
    return S_OK;
}

HRESULT FakeDriver::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO* excepInfo, UINT*) {
    if (id < 0 || id >= static_cast<DISPID>(std::size(kNames)) || !(flags & DISPATCH_METHOD))
        return E_FAIL;
    const std::string name = kNames[id];
    calls.push_back(name);
    const UINT n = params->cArgs;
    auto arg = [&](UINT i) -> VARIANT& { return params->rgvarg[n - 1 - i]; };
    Variant answer(true);
    if (name == "Init") {
        manager_ = ComPtr<IDispatch>(Target(arg(0)).vt == VT_DISPATCH ? Target(arg(0)).pdispVal : nullptr);
        answer = Variant(bool(manager_) && answersFalse != name);
        if (n > 1)
            WriteText(arg(1), manager_ ? "Нет ошибок" : "Ошибка входных параметров команды");
    } else if (name == "Open") {
        devicesFolder = AskManager("DevicesFolder");
        if (n > 1)
            WriteText(arg(1), "Нет ошибок");
    } else if (name == "Close") {
        manager_.Reset();
    } else if (name == "Throw") {
        std::memset(excepInfo, 0, sizeof *excepInfo);
        excepInfo->scode = 1001;
        excepInfo->bstrSource = BStr::FromUtf8("EDriverError").Detach();
        excepInfo->bstrDescription = BStr::FromUtf8("Менеджер оборудования недоступен").Detach();
        return DISP_E_EXCEPTION;
    } else {
        if (n < 3)
            return E_INVALIDARG;
        lastTimeoutType = Target(arg(2)).vt;
        if (!IsOrdinalType(lastTimeoutType))
            return E_INVALIDARG;
        VARIANT& out = Target(arg(1));
        VariantClear(&out);
        bool ok = true;
        Command(name, Target(arg(0)), &out, ok);
        answer = Variant(ok);
    }
    if (result)
        *result = answer.Detach();
    return S_OK;
}
