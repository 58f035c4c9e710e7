// The setup interface and the configuration manager, loaded at run time: they are missing on some
// installations, and a driver that imported them would then not load at all. One loaded copy is
// shared by all users and released with the last of them.
#pragma once

#include "platform/Platform.h"

#include <cfgmgr32.h>
#include <setupapi.h>

#include <memory>

class TSetupApi {
public:
    // The loaded functions, or null when a library or one of the functions is missing.
    static std::shared_ptr<const TSetupApi> Acquire();
    ~TSetupApi();
    TSetupApi(const TSetupApi&) = delete;
    TSetupApi& operator=(const TSetupApi&) = delete;

    decltype(&SetupDiGetClassDevsA) GetClassDevs = nullptr;
    decltype(&SetupDiEnumDeviceInfo) EnumDeviceInfo = nullptr;
    decltype(&SetupDiEnumDeviceInterfaces) EnumDeviceInterfaces = nullptr;
    decltype(&SetupDiDestroyDeviceInfoList) DestroyDeviceInfoList = nullptr;
    decltype(&SetupDiGetDeviceInterfaceDetailA) GetDeviceInterfaceDetail = nullptr;
    decltype(&SetupDiGetDeviceRegistryPropertyA) GetDeviceRegistryProperty = nullptr;
    decltype(&SetupDiOpenClassRegKey) OpenClassRegKey = nullptr;
    decltype(&SetupDiOpenDevRegKey) OpenDevRegKey = nullptr;
    decltype(&CM_Get_DevNode_Status) GetDevNodeStatus = nullptr;

private:
    TSetupApi() = default;
    bool Load();
    HMODULE FSetupApi = nullptr;
    HMODULE FCfgMgr = nullptr;
};

// A device information set, destroyed with its owner.
class TDevInfoSet {
public:
    TDevInfoSet(const TSetupApi& Api, HDEVINFO Set) : FApi(Api), FSet(Set) {}
    ~TDevInfoSet() {
        if (Valid())
            FApi.DestroyDeviceInfoList(FSet);
    }
    TDevInfoSet(const TDevInfoSet&) = delete;
    TDevInfoSet& operator=(const TDevInfoSet&) = delete;
    bool Valid() const noexcept { return FSet != INVALID_HANDLE_VALUE && FSet != nullptr; }
    HDEVINFO Get() const noexcept { return FSet; }

private:
    const TSetupApi& FApi;
    HDEVINFO FSet;
};

// A registry key, closed with its owner.
class TRegKey {
public:
    explicit TRegKey(HKEY Key = nullptr) : FKey(Key == INVALID_HANDLE_VALUE ? nullptr : Key) {}
    ~TRegKey() {
        if (FKey)
            RegCloseKey(FKey);
    }
    TRegKey(const TRegKey&) = delete;
    TRegKey& operator=(const TRegKey&) = delete;
    HKEY Get() const noexcept { return FKey; }
    HKEY* Receive() noexcept { return &FKey; }

private:
    HKEY FKey;
};
