// A test object on TBaseObject and a late-binding host in miniature, shared by the framework
// tests.
#pragma once

#include "framework/uBaseObject.h"
#include "framework/uEquipmentErrors.h"
#include "framework/uLocalClock.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fwtest {

// Blank entries 0..9 like the device layers, then raw methods and commands to drive.
class TTestObject : public TBaseObject {
public:
    static ComPtr<TTestObject> Create() { return CreateComObject<TTestObject>(); }

    void Initialize() override {
        TBaseObject::Initialize();
        FMethods.resize(10);
        AddMethod("Echo", &TTestObject::EchoMethod);       // 10
        AddMethod("Put", &TTestObject::PutMethod);         // 11
        AddMethod("Raise", &TTestObject::RaiseMethod);     // 12
        AddCommand("OpenCheck", &TTestObject::RecordCommand); // 13
        AddCommand("Enable", &TTestObject::EnableCommand);   // 14
        AddCommand("Disable", &TTestObject::DisableCommand); // 15
        AddCommand("OpenCheck", &TTestObject::RecordCommand); // 16: shadowed by 13
    }

    // What the handlers saw and will answer.
    int CommandCalls = 0;
    LONG SeenTimeout = 0;
    Variant SeenInData;
    LONG NextCode = 0;
    WString NextText;
    Variant NextOutData;
    bool ThrowInCommand = false;
    std::function<void()> DuringCommand; // runs inside the command, before it answers
    Variant PutValue;
    LONG PutIndex = 0;
    std::vector<Variant> RawSeen;
    int TraceStarts = 0;

    using TBaseObject::RememberedNameCount;
    void SetLogPath(const std::string& path) { FLogPath = path; }
    TMethodArray& MethodTable() { return FMethods; }

protected:
    void DoTraceStarted() override { ++TraceStarts; }

private:
    void EchoMethod(TMethodParams& Params, Variant& Result) {
        RawSeen.clear();
        for (LONG i = 0; i < Params.Count(); ++i)
            RawSeen.push_back(Variant::CopyOf(Params.Item(i)));
        Result = Variant::CopyOf(Params.Item(0));
    }
    void PutMethod(TMethodParams& Params, Variant& Result) {
        Params.Set(PutIndex, PutValue);
        Result = Variant(true);
    }
    void RaiseMethod(TMethodParams&, Variant&) { throw EInputError("broken \xD0\xBD"); }
    LONG RecordCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText) {
        ++CommandCalls;
        SeenInData = InData;
        SeenTimeout = Timeout;
        if (DuringCommand)
            DuringCommand();
        if (ThrowInCommand)
            throw EDriverError("\xD0\xA1\xD0\xB1\xD0\xBE\xD0\xB9"); // "Сбой"
        OutData = NextOutData;
        ErrorText = NextText;
        return NextCode;
    }
    LONG EnableCommand(const Variant&, Variant&, LONG, WString&) {
        SetTraceEnabled(true);
        return 0;
    }
    LONG DisableCommand(const Variant&, Variant&, LONG, WString&) {
        SetTraceEnabled(false);
        return 0;
    }
};

enum : DISPID { idEcho = 10, idPut = 11, idRaise = 12, idOpenCheck = 13, idEnable = 14, idDisable = 15 };

// A host's argument: by value (the raw VARIANT, not owned) or by reference to a variable.
inline VARIANT ByVal(const Variant& v) { return v.Raw(); }
inline VARIANT ByRef(Variant& variable) {
    VARIANT r;
    VariantInit(&r);
    r.vt = VT_BYREF | VT_VARIANT;
    r.pvarVal = variable.Get();
    return r;
}

// A host's variable of a given type, passed by reference (a compiled host's typed pointer).
inline VARIANT TypedRef(VARTYPE vt, void* p) {
    VARIANT v;
    VariantInit(&v);
    v.vt = static_cast<VARTYPE>(VT_BYREF | vt);
    v.byref = p;
    return v;
}

