// TBaseObject: the automation base of every driver object. Host-visible members are entries of
// one method table (an entry's index is its DISPID); settings are entries of one parameter
// table, exchanged with the host as Variant arrays; calls can be traced to a daily debug log.
#pragma once

#include "framework/uComObject.h"
#include "framework/uCommonUtils.h"
#include "framework/uEventLog.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class TBaseObject;

// The argument array of one call: a one-dimensional Variant array, lower bound 0, one element
// per host argument in the host's order. Handlers read elements and overwrite them to return
// out-arguments; an argument the host did not pass reads as Empty and cannot be written.
class TMethodParams {
public:
    explicit TMethodParams(SAFEARRAY* array);
    ~TMethodParams();
    TMethodParams(const TMethodParams&) = delete;
    TMethodParams& operator=(const TMethodParams&) = delete;

    LONG Count() const noexcept { return FCount; }
    bool Has(LONG i) const noexcept { return i >= 0 && i < FCount; }
    const VARIANT& Item(LONG i) const noexcept;
    // Stores a value into element i if the host passed that argument; says whether it did.
    bool Set(LONG i, Variant value);
    SAFEARRAY* Array() const noexcept { return FArray; }
    VARIANT* Data() const noexcept { return FData; }

private:
    SAFEARRAY* FArray;
    VARIANT* FData = nullptr;
    LONG FCount = 0;
};

// Kind 0: reads and rewrites the argument array and sets the call's result.
using TRawMethodHandler = void (TBaseObject::*)(TMethodParams& Params, Variant& Result);
// Kind 1: InData, OutData, Timeout -> code (0 = success); ErrorText arrives empty.
using TCommandHandler = LONG (TBaseObject::*)(const Variant& InData, Variant& OutData, LONG Timeout,
                                              WString& ErrorText);

enum : BYTE { mkRawMethod = 0, mkCommand = 1 };

struct TMethodStruct {
    std::string Name; // ANSI, at most 255 characters
    BYTE Kind = mkRawMethod;
    TRawMethodHandler RawHandler = nullptr;
    TCommandHandler CommandHandler = nullptr;
    TBaseObject* Target = nullptr;
};
using TMethodArray = std::vector<TMethodStruct>;

using TParamType = BYTE;
enum : TParamType { ptNumber = 0, ptString = 1, ptDate = 2, ptBoolean = 3 };

struct TSettingStruct {
    std::string Name; // ANSI, at most 255 characters
    Variant Value;
    TParamType Type = ptNumber;
    Variant Default;
    bool ReadOnly = false;
    std::string Caption;     // ANSI, at most 255 characters
    std::string Description; // ANSI, may hold CR LF
};
using TSettingArray = std::vector<TSettingStruct>;

// Dispatch IDs at or above this are never table entries.
inline constexpr DISPID MaxDispID = 100000;

class TBaseObject : public TComObject {
public:
    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                            DISPID* rgDispId) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                                     DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                     UINT* puArgErr) override;

    void Initialize() override;

    // Runs one table entry. Throws what a raw method's handler throws; a command's failures
    // stay inside the command (code 1001).
    HRESULT CallMethod(DISPID DispID, Variant& Result, TMethodParams& Params);

    const std::string& InstanceID() const noexcept { return FInstanceID; }
    const TMethodArray& Methods() const noexcept { return FMethods; }

    // Parameter table. Names are ANSI and compared case-insensitively over their full length.
    void AddParam(std::string_view Name, TParamType Type, const Variant& Default, bool ReadOnly,
                  std::string_view Caption, std::string_view Description);
    Variant GetParam(std::string_view Name, bool UseDefault = false) const;
    bool GetParamAsBoolean(std::string_view Name) const;
    LONG GetParamAsInteger(std::string_view Name) const;
    std::string GetParamAsString(std::string_view Name) const; // ANSI
    void SetParamValue(std::string_view Name, const Variant& Value);
    void ResetParamsToDefaults();
    TSettingStruct* FindParam(std::string_view Name);
    const TSettingStruct* FindParam(std::string_view Name) const;
    const TSettingArray& Params() const noexcept { return FParams; }
    static std::string ParamTypeName(BYTE Type);

    // The settings exchange with the host: [A] where A is the 7 x n table of GetSettings, and
    // the reverse (0, or 1004 when InData is not an array; a malformed A throws).
    Variant GetSettingsArray() const;
    LONG ApplySettingsArray(const Variant& InData);

    // Tracing. Caption and data are ANSI.
    void WriteLog(std::string_view Caption, std::string_view Data, bool NoData = false);
    void SetTraceEnabled(bool On);
    bool TraceEnabled() const noexcept { return FTraceEnabled; }
    // The file the next line would go to (ANSI path).
    std::string LogFileName() const;

    // The event log (uEventLog.h), text in UTF-8. Writes nothing unless the object keeps one;
    // never throws and never changes what a call answers.
    void WriteEvent(TEventLevel Level, std::string_view Text, std::optional<LONG> Code = std::nullopt) noexcept;
    bool EventLogEnabled() const noexcept;

