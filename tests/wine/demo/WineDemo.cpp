// A minimal in-process automation server that proves the Wine rig end to end before the driver
// exists: regsvr32 registers it, a script host creates it by ProgID and calls it by name through
// IDispatch. It is deliberately self-contained (its own class factory, registration and dispatch)
// and is retired once the driver itself goes through the same steps.
#include "platform/Platform.h"

#include <atomic>
#include <cwchar>
#include <iterator>
#include <new>
#include <string>

namespace {

// {0D385672-31C9-4A02-87C9-4D9DFC0D219E}
constexpr CLSID kClsid = {0x0d385672, 0x31c9, 0x4a02, {0x87, 0xc9, 0x4d, 0x9d, 0xfc, 0x0d, 0x21, 0x9e}};
constexpr wchar_t kProgId[] = L"Ovra.WineDemo";
constexpr wchar_t kDescription[] = L"Orvel27 Wine rig demo object";
// Raised by Fail; a script sees it as Err.Number.
constexpr HRESULT kFailCode = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x201);

HMODULE g_module = nullptr;
std::atomic<long> g_liveObjects{0};
std::atomic<long> g_serverLocks{0};

enum : DISPID { kEcho = 1, kAdd, kGetGreeting, kFail };

struct Member {
  const wchar_t* name;
  DISPID id;
  UINT argCount;
};

constexpr Member kMembers[] = {
    {L"Echo", kEcho, 1},
    {L"Add", kAdd, 2},
    {L"GetGreeting", kGetGreeting, 1},
    {L"Fail", kFail, 1},
};

const Member* FindMember(DISPID id) {
  for (const Member& m : kMembers) {
    if (m.id == id) return &m;
  }
  return nullptr;
}

// Owns one VARIANT for the span of a call.
struct ScopedVariant {
  VARIANT v;
  ScopedVariant() { VariantInit(&v); }
  ~ScopedVariant() { VariantClear(&v); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
};

// Reads an argument through any by-reference wrapping (script variables arrive by reference) and
// converts it with the user's regional settings, as the driver does with host values.
HRESULT ReadArg(VARIANT& arg, VARTYPE type, ScopedVariant& out) {
  ScopedVariant plain;
  HRESULT hr = VariantCopyInd(&plain.v, &arg);
  if (FAILED(hr)) return hr;
  return VariantChangeType(&out.v, &plain.v, 0, type);
}

HRESULT PutGreeting(VARIANT& outData) {
  // The driver's commands hand results back the same way: a 1-D Variant array written into the
  // caller's variable.
  if (outData.vt != (VT_BYREF | VT_VARIANT) || outData.pvarVal == nullptr) return DISP_E_TYPEMISMATCH;
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, 2);
  if (array == nullptr) return E_OUTOFMEMORY;
  VARIANT* items = nullptr;
  HRESULT hr = SafeArrayAccessData(array, reinterpret_cast<void**>(&items));
  if (SUCCEEDED(hr)) {
    items[0].vt = VT_BSTR;
    items[0].bstrVal = SysAllocString(L"Привет");
    items[1].vt = VT_I4;
    items[1].lVal = 27;
    SafeArrayUnaccessData(array);
    if (items[0].bstrVal == nullptr) hr = E_OUTOFMEMORY;
  }
  if (FAILED(hr)) {
    SafeArrayDestroy(array);
    return hr;
  }
  VARIANT* target = outData.pvarVal;
  VariantClear(target);
  target->vt = VT_ARRAY | VT_VARIANT;
  target->parray = array;
  return S_OK;
}

