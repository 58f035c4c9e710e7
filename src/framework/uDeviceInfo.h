// The device information record and its array form for the host's GetDeviceInfo.
#pragma once

#include "framework/uCommonUtils.h"

struct TDeviceInfoStruct {
    WString DeviceKind;
    WString DriverID;
    WString DriverName;
    LONG VersionMajor = 0;
    LONG VersionMinor = 0;
    LONG VersionBuild = 0;
    WString ProgID;
    LONG InfoNumber = 1;
    bool HasSettingsDialog = false;
    WString DriverDescription;
    WString MakerName;
    WString MakerEMail;
    WString MakerWeb;
    WString MakerPhone;
    WString MakerAddress;
};

// One-dimensional Variant array [0..14] in record order: strings as BSTR, numbers as VT_I4,
// the settings-dialog flag as VT_BOOL.
Variant DeviceInfoToArray(const TDeviceInfoStruct& info);
