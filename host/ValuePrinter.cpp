#include "ValuePrinter.h"

#include "framework/uLogText.h"

namespace host {

std::string LogText(const VARIANT& value) {
    return AnsiToUtf8(VariantToLogText(value));
}

std::string LogTextOfList(const std::vector<const VARIANT*>& values) {
    std::vector<Variant> items;
    items.reserve(values.size());
    for (const VARIANT* value : values)
        items.push_back(Variant::CopyOf(*value));
    return LogText(MakeVariantArray(std::move(items)).Raw());
}

std::string VarTypeName(VARTYPE vt) {
    static const struct {
        VARTYPE vt;
        const char* name;
    } kNames[] = {{VT_EMPTY, "VT_EMPTY"},     {VT_NULL, "VT_NULL"},       {VT_I2, "VT_I2"},
                  {VT_I4, "VT_I4"},           {VT_R4, "VT_R4"},           {VT_R8, "VT_R8"},
                  {VT_CY, "VT_CY"},           {VT_DATE, "VT_DATE"},       {VT_BSTR, "VT_BSTR"},
                  {VT_DISPATCH, "VT_DISPATCH"}, {VT_ERROR, "VT_ERROR"},   {VT_BOOL, "VT_BOOL"},
                  {VT_VARIANT, "VT_VARIANT"}, {VT_UNKNOWN, "VT_UNKNOWN"}, {VT_I1, "VT_I1"},
                  {VT_UI1, "VT_UI1"},         {VT_UI2, "VT_UI2"},         {VT_UI4, "VT_UI4"},
                  {VT_I8, "VT_I8"},           {VT_UI8, "VT_UI8"},         {VT_INT, "VT_INT"},
                  {VT_UINT, "VT_UINT"}};
    std::string prefix;
    if (vt & VT_BYREF)
        prefix += "VT_BYREF|";
    if (vt & VT_ARRAY)
        prefix += "VT_ARRAY|";
    VARTYPE base = vt & VT_TYPEMASK;
    for (const auto& entry : kNames)
        if (entry.vt == base)
            return prefix + entry.name;
    return prefix + "VT_" + std::to_string(base);
}

} // namespace host
