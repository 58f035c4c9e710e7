// The one creatable class of the server. The class factory creates every object through this
// function; the concrete driver provides it, and until then the stand-in does.
#pragma once

#include "framework/uBaseObject.h"

// A new, initialized object holding the caller's one reference. Throws on failure.
ComPtr<TBaseObject> CreateDriverObject();
