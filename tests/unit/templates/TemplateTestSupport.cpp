#include "TemplateTestSupport.h"

namespace tpltest {

// The stand-in's regional settings can be switched; Windows keeps the installation's, which the
// Wine prefix sets to Russian (a decimal comma).
#ifdef _WIN32
TDecimalPoint::TDecimalPoint() {}
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
