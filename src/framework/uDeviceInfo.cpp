#include "framework/uDeviceInfo.h"

#include <cstdio>

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

WString FormatContactInfo(const TDeviceInfoStruct& info) {
    const char* labels[] = {"E-mail", "Web", "Тел", "Адрес"};
    const WString* values[] = {&info.MakerEMail, &info.MakerWeb, &info.MakerPhone, &info.MakerAddress};
    WString result;
    for (int i = 0; i < 4; ++i) {
        result += Utf8ToWide(labels[i]);
        result += Utf8ToWide(":\t");
        result += *values[i];
        result += Utf8ToWide("\r\n");
    }
    return result;
}

WString FormatVersion(const TDeviceInfoStruct& info) {
    char text[48];
    std::snprintf(text, sizeof text, "%d.%d.%d", static_cast<int>(info.VersionMajor),
                  static_cast<int>(info.VersionMinor), static_cast<int>(info.VersionBuild));
    return Utf8ToWide(text);
}
