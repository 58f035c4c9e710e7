// Where there is no window system the dialog cannot be shown. The answer is what an immediate OK
// without changes would be: true, with the parameter table untouched. A host takes false for
// "cancelled by the user", which nobody did, and a host that re-reads the settings after true
// finds them as they were.
#include "settings/ShowDriverSettings.h"

bool ShowDriverSettings(TDriverFR&) {
    return true;
}
