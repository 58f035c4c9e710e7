// The settings dialog on Windows.
#include "settings/ShowDriverSettings.h"

bool ShowDriverSettings(TDriverFR&) {
    return false;
}
