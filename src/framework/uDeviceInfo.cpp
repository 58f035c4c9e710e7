#include "framework/uDeviceInfo.h"

Variant DeviceInfoToArray(const TDeviceInfoStruct& info) {
    return MakeVariantArray({
        Variant(info.DeviceKind),
        Variant(info.DriverID),
        Variant(info.DriverName),
        Variant(info.VersionMajor),
        Variant(info.VersionMinor),
        Variant(info.VersionBuild),
        Variant(info.ProgID),
        Variant(info.InfoNumber),
        Variant(info.HasSettingsDialog),
        Variant(info.DriverDescription),
        Variant(info.MakerName),
        Variant(info.MakerEMail),
        Variant(info.MakerWeb),
        Variant(info.MakerPhone),
        Variant(info.MakerAddress),
    });
}
