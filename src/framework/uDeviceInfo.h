// The device information record, its array form for the host's GetDeviceInfo and the texts the
// settings dialog's information page shows of it.
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

// The maker's contact block: four lines "label:<TAB>value<CR><LF>".
WString FormatContactInfo(const TDeviceInfoStruct& info);

// "major.minor.build" of the record.
WString FormatVersion(const TDeviceInfoStruct& info);
