// Our dispatch road against the system's standard dispatch, on the system's own oleaut32: the
// bench object of the native benchmarks, and an object whose interface has the same 28 members
// doing the same work, described by CreateDispTypeInfo and dispatched by CreateStdDispatch. Both
// are called as a host calls them (HostCall.h). Prints one "key=value" line per figure, per call
// in nanoseconds, the median of several timed rounds after a warm-up round:
//
//   orvel27_dispatch_bench [--iterations N] [--rounds R]
//
// Exits 1 when the objects cannot be made or do not answer alike.
#include "BenchObject.h"
#include "HostCall.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// The standard object. Its 28 members share one implementation, so the interface's vtable is laid
// out by hand: IUnknown's three entries, then one per name in the order of BenchCommandNames
// (entry 3 + i is DISPID i). PARAMDATA has no flags, so the result cannot be a retval parameter;
// it is the members' return value (VT_BOOL), which the standard dispatch hands back the same way.

class TStdBenchObject;
using TStdCommand = VARIANT_BOOL(STDMETHODCALLTYPE*)(TStdBenchObject* This, VARIANT InData, VARIANT* OutData,
                                                      LONG Timeout);

struct TStdBenchVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(TStdBenchObject* This, REFIID riid, void** ppv);
    ULONG(STDMETHODCALLTYPE* AddRef)(TStdBenchObject* This);
    ULONG(STDMETHODCALLTYPE* Release)(TStdBenchObject* This);
    TStdCommand Commands[BenchCommandNames.size()];
};

class TStdBenchObject {
public:
    // The object, which owns its standard dispatch. It is handed to the dispatch as the outer
    // object, but Wine's standard dispatch keeps references of its own instead of delegating
    // them, so whoever calls the dispatch holds the object too.
    static ComPtr<TStdBenchObject> Create() {
        const ComPtr<ITypeInfo> info = DescribeInterface();
        ComPtr<TStdBenchObject> object = ComPtr<TStdBenchObject>::Attach(new TStdBenchObject());
        CheckHResult(CreateStdDispatch(object->Unknown(), object.Get(), info.Get(), &object->FStdDispatch),
                     "CreateStdDispatch");
        return object;
    }

    ComPtr<IDispatch> Dispatch() const {
        ComPtr<IDispatch> dispatch;
        CheckHResult(FStdDispatch->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.Receive())),
                     "QueryInterface(IDispatch)");
        return dispatch;
    }

    // A member as the interface's vtable holds it, to be called without dispatch.
    TStdCommand Command(DISPID id) const { return FVtbl->Commands[id]; }

    ULONG AddRef() { return AddRefImpl(this); }
    ULONG Release() { return ReleaseImpl(this); }

