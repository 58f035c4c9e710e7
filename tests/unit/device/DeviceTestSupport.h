// A device on TBaseDevice that records what the base asks of it, and a host's equipment manager
// in miniature, shared by the device tests.
#pragma once

#include "device/uBaseDevice.h"
#include "framework/FrameworkTestSupport.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace devtest {

using fwtest::ByRef;
using fwtest::ByVal;
using fwtest::Call;
using fwtest::Lines;
using fwtest::ReadFile;
using fwtest::TFixedClock;
using fwtest::THostCall;
using fwtest::THostObject;
using fwtest::TTempFolder;
using fwtest::TypedRef;
using fwtest::U8;
using fwtest::W;

enum : DISPID {
    idInit = 10,
    idOpen,
    idClose,
    idShowSettingsDlg,
    idGetDeviceInfo,
    idEnable,
    idDisable,
    idGetSettings,
    idSetSettings,
    idCheckHealth,
};

using TJournal = std::shared_ptr<std::vector<std::string>>;

// Every overridable operation notes its name in a journal that outlives the object; codes and
// texts of the Do operations are set by the test.
class TTestDevice : public TBaseDevice {
public:
    explicit TTestDevice(TJournal journal = std::make_shared<std::vector<std::string>>()) : Journal(std::move(journal)) {}
    static ComPtr<TTestDevice> Create(TJournal journal = std::make_shared<std::vector<std::string>>()) {
        return CreateComObject<TTestDevice>(std::move(journal));
    }

    TJournal Journal;
    LONG EnableCode = 0, DisableCode = 0, InitCode = 0, OpenCode = 0, HealthCode = 0;
    WString EnableText, OpenText, InitText, HealthText;
    bool DialogAnswer = false;

    TDeviceInfoStruct& Info() { return FDeviceInfo; }
    const std::vector<HWND>& WindowStack() const { return FWindowStack; }
    const TShortSettingArray& ParamBackup() const { return FParamBackup; }
    const Variant& EquipmentManager() const { return FEquipmentManager; }
    const std::string& LogPath() const { return FLogPath; }
    void SetDeviceID(const std::string& id) { FDeviceID = id; }
    void SetDeviceFolder(const std::string& folder) { FDeviceFolder = folder; }

protected:
    void Note(const std::string& what) { Journal->push_back(what); }

    void RegisterParams() override {
        TBaseDevice::RegisterParams();
        Note("RegisterParams");
    }
    void RegisterMethods() override {
        TBaseDevice::RegisterMethods();
        AddMethod("Extra", &TTestDevice::ExtraMethod);
        Note("RegisterMethods");
    }
    void SettingsApplied() override { Note("SettingsApplied"); }
    void FillDeviceInfo() override {
        FDeviceInfo.DriverID = W("DRIVER-ID");
        Note("FillDeviceInfo");
    }
    LONG DoEnable(WString& Text) override {
        // Lets the tests see whether tracing was already on and where the log points.
        WriteLog("DoEnable", "");
        Note("DoEnable");
        Text = EnableText;
        return EnableCode;
    }
    LONG DoDisable(WString&) override {
        WriteLog("DoDisable", "");
        Note("DoDisable");
        return DisableCode;
    }
    LONG DoCheckHealth(WString& Text) override {
        Note("DoCheckHealth");
        Text = HealthText;
        return HealthCode;
    }
    bool DoShowSettingsDlg() override {
        Note("DoShowSettingsDlg");
        return DialogAnswer;
    }
    void AfterInitialize() override { Note("AfterInitialize"); }
    void BeforeDestroy() override { Note("BeforeDestroy"); }
    LONG DoInit(WString& Text) override {
        Note("DoInit");
        Text = InitText;
        return InitCode;
    }
    LONG DoOpen(WString& Text) override {
        Note("DoOpen " + FDeviceID);
        Text = OpenText;
        return OpenCode;
    }
    void AfterClose() override { Note("AfterClose"); }
    void DoClose() override { Note("DoClose"); }

private:
    void ExtraMethod(TMethodParams&, Variant& Result) { Result = Variant(true); }
};

