// Bringing a driver into the process the way a host does: registration of a given module, then
// creation by ProgID.
#pragma once

#include "framework/uCommonUtils.h"

#include <string>

namespace host {

// The apartment the tool's calls run in.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    HRESULT Result() const { return hr_; }

private:
    HRESULT hr_;
};

// Loads the module and runs its DllRegisterServer. Empty on success, else what went wrong.
std::string RegisterModule(const std::string& path);

// CLSIDFromProgID + CoCreateInstance for IDispatch. On failure the pointer is empty and error
// says which of the two failed and with what.
ComPtr<IDispatch> CreateByProgId(const std::string& progId, std::string& error);

} // namespace host