protected:
    TBaseObject();
    ~TBaseObject() override;

    // Called right after tracing switches on.
    virtual void DoTraceStarted() {}

    // Whether this object keeps an event log, and where: the folder (ANSI) and the device's ID.
    virtual bool DoEventLogEnabled() const { return false; }
    virtual void DoEventLogPlace(std::string& Folder, std::string& DeviceID) const;
    // What a failed call left behind, said after the failure in its event (UTF-8; empty: nothing).
    virtual std::string DoFailureAftermath(std::string_view Name, LONG Code);
    // The event of a member that answered a failure: Kind is mkCommand or mkRawMethod, Text the
    // failure's description (the code's standard message when empty). Nothing for success, nor
    // for a dialog the user cancelled.
    void NoteFailedCall(std::string_view Name, BYTE Kind, LONG Code, WStringView Text) noexcept;

    void AddMethod(std::string_view Name, TRawMethodHandler Handler, TBaseObject* Target);
    void AddCommand(std::string_view Name, TCommandHandler Handler, TBaseObject* Target);
    // Registration of a derived class's own member functions on this object.
    template <class T>
    void AddMethod(std::string_view Name, void (T::*Handler)(TMethodParams&, Variant&)) {
        AddMethod(Name, static_cast<TRawMethodHandler>(Handler), this);
    }
    template <class T>
    void AddCommand(std::string_view Name, LONG (T::*Handler)(const Variant&, Variant&, LONG, WString&)) {
        AddCommand(Name, static_cast<TCommandHandler>(Handler), this);
    }

    std::string FInstanceID;
    TMethodArray FMethods;
    TSettingArray FParams;
    bool FTraceEnabled = false;
    std::string FLogPath; // ANSI

    // How many spellings the name lookup remembers (for tests).
    std::size_t RememberedNameCount() const noexcept { return FLookedUpCount.load(std::memory_order_acquire); }

private:
    // A name as the host spelled it, and the entry it named. Hosts look the same few names up
    // before every call; a hit skips the conversion to ANSI and the scan of the table. Entries
    // are only ever appended to the table, so an answer once found stays right.
    struct TLookedUpName {
        std::size_t Hash = 0;
        WString Name;
        DISPID DispID = DISPID_UNKNOWN;
    };

    DISPID FindMethod(WStringView Name);
    DISPID FindMethodInTable(WStringView Name) const;

    // A host that breaks the apartment rule may call one object from two threads: lookups read
    // the remembered names without a lock (slots below the published count are never written
    // again), and only adding one takes FLookedUpWriter.
    std::unique_ptr<TLookedUpName[]> FLookedUp;
    std::atomic<std::size_t> FLookedUpCount{0};
    std::mutex FLookedUpWriter;

    // The argument array of an earlier call, emptied, kept for the next call with as many
    // arguments: a host calls the same few commands over and over. A call takes it for itself
    // (a call made from inside another, or on another thread, finds none and makes its own).
    SafeArray TakeArgumentArray(UINT Count);
    void KeepArgumentArray(SafeArray& Args) noexcept;
    std::atomic<SAFEARRAY*> FSpareArguments{nullptr};

    // The event of a call that raised (Kind as for NoteFailedCall); called while the failure is
    // being handled.
    void NoteRaisedCall(std::string_view Name, BYTE Kind) noexcept;
    void NoteSkippedWriteBack(std::string_view Name, LONG Index, const std::string& Why) noexcept;
    // A debug log that cannot be written is reported once, until it can be written again.
    bool FDebugLogFailing = false;

    HRESULT CallCommand(const TMethodStruct& Method, Variant& Result, TMethodParams& Params);
    void CallRawMethod(const TMethodStruct& Method, Variant& Result, TMethodParams& Params);
};
