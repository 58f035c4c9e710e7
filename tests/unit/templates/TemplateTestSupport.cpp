#include "TemplateTestSupport.h"

namespace tpltest {

// The stand-in's regional settings can be switched; Windows keeps the installation's, which the
// Wine rig sets to Russian (a decimal comma), or to a locale with a decimal point for a second run
// of these tests.
#ifdef _WIN32
TDecimalPoint::TDecimalPoint() {
    WCHAR separator[8] = {};
    FActive = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) > 0 && std::wstring(separator) == L".";
}
TDecimalPoint::~TDecimalPoint() {}
#else
TDecimalPoint::TDecimalPoint() {
    FActive = PlatformSetUserDefaultLCID(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT), SORT_DEFAULT)) != FALSE;
}
TDecimalPoint::~TDecimalPoint() {
    PlatformSetUserDefaultLCID(MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT));
}
#endif

} // namespace tpltest