private:
    TStdBenchObject() = default;
    ~TStdBenchObject() {
        if (FStdDispatch)
            FStdDispatch->Release();
    }
    IUnknown* Unknown() { return reinterpret_cast<IUnknown*>(this); }

    static ComPtr<ITypeInfo> DescribeInterface() {
        static PARAMDATA params[] = {
            {const_cast<OLECHAR*>(L"InData"), VT_VARIANT},
            {const_cast<OLECHAR*>(L"OutData"), VT_VARIANT | VT_BYREF},
            {const_cast<OLECHAR*>(L"Timeout"), VT_I4},
        };
        std::vector<WString> names;
        std::vector<METHODDATA> methods;
        for (const char* name : BenchCommandNames)
            names.push_back(Utf8ToWide(name));
        for (std::size_t i = 0; i < names.size(); ++i) {
            const UINT slot = static_cast<UINT>(offsetof(TStdBenchVtbl, Commands) / sizeof(void*) + i);
            methods.push_back(METHODDATA{names[i].data(), params, static_cast<DISPID>(i), slot, CC_STDCALL,
                                         static_cast<UINT>(std::size(params)), DISPATCH_METHOD, VT_BOOL});
        }
        INTERFACEDATA data{methods.data(), static_cast<UINT>(methods.size())};
        ComPtr<ITypeInfo> coclass;
        CheckHResult(CreateDispTypeInfo(&data, LOCALE_SYSTEM_DEFAULT, coclass.Receive()), "CreateDispTypeInfo");
        // What comes back describes a class implementing the interface. Wine's Invoke does not
        // look into a class's interfaces (its GetIDsOfNames does), so the standard dispatch is
        // given the interface itself, which it dispatches the same on any system.
        HREFTYPE ref = 0;
        ComPtr<ITypeInfo> info;
        CheckHResult(coclass->GetRefTypeOfImplType(0, &ref), "GetRefTypeOfImplType");
        CheckHResult(coclass->GetRefTypeInfo(ref, info.Receive()), "GetRefTypeInfo");
        return info;
    }

    static HRESULT STDMETHODCALLTYPE QueryInterfaceImpl(TStdBenchObject* This, REFIID riid, void** ppv) {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (IsEqualIID(riid, IID_IUnknown)) {
            *ppv = This;
            AddRefImpl(This);
            return S_OK;
        }
        return This->FStdDispatch ? This->FStdDispatch->QueryInterface(riid, ppv) : E_NOINTERFACE;
    }
    static ULONG STDMETHODCALLTYPE AddRefImpl(TStdBenchObject* This) { return ++This->FRefCount; }
    static ULONG STDMETHODCALLTYPE ReleaseImpl(TStdBenchObject* This) {
        const ULONG left = --This->FRefCount;
        if (left == 0)
            delete This;
        return left;
    }

    // The work of TBenchObject::Handle. InData stays the caller's: it is borrowed for the work and
    // handed back untouched.
    static VARIANT_BOOL STDMETHODCALLTYPE CommandImpl(TStdBenchObject*, VARIANT InData, VARIANT* OutData,
                                                      LONG Timeout) {
        Variant inData = Variant::TakeOver(InData);
        VARIANT_BOOL ok = VARIANT_FALSE;
        try {
            Variant answer = BenchCommandWork(inData, Timeout);
            VariantClear(OutData);
            *OutData = answer.Detach();
            ok = VARIANT_TRUE;
        } catch (...) {
        }
        InData = inData.Detach();
        return ok;
    }

    static constexpr TStdBenchVtbl MakeVtbl() {
        TStdBenchVtbl vtbl{&QueryInterfaceImpl, &AddRefImpl, &ReleaseImpl, {}};
        for (TStdCommand& command : vtbl.Commands)
            command = &CommandImpl;
        return vtbl;
    }
    static const TStdBenchVtbl Vtbl;

    // First, so that a pointer to the object is a pointer to its interface.
    const TStdBenchVtbl* FVtbl = &Vtbl;
    std::atomic<ULONG> FRefCount{1};
    IUnknown* FStdDispatch = nullptr; // the standard dispatch's own IUnknown, aggregated
};

constexpr TStdBenchVtbl TStdBenchObject::Vtbl = TStdBenchObject::MakeVtbl();

// ---------------------------------------------------------------------------------------------
// Timing

struct TOptions {
    long Iterations = 200000;
    int Rounds = 7;
};

bool ParseOptions(int argc, char** argv, TOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--iterations") == 0 && hasValue)
            options.Iterations = std::strtol(argv[++i], nullptr, 10);
        else if (std::strcmp(argv[i], "--rounds") == 0 && hasValue)
            options.Rounds = static_cast<int>(std::strtol(argv[++i], nullptr, 10));
        else
            return false;
    }
    return options.Iterations > 0 && options.Rounds > 0;
}

// Per-call nanoseconds of call(): the median of the timed rounds, after one round of warm-up.
template <class Call>
double MedianNanoseconds(const TOptions& options, Call&& call) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> rounds;
    for (int round = 0; round <= options.Rounds; ++round) {
        const Clock::time_point start = Clock::now();
        for (long i = 0; i < options.Iterations; ++i)
            call();
        const std::chrono::duration<double, std::nano> elapsed = Clock::now() - start;
        if (round > 0)
            rounds.push_back(elapsed.count() / static_cast<double>(options.Iterations));
    }
    std::nth_element(rounds.begin(), rounds.begin() + rounds.size() / 2, rounds.end());
    return rounds[rounds.size() / 2];
}

