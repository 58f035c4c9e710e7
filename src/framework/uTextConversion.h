// Text conversions. Three encodings meet in the driver and each function names the one it takes:
//   UTF-8   std::string holding the literals of our sources;
//   UTF-16  WString, the contents of a BSTR;
//   ANSI    std::string in the system's ANSI code page (short names, the log, the printer).
// This is the one place that converts between them; it needs nothing but the platform.
#pragma once

#include "platform/Platform.h"

#include <string>
#include <string_view>

using WString = std::basic_string<WCHAR>;
using WStringView = std::basic_string_view<WCHAR>;

WString Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(WStringView wide);
WString AnsiToWide(std::string_view ansi);
std::string WideToAnsi(WStringView wide);
std::string Utf8ToAnsi(std::string_view utf8);
std::string AnsiToUtf8(std::string_view ansi);
