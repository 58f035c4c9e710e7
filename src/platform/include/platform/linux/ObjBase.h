// COM: initialization, GUIDs, task memory and activation of in-process servers.
#pragma once

#include "Unknwn.h"
#include "WinTypes.h"

#define STDAPICALLTYPE

#define CLSCTX_INPROC_SERVER 0x1
#define CLSCTX_INPROC_HANDLER 0x2
#define CLSCTX_LOCAL_SERVER 0x4
#define CLSCTX_REMOTE_SERVER 0x10
#define CLSCTX_INPROC (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER)
#define CLSCTX_SERVER (CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)
#define CLSCTX_ALL (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)

#define COINIT_MULTITHREADED 0x0
#define COINIT_APARTMENTTHREADED 0x2

#define RPC_E_CHANGED_MODE ((HRESULT)0x80010106L)
#define CO_E_NOTINITIALIZED ((HRESULT)0x800401F0L)
#define CO_E_IIDSTRING ((HRESULT)0x800401F4L)

// Initialization is counted per thread; S_FALSE when the thread was already initialized,
// RPC_E_CHANGED_MODE when it asks for the other threading model. Nothing else depends on it.
WINOLEAPI CoInitialize(LPVOID pvReserved);
WINOLEAPI CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
WINOLEAPI_(void) CoUninitialize();

WINOLEAPI_(LPVOID) CoTaskMemAlloc(SIZE_T cb);
WINOLEAPI_(LPVOID) CoTaskMemRealloc(LPVOID pv, SIZE_T cb);
WINOLEAPI_(void) CoTaskMemFree(LPVOID pv);

// A random (version 4) GUID.
WINOLEAPI CoCreateGuid(GUID* pguid);
// Writes the braced upper-case form; returns the characters written with the NUL, or 0 when
// the buffer is shorter than those 39 characters.
WINOLEAPI_(int) StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax);
// The braced form, or a ProgID registered in the registry.
WINOLEAPI CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid);
WINOLEAPI IIDFromString(LPCOLESTR lpsz, LPIID lpiid);
// HKEY_CLASSES_ROOT\<ProgID>\Clsid; CO_E_CLASSSTRING when it is not registered.
WINOLEAPI CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid);

// In-process activation: HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32 names the module, which
// is loaded once and kept until CoFreeUnusedLibraries finds that DllCanUnloadNow allows it.
// REGDB_E_CLASSNOTREG when the class is not registered for CLSCTX_INPROC_SERVER.
WINOLEAPI CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, LPVOID pvReserved, REFIID riid, LPVOID* ppv);
WINOLEAPI CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv);
WINOLEAPI_(void) CoFreeUnusedLibraries();

// What an in-process server exports (declared here so that a module defining them exports them).
using LPFNGETCLASSOBJECT = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, LPVOID*);
using LPFNCANUNLOADNOW = HRESULT(STDAPICALLTYPE*)();
STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv);
STDAPI DllCanUnloadNow();
