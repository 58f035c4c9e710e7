#include "framework/uBaseObject.h"

#include "framework/uDebugLog.h"
#include "framework/uEquipmentErrors.h"
#include "framework/uEventTexts.h"
#include "framework/uLogText.h"

#include <cstdio>

namespace {

// Hosts pass variables as references to Variants; a chain longer than this is not a host's
// doing, and following it further could run forever on a cycle.
constexpr int MaxReferenceDepth = 16;

// The VARIANT at the end of a VT_BYREF | VT_VARIANT chain; hops counts the links followed.
VARIANT* FollowReferences(VARIANT* v, int* hops = nullptr) {
    int n = 0;
    while (v->vt == (VT_BYREF | VT_VARIANT)) {
        if (!v->pvarVal || ++n > MaxReferenceDepth)
            throw EInputError();
        v = v->pvarVal;
    }
    if (hops)
        *hops = n;
    return v;
}

std::string GuidText() {
    GUID guid;
    CheckHResult(CoCreateGuid(&guid), "CoCreateGuid");
    OLECHAR text[40] = {};
    StringFromGUID2(guid, text, 40);
    return WideToAnsi(text);
}

LONG OrdinalAsLong(const VARIANT& v) {
    switch (v.vt) {
    case VT_I1:
        return v.cVal;
    case VT_I2:
        return v.iVal;
    case VT_I4:
        return v.lVal;
    case VT_INT:
        return v.intVal;
    case VT_UI1:
        return v.bVal;
    case VT_UI2:
        return v.uiVal;
    case VT_UI4:
        return static_cast<LONG>(v.ulVal);
    case VT_UINT:
        return static_cast<LONG>(v.uintVal);
    case VT_I8:
        return static_cast<LONG>(v.llVal);
    case VT_UI8:
        return static_cast<LONG>(v.ullVal);
    case VT_BOOL:
        return v.boolVal;
    default:
        return 0;
    }
}

// An array of fixed size, or one the host has locked, is not ours to replace.
bool IsReplaceableArray(const SAFEARRAY* array) noexcept {
    constexpr USHORT fixed = FADF_AUTO | FADF_STATIC | FADF_EMBEDDED | FADF_FIXEDSIZE;
    return !array || (array->cLocks == 0 && !(array->fFeatures & fixed));
}

// Replaces the host's array variable (VT_BYREF | VT_ARRAY | type) with a copy of an array of
// the same type, what a compiled host passes for a dynamic array variable.
void StoreArray(VARIANT& target, const VARIANT& source) {
    if ((source.vt & ~VT_BYREF) != (target.vt & ~VT_BYREF))
        throw EInputError();
    SAFEARRAY* from = (source.vt & VT_BYREF) ? (source.pparray ? *source.pparray : nullptr) : source.parray;
    SAFEARRAY* old = *target.pparray;
    if (!IsReplaceableArray(old))
        throw EInputError();
    SafeArray copy;
    if (from)
        CheckHResult(SafeArrayCopy(from, copy.Receive()), "SafeArrayCopy");
    if (old)
        CheckHResult(SafeArrayDestroy(old), "SafeArrayDestroy");
    *target.pparray = copy.Detach();
}

// The types StoreThroughReference stores through a typed reference; any other is an input error.
bool IsStoredThroughReference(VARTYPE base) noexcept {
    switch (base) {
    case VT_I1: case VT_I2: case VT_I4: case VT_I8: case VT_INT: case VT_UI1: case VT_UI2: case VT_UI4:
    case VT_UI8: case VT_UINT: case VT_R4: case VT_R8: case VT_DATE: case VT_CY: case VT_BOOL: case VT_BSTR:
    case VT_DISPATCH:
        return true;
    default:
        return false;
    }
}

// Stores a value through a typed reference the host passed (VT_BYREF | base type).
void StoreThroughReference(VARIANT& target, const VARIANT& source) {
    if (!target.byref)
        throw EInputError();
    if (target.vt & VT_ARRAY) {
        StoreArray(target, source);
        return;
    }
    switch (target.vt & ~VT_BYREF) {
    case VT_I1:
        *target.pcVal = Variant::Converted(source, VT_I1).Raw().cVal;
        break;
    case VT_I8:
        *target.pllVal = Variant::Converted(source, VT_I8).Raw().llVal;
        break;
    case VT_UI8:
        *target.pullVal = Variant::Converted(source, VT_UI8).Raw().ullVal;
        break;
    case VT_INT:
        *target.pintVal = Variant::Converted(source, VT_I4).Raw().lVal;
        break;
    case VT_UINT:
        *target.puintVal = Variant::Converted(source, VT_UI4).Raw().ulVal;
        break;
    case VT_I2:
        *target.piVal = Variant::Converted(source, VT_I2).Raw().iVal;
        break;
    case VT_UI2:
        *target.puiVal = Variant::Converted(source, VT_UI2).Raw().uiVal;
        break;
    case VT_I4:
        *target.plVal = Variant::Converted(source, VT_I4).Raw().lVal;
        break;
    case VT_UI4:
        *target.pulVal = Variant::Converted(source, VT_UI4).Raw().ulVal;
        break;
    case VT_R4:
        *target.pfltVal = Variant::Converted(source, VT_R4).Raw().fltVal;
        break;
    case VT_R8:
        *target.pdblVal = Variant::Converted(source, VT_R8).Raw().dblVal;
        break;
    case VT_DATE:
        *target.pdate = Variant::Converted(source, VT_R8).Raw().dblVal;
        break;
    case VT_CY:
        *target.pcyVal = Variant::Converted(source, VT_CY).Raw().cyVal;
        break;
    case VT_BOOL:
        *target.pboolVal = Variant::Converted(source, VT_BOOL).Raw().boolVal ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case VT_UI1:
        *target.pbVal = Variant::Converted(source, VT_UI1).Raw().bVal;
        break;
    case VT_BSTR: {
        Variant s = Variant::Converted(source, VT_BSTR);
        SysFreeString(*target.pbstrVal);
        *target.pbstrVal = s.Detach().bstrVal;
        break;
    }
    case VT_DISPATCH: {
        Variant d = Variant::Converted(source, VT_DISPATCH);
        if (*target.ppdispVal)
            (*target.ppdispVal)->Release();
        *target.ppdispVal = d.Detach().pdispVal;
        break;
    }
    default:
        throw EInputError();
    }
}

// An array in a VARIANT of its own (not behind a typed reference), locked here for a loan.
bool IsLendableArray(const VARIANT& value) noexcept {
    return (value.vt & VT_ARRAY) && !(value.vt & VT_BYREF) && value.parray && SUCCEEDED(SafeArrayLock(value.parray));
}

// Throws EInputError when the host's OutData can take no answer of a command (an array, or
// Empty): a typed reference with a null pointer, of a type nothing is stored through, or to an
// array of other elements or one not ours to replace; a variable of the host's (reached through
// a reference) that holds an array someone else has locked (the InData lent to this call is the
// host's own to receive the answer in). Found out only after the command, the document would be
// printed and its numbers dropped.
void CheckAnswerTarget(const VARIANT& target, bool hostVariable, const SAFEARRAY* lent) {
    if (target.vt & VT_BYREF) {
        if (!target.byref)
            throw EInputError();
        if (target.vt & VT_ARRAY) {
            if ((target.vt & VT_TYPEMASK) != VT_VARIANT || !IsReplaceableArray(*target.pparray))
                throw EInputError();
        } else if (!IsStoredThroughReference(static_cast<VARTYPE>(target.vt & ~VT_BYREF))) {
            throw EInputError();
        }
    } else if (hostVariable && (target.vt & VT_ARRAY) && target.parray &&
               target.parray->cLocks > (target.parray == lent ? 1u : 0u)) {
        throw EInputError();
    }
}

// Copies argument i back to the host.
void WriteBackOne(DISPPARAMS& dp, TMethodParams& params, LONG i) {
    const LONG n = static_cast<LONG>(dp.cArgs);
    int hops = 0;
    VARIANT* target = FollowReferences(&dp.rgvarg[n - 1 - i], &hops);
    VARIANT* element = &params.Data()[i];
    VARIANT* source = FollowReferences(element);
    if (target->vt & VT_BYREF) {
        StoreThroughReference(*target, *source);
    } else if (hops > 0) {
        // The host's own variable: it receives the whole value, arrays included.
        if (source == element) {
            VariantClear(target);
            *target = *element;
            VariantInit(element);
        } else {
            CheckHResult(VariantCopy(target, source), "VariantCopy");
        }
    }
    // An argument passed by value belongs to the host and is left alone: rewriting it
    // would free a value the host may still use, and the host never looks at it anyway.
}

// An argument that could not be written back, and why.
struct TSkippedArgument {
    LONG Index;
    TCaughtError Error;
};

// Copies the call's arguments from First on back to the host (step after a successful call). An
// argument that cannot be stored throws, unless Skipped is given: then the host's variable is left
// as it was and the argument is noted there.
void WriteBack(DISPPARAMS& dp, TMethodParams& params, LONG First, std::vector<TSkippedArgument>* Skipped) {
    const LONG n = static_cast<LONG>(dp.cArgs);
    for (LONG i = First; i < n && i < params.Count(); ++i) {
        try {
            WriteBackOne(dp, params, i);
        } catch (...) {
            if (!Skipped)
                throw;
            Skipped->push_back({i, DescribeCurrentException()});
        }
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TMethodParams

TMethodParams::TMethodParams(SAFEARRAY* array) : FArray(array) {
    if (!FArray)
        return;
    void* data = nullptr;
    CheckHResult(SafeArrayAccessData(FArray, &data), "SafeArrayAccessData");
    FData = static_cast<VARIANT*>(data);
    // The bounds are read from the descriptor: this runs on every call.
    FCount = FArray->cDims == 1 ? static_cast<LONG>(FArray->rgsabound[0].cElements) : 0;
}

TMethodParams::~TMethodParams() {
    if (FData)
        SafeArrayUnaccessData(FArray);
}

const VARIANT& TMethodParams::Item(LONG i) const noexcept {
    static const VARIANT empty = [] {
        VARIANT v;
        VariantInit(&v);
        return v;
    }();
    return Has(i) ? FData[i] : empty;
}

bool TMethodParams::Set(LONG i, Variant value) {
    if (!Has(i))
        return false;
    VariantClear(&FData[i]);
    FData[i] = value.Detach();
    return true;
}

// ---------------------------------------------------------------------------------------------
// TBaseObject: table and dispatch

void TBaseObject::Initialize() {
    TComObject::Initialize();
    FInstanceID = GuidText();
}

void TBaseObject::AddMethod(std::string_view Name, TRawMethodHandler Handler, TBaseObject* Target) {
    TMethodStruct m;
    m.Name = ToShortString(Name);
    m.Kind = mkRawMethod;
    m.RawHandler = Handler;
    m.Target = Target;
    FMethods.push_back(std::move(m));
}

void TBaseObject::AddCommand(std::string_view Name, TCommandHandler Handler, TBaseObject* Target) {
    TMethodStruct m;
    m.Name = ToShortString(Name);
    m.Kind = mkCommand;
    m.CommandHandler = Handler;
    m.Target = Target;
    FMethods.push_back(std::move(m));
}

HRESULT STDMETHODCALLTYPE TBaseObject::GetTypeInfoCount(UINT* pctinfo) {
    if (!pctinfo)
        return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBaseObject::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE TBaseObject::GetIDsOfNames(REFIID, LPOLESTR* rgszNames, UINT cNames, LCID,
                                                     DISPID* rgDispId) {
    if (!rgszNames || !rgDispId)
        return E_POINTER;
    if (cNames == 0)
        return E_INVALIDARG;
    try {
        // Only the first name counts; the rest (named arguments) are never looked at.
        const OLECHAR* wide = rgszNames[0];
        const std::size_t length = wide ? std::char_traits<WCHAR>::length(wide) : 0;
        rgDispId[0] = FindMethod(wide ? WStringView(wide, length) : WStringView());
        return rgDispId[0] == DISPID_UNKNOWN ? E_NOTIMPL : S_OK;
    } catch (...) {
        rgDispId[0] = DISPID_UNKNOWN;
        return E_OUTOFMEMORY;
    }
}

namespace {

std::size_t NameHash(WStringView name) noexcept {
    std::size_t h = 14695981039346656037ull & SIZE_MAX;
    for (WCHAR c : name)
        h = (h ^ static_cast<std::size_t>(c)) * (1099511628211ull & SIZE_MAX);
    return h;
}

// Spellings remembered per object; a host that invents names without end stops being helped
// past this, and keeps being answered.
constexpr std::size_t MaxLookedUpNames = 128;
// No name is longer than a short string, but the system's comparison gives some characters no
// weight, so longer spellings can match; they are answered and not remembered.
constexpr std::size_t MaxLookedUpSpelling = 2 * ShortStringMax;

// "Команда X не выполнена: " or "Метод X не выполнен: ", the start of a failed call's event.
std::string FailedCallText(std::string_view Name, BYTE Kind) {
    return EventText(Kind == mkCommand ? eventtexts::CommandFailed : eventtexts::MethodFailed, {AnsiToUtf8(Name)});
}

} // namespace

TBaseObject::TBaseObject() : FLookedUp(std::make_unique<TLookedUpName[]>(MaxLookedUpNames)) {}

TBaseObject::~TBaseObject() { SafeArrayDestroy(FSpareArguments.exchange(nullptr)); }

DISPID TBaseObject::FindMethod(WStringView Name) {
    const std::size_t hash = NameHash(Name);
    const std::size_t known = FLookedUpCount.load(std::memory_order_acquire);
    for (std::size_t i = 0; i < known; ++i)
        if (FLookedUp[i].Hash == hash && WStringView(FLookedUp[i].Name) == Name)
            return FLookedUp[i].DispID;
    const DISPID id = FindMethodInTable(Name);
    // Only names that were found: a miss is an error the host sees once and rarely repeats.
    if (id == DISPID_UNKNOWN || Name.size() > MaxLookedUpSpelling)
        return id;
    std::lock_guard<std::mutex> writer(FLookedUpWriter);
    const std::size_t count = FLookedUpCount.load(std::memory_order_relaxed);
    if (count < MaxLookedUpNames) {
        FLookedUp[count] = {hash, WString(Name), id};
        FLookedUpCount.store(count + 1, std::memory_order_release);
    }
    return id;
}

DISPID TBaseObject::FindMethodInTable(WStringView Name) const {
    char stackName[2 * ShortStringMax + 2];
    std::string heapName;
    std::string_view name;
    if (!Name.empty()) {
        int n = WideCharToMultiByte(CP_ACP, 0, Name.data(), static_cast<int>(Name.size()), stackName,
                                    sizeof stackName, nullptr, nullptr);
        if (n > 0) {
            name = std::string_view(stackName, static_cast<std::size_t>(n));
        } else {
            heapName = WideToAnsi(Name);
            name = heapName;
        }
    }
    const TNameMatcher matcher(name);
    for (std::size_t i = 0; i < FMethods.size(); ++i)
        if (matcher.Matches(FMethods[i].Name))
            return static_cast<DISPID>(i);
    return DISPID_UNKNOWN;
}

HRESULT STDMETHODCALLTYPE TBaseObject::Invoke(DISPID dispIdMember, REFIID, LCID, WORD wFlags,
                                              DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                              UINT*) {
    if (dispIdMember >= MaxDispID || !(wFlags & DISPATCH_METHOD))
        return E_FAIL;
    if (dispIdMember < 0 || static_cast<std::size_t>(dispIdMember) >= FMethods.size())
        return E_FAIL;
    const UINT n = pDispParams ? pDispParams->cArgs : 0;
    if (n > 0 && !pDispParams->rgvarg)
        return E_INVALIDARG;
    const TMethodStruct& method = FMethods[static_cast<std::size_t>(dispIdMember)];
    const bool command = method.Kind == mkCommand;
    try {
        SafeArray args = TakeArgumentArray(n);
        struct TArgumentsBack {
            TBaseObject& Owner;
            SafeArray& Args;
            ~TArgumentsBack() { Owner.KeepArgumentArray(Args); }
        } argumentsBack{*this, args};
        TMethodParams params(args.Get());
        // A command only reads its InData, so an array the host passes (the whole goods table of
        // a receipt, say) is lent to it for the call instead of being copied. It stays locked
        // meanwhile, as the runtime's own hosts lock the arrays they pass: host code that runs
        // during the command (an object's default property, read by a conversion) and empties,
        // replaces or passes back as OutData the variable holding it fails on its side instead of
        // freeing what the command reads. The loan ends before anything is written back (OutData
        // may be the same variable) and on any failure.
        struct TInDataLoan {
            VARIANT* Slot = nullptr;
            void End() noexcept {
                if (!Slot)
                    return;
                SafeArrayUnlock(Slot->parray);
                VariantInit(Slot);
                Slot = nullptr;
            }
            ~TInDataLoan() { End(); }
        } loan;
        for (UINT i = 0; i < n; ++i) {
            // The host stores its arguments last first.
            int hops = 0;
            VARIANT* source = FollowReferences(&pDispParams->rgvarg[n - 1 - i], &hops);
            VARIANT& element = params.Data()[i];
            if (i == 0 && command && IsLendableArray(*source)) {
                element = *source;
                loan.Slot = &element;
            } else if (i == 1 && command) {
                // OutData is only ever written: whatever the host's variable holds now is not
                // read, so it is not copied either. Whether it can be written is seen now,
                // before the command prints anything.
                CheckAnswerTarget(*source, hops > 0, loan.Slot ? loan.Slot->parray : nullptr);
            } else if (Variant::HoldsNothingToFree(source->vt)) {
                element = *source;
            } else {
                CheckHResult(VariantCopyInd(&element, source), "VariantCopyInd");
            }
            if (element.vt == VT_I2) {
                const LONG value = element.iVal;
                element.vt = VT_I4;
                element.lVal = value;
            }
        }
        Variant result;
        const HRESULT hr = CallMethod(dispIdMember, result, params);
        // The host's InData is its own again, as it was: there is nothing of it to write back.
        const LONG firstOut = loan.Slot ? 1 : 0;
        loan.End();
        if (hr == S_OK && pDispParams) {
            // A command has done its work by now (a receipt may be printed): an out-argument the
            // host's variable cannot take must not turn that into a failure the host would retry.
            std::vector<TSkippedArgument> skipped;
            WriteBack(*pDispParams, params, firstOut, command ? &skipped : nullptr);
            for (const TSkippedArgument& s : skipped) {
                WriteLog("EXCEPTION", Utf8ToAnsi(s.Error.ClassName) + ": " + Utf8ToAnsi(s.Error.Message) +
                                          "; argument " + std::to_string(s.Index) + " was not written back");
                NoteSkippedWriteBack(method.Name, s.Index, s.Error.Message);
            }
        }
        if (pVarResult) {
            // An out-parameter: whatever the host left in it is not ours to free.
            *pVarResult = result.Detach();
        }
        return hr;
    } catch (...) {
        const TCaughtError error = DescribeCurrentException();
        // Reporting the failure must not fail in turn: whatever cannot be filled stays empty.
        try {
            if (pExcepInfo) {
                pExcepInfo->scode = ErrUnknown;
                pExcepInfo->bstrDescription = SysAllocString(Utf8ToWide(error.Message).c_str());
                pExcepInfo->bstrSource = SysAllocString(Utf8ToWide(error.ClassName).c_str());
            }
            if (FTraceEnabled)
                WriteLog("EXCEPTION", Utf8ToAnsi(error.ClassName) + ": " + Utf8ToAnsi(error.Message));
        } catch (...) {
        }
        // A raw method that raised, a call refused on the way in (an OutData nothing can be stored
        // in, say) or failing on the way out: the host sees the failure, so support must see it too.
        NoteRaisedCall(method.Name, method.Kind);
        return DISP_E_EXCEPTION;
    }
}

SafeArray TBaseObject::TakeArgumentArray(UINT Count) {
    SafeArray spare(FSpareArguments.exchange(nullptr, std::memory_order_acquire));
    if (spare.Get() && spare.Get()->rgsabound[0].cElements == Count)
        return spare;
    KeepArgumentArray(spare);
    return SafeArray::CreateVector(static_cast<LONG>(Count));
}

void TBaseObject::KeepArgumentArray(SafeArray& Args) noexcept {
    SAFEARRAY* array = Args.Get();
    // Only a one-dimensional array nobody holds, while no other is kept.
    if (!array || array->cDims != 1 || array->cLocks != 0 || FSpareArguments.load(std::memory_order_relaxed))
        return;
    VARIANT* data = static_cast<VARIANT*>(array->pvData);
    for (ULONG i = 0; i < array->rgsabound[0].cElements; ++i)
        if (FAILED(VariantClear(&data[i])))
            return;
    SAFEARRAY* none = nullptr;
    if (FSpareArguments.compare_exchange_strong(none, array, std::memory_order_release, std::memory_order_relaxed))
        Args.Detach();
}

HRESULT TBaseObject::CallMethod(DISPID DispID, Variant& Result, TMethodParams& Params) {
    if (DispID < 0 || static_cast<std::size_t>(DispID) >= FMethods.size())
        return E_FAIL;
    const TMethodStruct& method = FMethods[static_cast<std::size_t>(DispID)];
    if (method.Kind == mkCommand)
        return CallCommand(method, Result, Params);
    CallRawMethod(method, Result, Params);
    return S_OK;
}

HRESULT TBaseObject::CallCommand(const TMethodStruct& Method, Variant& Result, TMethodParams& Params) {
    // Whether this call is traced is decided once, here: a call that switches tracing on is
    // not traced, one that switches it off gets no closing line.
    const bool trace = FTraceEnabled;

    // InData is borrowed from the argument array for the call and put back afterwards, so the
    // write-back still sees it; nothing is copied.
    VARIANT* slot0 = Params.Has(0) ? &Params.Data()[0] : nullptr;
    Variant inData = slot0 ? Variant::TakeOver(*slot0) : Variant();
    struct PutBack {
        VARIANT* Slot;
        Variant& Value;
        ~PutBack() {
            if (Slot)
                *Slot = Value.Detach();
        }
    } putBack{slot0, inData};

    Variant outData;
    if (trace)
        WriteLog("> " + Method.Name, "InData: " + VariantToLogText(inData));

    HRESULT hr = S_OK;
    const VARIANT& timeout = Params.Item(2);
    if (!IsOrdinalType(timeout.vt)) {
        hr = E_INVALIDARG;
    } else {
        WString errorText;
        LONG code = ErrUnknown;
        try {
            if (!Method.CommandHandler || !Method.Target)
                throw EDriverError(ErrorMessageUtf8(ErrUnknown));
            code = (Method.Target->*Method.CommandHandler)(inData, outData, OrdinalAsLong(timeout), errorText);
        } catch (...) {
            code = ErrUnknown;
            errorText = Utf8ToWide(DescribeCurrentException().Message);
        }
        if (code != ErrNone)
            outData = MakeVariantArray({Variant(code), Variant(GetErrorDescription(code, errorText))});
        NoteFailedCall(Method.Name, mkCommand, code, errorText);
        // The host learns of a failure from the False result and the error array in OutData;
        // the call itself succeeds.
        Result = Variant(code == ErrNone);
        if (trace)
            WriteLog("< " + Method.Name,
                     "Result=" + VariantToLogText(Result) + "; OutData: " + VariantToLogText(outData));
        Params.Set(1, std::move(outData));
        return S_OK;
    }
    if (trace)
        WriteLog("< " + Method.Name, "Result=" + VariantToLogText(Result) + "; OutData: " + VariantToLogText(outData));
    return hr;
}

void TBaseObject::CallRawMethod(const TMethodStruct& Method, Variant& Result, TMethodParams& Params) {
    const bool trace = FTraceEnabled;
    if (trace)
        WriteLog("> " + Method.Name, "Params: " + ArrayToLogText(Params.Array()));
    try {
        if (!Method.RawHandler || !Method.Target)
            throw EDriverError(ErrorMessageUtf8(ErrUnknown));
        (Method.Target->*Method.RawHandler)(Params, Result);
    } catch (...) {
        if (trace)
            WriteLog("EXCEPTION", Utf8ToAnsi(DescribeCurrentException().Message));
        throw;
    }
    if (trace)
        WriteLog("< " + Method.Name,
                 "Result=" + VariantToLogText(Result) + "; Params: " + ArrayToLogText(Params.Array()));
}

// ---------------------------------------------------------------------------------------------
// Tracing

void TBaseObject::SetTraceEnabled(bool On) {
    if (FTraceEnabled == On)
        return;
    FTraceEnabled = On;
    if (On)
        DoTraceStarted();
}

std::string TBaseObject::LogFileName() const { return DebugLogFileName(FLogPath, LocalNow()); }

void TBaseObject::WriteLog(std::string_view Caption, std::string_view Data, bool NoData) {
    if (!FTraceEnabled)
        return;
    // A log that cannot be written must never change the outcome of a call: a receipt that
    // was printed is reported as printed even when the disk is full.
    try {
        const TLocalTime now = LocalNow();
        std::string line = LogTimeText(now);
        line += " Inst.: ";
        line += FInstanceID;
        line += '\t';
        line += Caption;
        if (!NoData) {
            line += ": \t";
            line += Data;
        }
        line += "\r\n";
        const std::string file = DebugLogFileName(FLogPath, now);
        const bool written = AppendLogLine(file, line);
        // Support learns of a log with holes from the event log; a full disk says so once.
        if (!written && !FDebugLogFailing)
            WriteEvent(TEventLevel::Warning, eventtexts::DebugLogNotWritten + AnsiToUtf8(file));
        FDebugLogFailing = !written;
    } catch (...) {
    }
}

// ---------------------------------------------------------------------------------------------
// Event log

bool TBaseObject::EventLogEnabled() const noexcept {
    try {
        return DoEventLogEnabled();
    } catch (...) {
        return false;
    }
}

void TBaseObject::DoEventLogPlace(std::string& Folder, std::string& DeviceID) const {
    Folder = FLogPath;
    DeviceID.clear();
}

std::string TBaseObject::DoFailureAftermath(std::string_view, LONG) { return {}; }

void TBaseObject::WriteEvent(TEventLevel Level, std::string_view Text, std::optional<LONG> Code) noexcept {
    if (!EventLogEnabled())
        return;
    try {
        std::string folder, deviceID;
        DoEventLogPlace(folder, deviceID);
        WriteEventLog(folder, deviceID, Level, Text, Code);
    } catch (...) {
    }
}

void TBaseObject::NoteFailedCall(std::string_view Name, BYTE Kind, LONG Code, WStringView Text) noexcept {
    if (Code == ErrNone || Code == ErrCancelledByUser || !EventLogEnabled())
        return;
    try {
        std::string text = FailedCallText(Name, Kind) + WideToUtf8(GetErrorDescription(Code, Text));
        const std::string aftermath = DoFailureAftermath(Name, Code);
        if (!aftermath.empty())
            text += "; " + aftermath;
        WriteEvent(TEventLevel::Error, text, Code);
    } catch (...) {
    }
}

void TBaseObject::NoteRaisedCall(std::string_view Name, BYTE Kind) noexcept {
    if (!EventLogEnabled())
        return;
    try {
        WriteEvent(TEventLevel::Error, FailedCallText(Name, Kind) + DescribeCurrentException().Message);
    } catch (...) {
    }
}

void TBaseObject::NoteSkippedWriteBack(std::string_view Name, LONG Index, const std::string& Why) noexcept {
    // A command never changes its InData: the host's variable has lost nothing.
    if (Index == 0 || !EventLogEnabled())
        return;
    try {
        WriteEvent(TEventLevel::Warning,
                   EventText(eventtexts::ArgumentNotReturned, {AnsiToUtf8(Name), std::to_string(Index)}) + Why);
    } catch (...) {
    }
}
