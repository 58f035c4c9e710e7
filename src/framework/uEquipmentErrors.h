// Error codes with their standard messages, and device kind names. It needs nothing but the text
// conversions, so every other module (the driver's exceptions first) may take its texts from here.
#pragma once

#include "framework/uTextConversion.h"

// Codes the driver itself raises; the full table lives in uEquipmentErrors.cpp.
enum : LONG {
    ErrNone = 0,
    ErrDeviceNotEnabled = 70,
    ErrTimeout = 74,
    ErrCancelledByUser = 201,
    ErrUnknown = 1001,
    ErrCommandNotRecognized = 1002,
    ErrCommandNotSupported = 1003,
    ErrInvalidParameters = 1004,
    ErrDeviceNotFound = 1005,
    ErrLibraryNotFound = 1006,
    ErrDeviceNotResponding = 1007,
    ErrDeviceNotReady = 1008,
    ErrDeviceBusy = 1009,
    ErrWrongLibraryVersion = 1010,
    ErrPortUnavailable = 1011,
    ErrPortBusy = 1012,
    ErrProtocol = 1014,
};

// The standard message of a code (UTF-8); the message of 1001 for a code without one.
const char* ErrorMessageUtf8(LONG code) noexcept;

// text when it is not empty, else the standard message of the code.
WString GetErrorDescription(LONG code, WStringView text);

// Display name of a device kind code (exact, case-sensitive); an unknown kind comes back as is.
WString GetDeviceTypeName(WStringView kind);
