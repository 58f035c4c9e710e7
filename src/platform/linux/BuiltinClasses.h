// Classes the stand-in provides itself, as Windows provides some classes with the system (the
// XML DOM): creatable by ProgID and CLSID without a registration.
#pragma once

#include <string_view>

#include "platform/Platform.h"

namespace platform::builtin {

// The CLSID of a built-in class's ProgID (compared without regard to case).
bool ClsidOfProgId(std::string_view progId, CLSID& clsid);
// The class object of a built-in class; CLASS_E_CLASSNOTAVAILABLE for any other CLSID.
HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv);

} // namespace platform::builtin
