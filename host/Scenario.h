// The scenario model: what a host passes and what the user expects back, independent of the
// JSON form it was read from.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace host {

// One subscript of an array: one index per dimension, in the order of the array's dimensions
// (for a 2-D settings or goods table: attribute first, then item).
using Subscript = std::vector<LONG>;
using Path = std::vector<Subscript>;

enum class ValueKind {
    // Values a host can pass.
    Empty,
    Null,
    Bool,
    I2,
    I4,
    UI1,
    R8,
    Cy,
    Date,
    String,
    Array,   // 1-D Variant array: items
    Array2D, // 2-D Variant array: items[a] is an Array holding attribute a of every item
    Var,     // the current value of a variable (name), optionally an element of it (path)
    Object,  // the equipment manager or a null pointer, as VT_DISPATCH or VT_UNKNOWN
    // Only as a top-level argument: a reference.
    ByRef, // VT_BYREF|VT_VARIANT to a temporary holding items[0]
    Out,   // a variable passed by reference (name), as VT_BYREF|refType
    // Only in expectations.
    Any,      // matches every value
    TypeOf,   // matches any value of the VARIANT type refType
    Prefix,   // a 1-D array whose leading elements match items
    Contains, // a string containing text
};

struct Value {
    ValueKind kind = ValueKind::Empty;
    bool boolean = false;
    std::int64_t integer = 0; // I2, I4, UI1; currency in ten-thousandths
    double real = 0;          // R8; DATE in days since 30 December 1899
    std::string text;         // String (UTF-8), Contains; variable name of Var and Out
    std::vector<Value> items;
    LONG lbound[2] = {0, 0}; // lower bounds of Array and Array2D
    Path path;               // Var
    VARTYPE refType = VT_VARIANT; // Out: the referenced type; TypeOf: the type to match;
                                  // Object: VT_DISPATCH or VT_UNKNOWN
    bool nullObject = false;      // Object: a null pointer instead of the equipment manager
    bool exactType = false;       // in an expectation: written with its type tag ({"i4": 5}), so
                                  // only that VARIANT type matches; a bare 5 matches any number
    std::string source;           // the scenario text of this value, for messages
};

enum class Lifecycle {
    Full, // Init, Open, Enable before the steps; Disable, Close after them
    Open, // Init, Open before; Close after: the steps enable the device themselves
    None, // only the steps
};

enum class StepKind {
    Call,     // a command: (InData, var OutData, Timeout) -> Boolean
    Raw,      // any member by name or DISPID, any arguments and flags
    Set,      // change a variable or one of its elements
    Check,    // compare a variable or one of its elements with an expectation
    Print,    // show a variable
    ShowFile, // show a text file the driver wrote (the debug log)
};

struct Step {
    int number = 0;  // 1-based position in the scenario; 0 for the tool's own lifecycle calls
    StepKind kind = StepKind::Call;
    std::string name; // member name (Call, Raw) or variable name (Set, Check, Print)
    std::optional<DISPID> dispid; // Raw: call this DISPID without looking the name up

    // Call
    Value in;                       // InData
    std::string outVar = "OutData"; // variable that receives OutData
    Value timeout;                  // Timeout

    // Raw
    std::vector<Value> args; // in the host's call order
    WORD flags = DISPATCH_METHOD;
    std::string resultVar; // keeps the result when not empty

    // Expectations of Call and Raw
    std::optional<Value> expect; // the result
    HRESULT expectHr = S_OK;
    std::optional<Value> expectException; // description of the exception (DISP_E_EXCEPTION)
    std::vector<std::pair<std::string, Value>> expectVars; // variable -> expectation, after the call

    // Set, Check
    Path path;
    Value value; // Set: the new value; Check: the expectation

    // ShowFile
    std::string file; // relative to the device's folder; {today} stands for yyyy.mm.dd
    std::vector<std::string> expectContains; // texts the file must hold

    // A short label for messages: "step 3 (GetSettings)".
    std::string Label() const;
};

struct Scenario {
    std::string description;
    std::string deviceId = "1";
    bool deviceIdGiven = false;
    Lifecycle lifecycle = Lifecycle::Full;
    std::vector<Step> steps;
};

} // namespace host