struct THostCall {
    HRESULT Hr = S_OK;
    Variant Result;
    EXCEPINFO Excep{};
    THostCall() = default;
    THostCall(const THostCall&) = delete;
    THostCall(THostCall&& o) noexcept : Hr(o.Hr), Result(std::move(o.Result)), Excep(o.Excep) { o.Excep = {}; }
    ~THostCall() {
        SysFreeString(Excep.bstrDescription);
        SysFreeString(Excep.bstrSource);
    }
    std::string Description() const {
        return Excep.bstrDescription ? WideToUtf8(Excep.bstrDescription) : std::string();
    }
    std::string Source() const { return Excep.bstrSource ? WideToUtf8(Excep.bstrSource) : std::string(); }
};

// Invokes like a late-binding host: arguments in call order, stored last first. The raw
// VARIANTs in args are updated with what the call left in the host's rgvarg.
inline THostCall Call(IDispatch* object, DISPID id, std::vector<VARIANT>& args, WORD flags = DISPATCH_METHOD) {
    std::vector<VARIANT> rgvarg(args.rbegin(), args.rend());
    DISPPARAMS dp{};
    dp.rgvarg = rgvarg.empty() ? nullptr : rgvarg.data();
    dp.cArgs = static_cast<UINT>(rgvarg.size());
    THostCall call;
    call.Hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &dp, call.Result.Get(), &call.Excep, nullptr);
    args.assign(rgvarg.rbegin(), rgvarg.rend());
    return call;
}
inline THostCall Call(IDispatch* object, DISPID id, std::vector<VARIANT>&& args, WORD flags = DISPATCH_METHOD) {
    return Call(object, id, args, flags);
}

// An object of the host's own, handed over inside InData as a script hands its objects: the
// runtime's conversions read its default property, which runs host code in the middle of a
// command (OnRead), then answers Value.
class THostObject final : public IDispatch {
public:
    std::function<void()> OnRead;
    Variant Value;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch))
            return E_NOINTERFACE;
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    // The test owns it: references are counted so that an imbalance shows, never deleting.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++References; }
    ULONG STDMETHODCALLTYPE Release() override { return --References; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                     UINT*) override {
        if (id != DISPID_VALUE || !result)
            return DISP_E_MEMBERNOTFOUND;
        ++Reads;
        if (OnRead)
            OnRead();
        return VariantCopy(result, Value.Get());
    }

    ULONG References = 1;
    int Reads = 0;
};

inline CY Cy(LONGLONG scaled) {
    CY c;
    c.int64 = scaled;
    return c;
}

inline std::string U8(const WString& w) { return WideToUtf8(w); }
inline WString W(std::string_view utf8) { return Utf8ToWide(utf8); }

// A clock the tests set by hand.
struct TFixedClock {
    static TLocalTime& Now() {
        static TLocalTime now{2026, 12, 7, 10, 20, 30, 45};
        return now;
    }
    static TLocalTime Read() { return Now(); }
    TLocalClock Previous;
    explicit TFixedClock(const TLocalTime& t) : Previous(SetLocalClock(&TFixedClock::Read)) { Now() = t; }
    ~TFixedClock() { SetLocalClock(Previous); }
};

// A fresh folder for log files, removed afterwards.
struct TTempFolder {
    std::filesystem::path Path;
    TTempFolder() {
        Path = std::filesystem::temp_directory_path() /
               ("orvel27-fw-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + "-" +
                std::to_string(++Counter()));
        std::filesystem::create_directories(Path);
    }
    ~TTempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
    std::string Ansi() const { return Path.string(); }
    static int& Counter() {
        static int n = 0;
        return n;
    }
};

inline std::string ReadFile(const std::string& name) {
    std::string text;
    if (std::FILE* f = std::fopen(name.c_str(), "rb")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            text.append(buf, n);
        std::fclose(f);
    }
    return text;
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

} // namespace fwtest