// The host's equipment manager: GetAppProperty(DeviceID, Name, var Value) -> Boolean by name,
// answering from a table. It lives on the test's stack; references are only counted.
class TFakeEquipmentManager final : public IDispatch {
public:
    std::map<std::string, std::string> Answers; // property name -> value, UTF-8
    bool Valid = true;             // the Boolean the call answers
    bool HasGetAppProperty = true; // a host object without the method
    std::string RaiseText;         // not empty: the call fails with this description

    struct TQuestion {
        std::string DeviceID;
        std::string Name;
        VARTYPE ValueType;
    };
    std::vector<TQuestion> Questions;

    ULONG References() const { return FRefs; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefs; }
    ULONG STDMETHODCALLTYPE Release() override { return --FRefs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
        if (HasGetAppProperty && WideToUtf8(names[0]) == "GetAppProperty") {
            ids[0] = 7;
            return S_OK;
        }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* excep, UINT*) override {
        if (id != 7 || params->cArgs != 3)
            return DISP_E_MEMBERNOTFOUND;
        VARIANT* args = params->rgvarg; // last first
        Questions.push_back({args[2].vt == VT_BSTR ? WideToUtf8(args[2].bstrVal) : "<not a string>",
                             args[1].vt == VT_BSTR ? WideToUtf8(args[1].bstrVal) : "<not a string>", args[0].vt});
        if (!RaiseText.empty()) {
            excep->scode = 1;
            excep->bstrDescription = SysAllocString(Utf8ToWide(RaiseText).c_str());
            return DISP_E_EXCEPTION;
        }
        auto answer = Answers.find(Questions.back().Name);
        if (answer != Answers.end() && args[0].vt == (VT_BYREF | VT_BSTR)) {
            SysFreeString(*args[0].pbstrVal);
            *args[0].pbstrVal = SysAllocString(Utf8ToWide(answer->second).c_str());
        }
        result->vt = VT_BOOL;
        result->boolVal = Valid && answer != Answers.end() ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }

private:
    ULONG FRefs = 1;
};

// The host's side of the base commands.
struct TCommandAnswer {
    HRESULT Hr = S_OK;
    bool Ok = false;
    Variant OutData;
    LONG Code() const { return ArrayReader(OutData.Raw()).Item(0).AsInteger(); }
    std::string Text() const { return WideToUtf8(ArrayReader(OutData.Raw()).Item(1).AsWide()); }
};

inline TCommandAnswer Command(IDispatch* device, DISPID id, const Variant& inData = Variant()) {
    TCommandAnswer answer;
    std::vector<VARIANT> args{ByVal(inData), ByRef(answer.OutData), ByVal(Variant(0))};
    THostCall call = Call(device, id, args);
    answer.Hr = call.Hr;
    answer.Ok = call.Result.Type() == VT_BOOL && call.Result.AsBoolean();
    return answer;
}

// A raw method with an argument and an out-text, as Init and Open are called.
struct TRawAnswer {
    HRESULT Hr = S_OK;
    Variant Result;
    Variant ErrorText;
    SCODE Scode = 0;
    std::string Description; // of a failed call
    bool Ok() const { return Hr == S_OK && Result.Type() == VT_BOOL && Result.AsBoolean(); }
    std::string Text() const { return WideToUtf8(ErrorText.AsWide()); }
};

inline TRawAnswer Raw(IDispatch* device, DISPID id, const Variant& argument) {
    TRawAnswer answer;
    std::vector<VARIANT> args{ByVal(argument), ByRef(answer.ErrorText)};
    THostCall call = Call(device, id, args);
    answer.Hr = call.Hr;
    answer.Result = call.Result;
    answer.Scode = call.Excep.scode;
    answer.Description = call.Description();
    return answer;
}

inline TRawAnswer Init(IDispatch* device, IDispatch* manager) {
    return Raw(device, idInit, Variant::FromDispatch(manager));
}
inline TRawAnswer Open(IDispatch* device, std::string_view idUtf8) { return Raw(device, idOpen, Variant(W(idUtf8))); }

inline std::string Delimited(std::initializer_list<std::string> parts) {
    std::string path;
    for (const std::string& p : parts)
        path += p + platform::PathDelimiter();
    return path;
}

} // namespace devtest
