#include "DriverHost.h"

#include "Hresult.h"
#include "Text.h"

namespace host {

namespace {

using RegisterServerProc = HRESULT(WINAPI*)();

struct ModuleOwner {
    HMODULE module = nullptr;
    ~ModuleOwner() {
        if (module)
            FreeLibrary(module);
    }
};

} // namespace

ComApartment::ComApartment() : hr_(CoInitialize(nullptr)) {}

ComApartment::~ComApartment() {
    if (SUCCEEDED(hr_))
        CoUninitialize();
}

std::string RegisterModule(const std::string& path) {
    ModuleOwner owner;
    owner.module = LoadLibraryA(path.c_str());
    if (!owner.module)
        return "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    FARPROC proc = GetProcAddress(owner.module, "DllRegisterServer");
    if (!proc)
        return path + " has no DllRegisterServer";
    // Through the generic function pointer type, which the compiler accepts for any signature.
    auto registerServer = reinterpret_cast<RegisterServerProc>(reinterpret_cast<void (*)()>(proc));
    HRESULT hr = registerServer();
    if (FAILED(hr))
        return "DllRegisterServer of " + path + " failed with " + HresultName(hr);
    return {};
}

ComPtr<IDispatch> CreateByProgId(const std::string& progId, std::string& error) {
    WString name = Utf8ToWide(progId);
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(name.c_str(), &clsid);
    if (FAILED(hr)) {
        error = "no class is registered for " + progId + " (CLSIDFromProgID: " + HresultName(hr) + ")";
        return {};
    }
    ComPtr<IDispatch> driver;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                          reinterpret_cast<void**>(driver.Receive()));
    if (FAILED(hr) || !driver) {
        error = "the class of " + progId + " cannot be created (CoCreateInstance: " + HresultName(hr) + ")";
        return {};
    }
    return driver;
}

} // namespace host
