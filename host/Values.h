// Turning scenario values into VARIANTs, and reaching into the arrays a driver answers with.
#pragma once

#include "framework/uCommonUtils.h"
#include "Scenario.h"

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace host {

// A failure while running a step that is not the driver's answer (an element that is not there,
// a variable that has no value): it fails the step like an unmet expectation.
class RunError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "123.45", "-0.5", "7": currency in ten-thousandths, exactly; nullopt when more than four
// decimals are given, the text is not a number or it does not fit.
std::optional<std::int64_t> ParseCurrency(std::string_view text);

// "2026-12-07" or "2026-12-07T15:30:00" (also with a blank instead of T and with ".mmm").
std::optional<DATE> ParseDate(std::string_view text);

// The OLE date of a calendar date and time: days since 30 December 1899, the time as the
// fraction; before that day the fraction still counts forward from midnight.
DATE MakeOleDate(int year, int month, int day, int hour, int minute, int second, int millisecond = 0);

// The scenario's named variables. Out-arguments point straight at their VARIANT, so entries
// never move once made (std::map keeps nodes in place).
class Variables {
public:
    Variant* Find(const std::string& name);
    Variant& Get(const std::string& name); // RunError when the variable has no value yet
    Variant& Define(const std::string& name);
    const std::map<std::string, Variant>& All() const { return vars_; }

private:
    std::map<std::string, Variant> vars_;
};

struct BuildContext {
    Variables& vars;
    IDispatch* manager; // what {"dispatch": "manager"} passes
};

// An input value (anything but a reference) as a VARIANT; out must be empty.
void BuildVariant(const Value& value, const BuildContext& context, VARIANT& out);

// "(0)(1, 2)" for messages.
std::string PathText(const Path& path);

// A copy of the element the path names, starting from root (references followed).
void GetAt(const VARIANT& root, const Path& path, VARIANT& out);
// Replaces the element the path names by a copy of value; an empty path replaces root itself.
void SetAt(VARIANT& root, const Path& path, const VARIANT& value);

// Follows VT_BYREF|VT_VARIANT chains to the VARIANT that holds the value.
const VARIANT& Deref(const VARIANT& v);
VARIANT& Deref(VARIANT& v);

} // namespace host
