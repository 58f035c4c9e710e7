#include "Hresult.h"

#include <cstdio>

namespace host {

namespace {

struct NamedHresult {
    const char* name;
    HRESULT hr;
};

// The results a driver, a host or the runtime give on the calling road.
constexpr NamedHresult kNames[] = {
    {"S_OK", S_OK},
    {"S_FALSE", S_FALSE},
    {"E_NOTIMPL", E_NOTIMPL},
    {"E_NOINTERFACE", E_NOINTERFACE},
    {"E_POINTER", E_POINTER},
    {"E_FAIL", E_FAIL},
    {"E_UNEXPECTED", E_UNEXPECTED},
    {"E_OUTOFMEMORY", E_OUTOFMEMORY},
    {"E_INVALIDARG", E_INVALIDARG},
    {"DISP_E_MEMBERNOTFOUND", DISP_E_MEMBERNOTFOUND},
    {"DISP_E_PARAMNOTFOUND", DISP_E_PARAMNOTFOUND},
    {"DISP_E_TYPEMISMATCH", DISP_E_TYPEMISMATCH},
    {"DISP_E_UNKNOWNNAME", DISP_E_UNKNOWNNAME},
    {"DISP_E_BADVARTYPE", DISP_E_BADVARTYPE},
    {"DISP_E_EXCEPTION", DISP_E_EXCEPTION},
    {"DISP_E_OVERFLOW", DISP_E_OVERFLOW},
    {"DISP_E_BADINDEX", DISP_E_BADINDEX},
    {"DISP_E_BADPARAMCOUNT", DISP_E_BADPARAMCOUNT},
    {"DISP_E_PARAMNOTOPTIONAL", DISP_E_PARAMNOTOPTIONAL},
    {"REGDB_E_CLASSNOTREG", REGDB_E_CLASSNOTREG},
    {"CO_E_CLASSSTRING", CO_E_CLASSSTRING},
    {"CLASS_E_CLASSNOTAVAILABLE", CLASS_E_CLASSNOTAVAILABLE},
};

} // namespace

std::optional<HRESULT> HresultFromName(std::string_view name) {
    for (const auto& entry : kNames)
        if (name == entry.name)
            return entry.hr;
    return std::nullopt;
}

std::string HresultName(HRESULT hr) {
    for (const auto& entry : kNames)
        if (entry.hr == hr)
            return entry.name;
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

} // namespace host
