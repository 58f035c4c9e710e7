#include "ports/win32/SetupApi.h"

#include "platform/PlatformExt.h"

#include <mutex>

namespace {

std::mutex LoadLock;
std::weak_ptr<const TSetupApi> Loaded;

template <typename T>
bool Resolve(HMODULE Module, const char* Name, T& Target) {
    Target = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(Module, Name)));
    return Target != nullptr;
}

} // namespace

std::shared_ptr<const TSetupApi> TSetupApi::Acquire() {
    std::lock_guard<std::mutex> lock(LoadLock);
    if (auto api = Loaded.lock())
        return api;
    std::shared_ptr<TSetupApi> api(new TSetupApi());
    if (!api->Load())
        return nullptr;
    Loaded = api;
    return api;
}

bool TSetupApi::Load() {
    FSetupApi = platform::LoadSystemLibrary(L"setupapi.dll");
    FCfgMgr = platform::LoadSystemLibrary(L"cfgmgr32.dll");
    return FSetupApi && FCfgMgr && Resolve(FSetupApi, "SetupDiGetClassDevsA", GetClassDevs) &&
           Resolve(FSetupApi, "SetupDiEnumDeviceInfo", EnumDeviceInfo) &&
           Resolve(FSetupApi, "SetupDiEnumDeviceInterfaces", EnumDeviceInterfaces) &&
           Resolve(FSetupApi, "SetupDiDestroyDeviceInfoList", DestroyDeviceInfoList) &&
           Resolve(FSetupApi, "SetupDiGetDeviceInterfaceDetailA", GetDeviceInterfaceDetail) &&
           Resolve(FSetupApi, "SetupDiGetDeviceRegistryPropertyA", GetDeviceRegistryProperty) &&
           Resolve(FSetupApi, "SetupDiOpenClassRegKey", OpenClassRegKey) &&
           Resolve(FSetupApi, "SetupDiOpenDevRegKey", OpenDevRegKey) &&
           Resolve(FCfgMgr, "CM_Get_DevNode_Status", GetDevNodeStatus);
}

TSetupApi::~TSetupApi() {
    if (FCfgMgr)
        FreeLibrary(FCfgMgr);
    if (FSetupApi)
        FreeLibrary(FSetupApi);
}