class WineDemo final : public IDispatch {
 public:
  WineDemo() { ++g_liveObjects; }
  ~WineDemo() { --g_liveObjects; }
  WineDemo(const WineDemo&) = delete;
  WineDemo& operator=(const WineDemo&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  // No type library: late binding by name only, as the driver.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return DISP_E_BADINDEX;
  }

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (names == nullptr || ids == nullptr) return E_POINTER;
    if (count == 0) return S_OK;
    HRESULT hr = S_OK;
    ids[0] = DISPID_UNKNOWN;
    if (names[0] != nullptr) {
      for (const Member& m : kMembers) {
        if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, names[0], -1, m.name, -1) ==
            CSTR_EQUAL) {
          ids[0] = m.id;
          break;
        }
      }
    }
    if (ids[0] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    // No named arguments.
    for (UINT i = 1; i < count; ++i) {
      ids[i] = DISPID_UNKNOWN;
      hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    const Member* member = FindMember(id);
    if (member == nullptr || (flags & DISPATCH_METHOD) == 0) return DISP_E_MEMBERNOTFOUND;
    if (params == nullptr) return E_POINTER;
    if (params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    if (params->cArgs != member->argCount) return DISP_E_BADPARAMCOUNT;
    if (params->rgvarg == nullptr) return E_POINTER;
    // Arguments arrive last first.
    VARIANT* args = params->rgvarg;
    const auto arg = [&](UINT n) -> VARIANT& { return args[member->argCount - 1 - n]; };
    const auto badArg = [&](UINT n, HRESULT hr) {
      if (argErr != nullptr) *argErr = member->argCount - 1 - n;
      return hr;
    };
    ScopedVariant answer;
    switch (id) {
      case kEcho: {
        HRESULT hr = VariantCopyInd(&answer.v, &arg(0));
        if (FAILED(hr)) return badArg(0, hr);
        break;
      }
      case kAdd: {
        ScopedVariant a, b;
        HRESULT hr = ReadArg(arg(0), VT_R8, a);
        if (FAILED(hr)) return badArg(0, hr);
        hr = ReadArg(arg(1), VT_R8, b);
        if (FAILED(hr)) return badArg(1, hr);
        answer.v.vt = VT_R8;
        answer.v.dblVal = a.v.dblVal + b.v.dblVal;
        break;
      }
      case kGetGreeting: {
        HRESULT hr = PutGreeting(arg(0));
        if (FAILED(hr)) return badArg(0, hr);
        answer.v.vt = VT_BOOL;
        answer.v.boolVal = VARIANT_TRUE;
        break;
      }
      case kFail: {
        ScopedVariant text;
        HRESULT hr = ReadArg(arg(0), VT_BSTR, text);
        if (FAILED(hr)) return badArg(0, hr);
        if (excepInfo != nullptr) {
          *excepInfo = EXCEPINFO{};
          excepInfo->scode = kFailCode;
          excepInfo->bstrSource = SysAllocString(kProgId);
          excepInfo->bstrDescription = text.v.bstrVal;
          text.v.vt = VT_EMPTY;  // ownership moved into the EXCEPINFO
        }
        return DISP_E_EXCEPTION;
      }
    }
    if (result != nullptr) {
      VariantClear(result);
      *result = answer.v;
      answer.v.vt = VT_EMPTY;
    }
    return S_OK;
  }

 private:
  std::atomic<ULONG> refs_{1};
};

class Factory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // One static factory for the module's lifetime; its references only keep the module loaded.
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++g_serverLocks); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--g_serverLocks); }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    auto* demo = new (std::nothrow) WineDemo;
    if (demo == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = demo->QueryInterface(riid, object);
    demo->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      ++g_serverLocks;
    } else {
      --g_serverLocks;
    }
    return S_OK;
  }
};

Factory g_factory;

// Writes one REG_SZ value, creating the key.
LONG SetString(const wchar_t* key, const wchar_t* name, const wchar_t* value) {
  HKEY handle = nullptr;
  LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                            nullptr);
  if (rc != ERROR_SUCCESS) return rc;
  const auto bytes = static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t));
  rc = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), bytes);
  RegCloseKey(handle);
  return rc;
}

// The keys an installer expects of an in-process server with a ProgID.
struct Keys {
  std::wstring clsid = ClsidText();
  std::wstring clsidKey = L"CLSID\\" + clsid;
  std::wstring serverKey = clsidKey + L"\\InprocServer32";
  std::wstring clsidProgIdKey = clsidKey + L"\\ProgID";
  std::wstring progIdKey = kProgId;
  std::wstring progIdClsidKey = progIdKey + L"\\CLSID";

  static std::wstring ClsidText() {
    wchar_t text[39];
    StringFromGUID2(kClsid, text, static_cast<int>(std::size(text)));
    return text;
  }
};

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(clsid, kClsid)) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, object);
}

STDAPI DllCanUnloadNow() {
  return g_liveObjects == 0 && g_serverLocks == 0 ? S_OK : S_FALSE;
}

// Removing what is already gone is success, so an interrupted test run can always clean up.
STDAPI DllUnregisterServer() {
  const Keys keys;
  for (const std::wstring* key : {&keys.clsidKey, &keys.progIdKey}) {
    const LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, key->c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return HRESULT_FROM_WIN32(rc);
  }
  return S_OK;
}

STDAPI DllRegisterServer() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return HRESULT_FROM_WIN32(GetLastError());
  const Keys keys;
  struct Value {
    const std::wstring& key;
    const wchar_t* name;  // null: the key's default value
    const wchar_t* text;
  };
  const Value values[] = {
      {keys.clsidKey, nullptr, kDescription},
      {keys.serverKey, nullptr, path},
      {keys.serverKey, L"ThreadingModel", L"Apartment"},
      {keys.clsidProgIdKey, nullptr, kProgId},
      {keys.progIdKey, nullptr, kDescription},
      {keys.progIdClsidKey, nullptr, keys.clsid.c_str()},
  };
  for (const Value& v : values) {
    const LONG rc = SetString(v.key.c_str(), v.name, v.text);
    if (rc != ERROR_SUCCESS) {
      DllUnregisterServer();  // no half-registered class left behind
      return HRESULT_FROM_WIN32(rc);
    }
  }
  return S_OK;
}
