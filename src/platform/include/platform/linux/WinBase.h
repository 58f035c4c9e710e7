// Filled in by the platform layer work.
#pragma once
#include "WinTypes.h"