// What one host call of a member answered, with the types of the values.
struct TAnswer {
    HRESULT Hr = E_FAIL;
    Variant OutData;
    Variant Result;
    std::string Text() const {
        char text[160];
        std::snprintf(text, sizeof text, "hr=0x%08lX OutData=%s(vt %u) Result=%s(vt %u)",
                      static_cast<unsigned long>(Hr), OutData.AsAnsi().c_str(), OutData.Type(),
                      Result.AsAnsi().c_str(), Result.Type());
        return text;
    }
};

TAnswer CallOnce(IDispatch* dispatch, LPOLESTR name, const Variant& inData) {
    TAnswer answer;
    answer.Hr = CallCommand(dispatch, name, inData, answer.OutData, answer.Result);
    return answer;
}

int Run(const TOptions& options) {
    const ComPtr<TBenchObject> ours = CreateComObject<TBenchObject>();
    const ComPtr<TStdBenchObject> standardObject = TStdBenchObject::Create();
    const ComPtr<IDispatch> standard = standardObject->Dispatch();
    const Variant inData = BenchInData();
    WString nameText = Utf8ToWide(BenchCalledName);
    LPOLESTR name = nameText.data();

    // Both must do the same work before their times mean anything.
    const TAnswer oursAnswer = CallOnce(ours.Get(), name, inData);
    const TAnswer standardAnswer = CallOnce(standard.Get(), name, inData);
    const bool same = oursAnswer.Hr == S_OK && oursAnswer.Text() == standardAnswer.Text();

    // The optimizer must not see through the calls it times.
    std::atomic<long> sink{0};
    Variant outData, result;
    const auto timeRoad = [&](IDispatch* dispatch, bool byReference = false) {
        return MedianNanoseconds(
            options, [&] { sink += CallCommand(dispatch, name, inData, outData, result, byReference); });
    };
    const auto timeLookUp = [&](IDispatch* dispatch) {
        return MedianNanoseconds(options, [&] { sink += LookUpCommand(dispatch, name); });
    };
    const auto timeInvoke = [&](IDispatch* dispatch) {
        const DISPID id = LookUpCommand(dispatch, name);
        return MedianNanoseconds(options, [&] { sink += InvokeCommand(dispatch, id, inData, outData, result); });
    };

    const double oursNs = timeRoad(ours.Get());
    const double standardNs = timeRoad(standard.Get());
    // InData as a script host passes its variable: by reference.
    const double oursByRefNs = timeRoad(ours.Get(), true);
    const double standardByRefNs = timeRoad(standard.Get(), true);
    TBenchObject* volatile handlerTarget = ours.Get();
    const double directNs = MedianNanoseconds(options, [&] {
        WString errorText;
        sink += handlerTarget->Handle(inData, outData, 0, errorText);
    });
    TStdBenchObject* standardTarget = standardObject.Get();
    TStdCommand volatile command = standardObject->Command(LookUpCommand(standard.Get(), name));
    const double standardDirectNs =
        MedianNanoseconds(options, [&] { sink += command(standardTarget, inData.Raw(), outData.Get(), 0); });

    std::printf("iterations=%ld\nrounds=%d\n", options.Iterations, options.Rounds);
    std::printf("ours_ns=%.1f\nstandard_ns=%.1f\ndirect_ns=%.1f\nratio=%.3f\n", oursNs, standardNs, directNs,
                oursNs / standardNs);
    std::printf("ours_byref_ns=%.1f\nstandard_byref_ns=%.1f\nratio_byref=%.3f\n", oursByRefNs, standardByRefNs,
                oursByRefNs / standardByRefNs);
    std::printf("ours_getids_ns=%.1f\nours_invoke_ns=%.1f\n", timeLookUp(ours.Get()), timeInvoke(ours.Get()));
    std::printf("standard_getids_ns=%.1f\nstandard_invoke_ns=%.1f\n", timeLookUp(standard.Get()),
                timeInvoke(standard.Get()));
    std::printf("standard_direct_ns=%.1f\n", standardDirectNs);
    std::printf("ours_answer=%s\nstandard_answer=%s\nsame_answer=%s\n", oursAnswer.Text().c_str(),
                standardAnswer.Text().c_str(), same ? "yes" : "no");
    return same ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    TOptions options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: orvel27_dispatch_bench [--iterations N] [--rounds R]\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int rc = 1;
    try {
        rc = Run(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orvel27_dispatch_bench: %s\n", e.what());
    }
    CoUninitialize();
    return rc;
}
