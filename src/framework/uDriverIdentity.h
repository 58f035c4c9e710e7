// Fixed identity of the driver: the COM class, the driver ID the host files its settings
// under, and the maker's contacts. Chosen once; a host that has registered or configured the
// driver depends on them, so they never change between versions.
#pragma once

#include "platform/Platform.h"

// {EE1F1B94-EC65-49EF-A048-5D4605D83B1F}
inline constexpr CLSID CLSID_Orvel27 = {0xEE1F1B94, 0xEC65, 0x49EF, {0xA0, 0x48, 0x5D, 0x46, 0x05, 0xD8, 0x3B, 0x1F}};
inline constexpr char ClassIDText[] = "{EE1F1B94-EC65-49EF-A048-5D4605D83B1F}";
inline constexpr char DriverProgID[] = "Ovra.Orvel27";
inline constexpr char ServerDescription[] = "8.2 Equipment Driver 2.0";

// The driver ID reported to the host (a GUID without braces).
inline constexpr char DriverIDText[] = "85400594-997E-4BDB-91D7-5C9D95552A62";

// The maker and its contacts (UTF-8).
inline constexpr char MakerNameText[] = "Kelvo";
inline constexpr char MakerEMailText[] = "support@kelvo.example";
inline constexpr char MakerWebText[] = "https://www.kelvo.example";
inline constexpr char MakerPhoneText[] = "+7 (495) 555-01-27";
inline constexpr char MakerAddressText[] = "Россия, 101000, г. Москва, ул. Примерная, д. 27";

// The source the driver's events are filed under in the system's event log: the module's name.
inline constexpr char EventSourceName[] = "orvel27fr";
