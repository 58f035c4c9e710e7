// A driver object of the tests: answers by name like the real one (raw Init/Open/Close, commands
// with InData, OutData, Timeout) and keeps a two-entry settings table, so the runner can be
// exercised without any driver module.
#pragma once

#include "framework/uCommonUtils.h"

#include <string>
#include <vector>

class FakeDriver final : public IDispatch {
public:
    FakeDriver();

    std::vector<std::string> calls;    // member names in call order
    std::string devicesFolder;         // what the equipment manager answered at Open
    VARTYPE lastTimeoutType = VT_EMPTY;
    std::string answersFalse;          // a member that answers False (with [1004, text] for a command)
    std::string paperFile;             // where the command Print appends a line

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* excepInfo, UINT*) override;

private:
    HRESULT Command(const std::string& name, const VARIANT& in, VARIANT* out, bool& ok);
    std::string AskManager(const std::string& name);

    ULONG refs_ = 1;
    ComPtr<IDispatch> manager_;
    std::string settingNames_[2] = {"DebugLogEnabled", "PortNumber"};
    Variant settingValues_[2];
};
