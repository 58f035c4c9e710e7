// The settings dialog of the Orvel27 driver: the shell with the fiscal printer's page.
#pragma once

#include "fiscal/uDriverFR.h"

// Shows the dialog modally and answers true when the user closed it with OK; the dialog has
// written the confirmed values into the parameter table itself.
bool ShowDriverSettings(TDriverFR& Driver);
