#include "Expectation.h"

#include "Text.h"
#include "ValuePrinter.h"
#include "Values.h"

#include <cmath>

namespace host {

namespace {

// Half a millisecond, in days: dates are compared to the millisecond.
constexpr double kDateTolerance = 0.5 / 86400000.0;

std::optional<std::int64_t> IntegerOf(const VARIANT& v) {
    switch (v.vt) {
    case VT_I1:
        return v.cVal;
    case VT_UI1:
        return v.bVal;
    case VT_I2:
        return v.iVal;
    case VT_UI2:
        return v.uiVal;
    case VT_I4:
        return v.lVal;
    case VT_UI4:
        return v.ulVal;
    case VT_INT:
        return v.intVal;
    case VT_UINT:
        return v.uintVal;
    case VT_I8:
        return v.llVal;
    default:
        return std::nullopt;
    }
}

std::optional<double> NumberOf(const VARIANT& v) {
    if (auto n = IntegerOf(v))
        return static_cast<double>(*n);
    switch (v.vt) {
    case VT_UI8:
        return static_cast<double>(v.ullVal);
    case VT_R4:
        return v.fltVal;
    case VT_R8:
        return v.dblVal;
    case VT_CY:
        return static_cast<double>(v.cyVal.int64) / 10000.0;
    default:
        return std::nullopt;
    }
}

class Matcher {
public:
    std::optional<std::string> Run(const Value& expected, const VARIANT& actualRef, const std::string& where) {
        const VARIANT& actual = Deref(actualRef);
        if (Accepts(expected, actual, where))
            return std::nullopt;
        if (!message_.empty())
            return message_;
        return Differs(expected, actual, where);
    }

private:
    std::string message_; // set by a nested mismatch, which explains itself better

    static std::string Differs(const Value& expected, const VARIANT& actual, const std::string& where) {
        std::string text = LogText(actual);
        return (where.empty() ? "" : where + ": ") + "expected " + expected.source + ", got " +
               (text.empty() ? "a value" : text) + " (" + VarTypeName(actual.vt) + ")";
    }

    bool Nested(const Value& expected, const VARIANT& element, const std::string& where) {
        auto mismatch = Run(expected, element, where);
        if (mismatch)
            message_ = *mismatch;
        return !mismatch;
    }

    static SAFEARRAY* ArrayOf(const VARIANT& v) {
        if (!(v.vt & VT_ARRAY) || (v.vt & VT_TYPEMASK) != VT_VARIANT)
            return nullptr;
        return (v.vt & VT_BYREF) ? (v.pparray ? *v.pparray : nullptr) : v.parray;
    }

    static bool Bounds(SAFEARRAY* array, UINT dimension, LONG& low, LONG& count) {
        LONG high = 0;
        if (FAILED(SafeArrayGetLBound(array, dimension, &low)) || FAILED(SafeArrayGetUBound(array, dimension, &high)))
            return false;
        count = high - low + 1;
        return true;
    }

    bool Elements1D(const Value& expected, SAFEARRAY* array, bool prefix, const std::string& where) {
        LONG low = 0, count = 0;
        if (SafeArrayGetDim(array) != 1 || !Bounds(array, 1, low, count))
            return false;
        auto wanted = static_cast<LONG>(expected.items.size());
        if (prefix ? count < wanted : (count != wanted || low != expected.lbound[0]))
            return false;
        for (LONG i = 0; i < wanted; ++i) {
            LONG index = low + i;
            Variant element;
            if (FAILED(SafeArrayGetElement(array, &index, element.Receive())))
                return false;
            if (!Nested(expected.items[i], element.Raw(), where + "(" + std::to_string(index) + ")"))
                return false;
        }
        return true;
    }

    bool Elements2D(const Value& expected, SAFEARRAY* array, const std::string& where) {
        LONG low[2] = {}, count[2] = {};
        if (SafeArrayGetDim(array) != 2 || !Bounds(array, 1, low[0], count[0]) || !Bounds(array, 2, low[1], count[1]))
            return false;
        auto attributes = static_cast<LONG>(expected.items.size());
        auto items = attributes ? static_cast<LONG>(expected.items.front().items.size()) : 0;
        if (count[0] != attributes || count[1] != items || low[0] != expected.lbound[0] || low[1] != expected.lbound[1])
            return false;
        for (LONG a = 0; a < attributes; ++a) {
            for (LONG i = 0; i < items; ++i) {
                LONG indices[2] = {low[0] + a, low[1] + i};
                Variant element;
                if (FAILED(SafeArrayGetElement(array, indices, element.Receive())))
                    return false;
                std::string at = where + "(" + std::to_string(indices[0]) + ", " + std::to_string(indices[1]) + ")";
                if (!Nested(expected.items[a].items[i], element.Raw(), at))
                    return false;
            }
        }
        return true;
    }

    bool Accepts(const Value& expected, const VARIANT& actual, const std::string& where) {
        switch (expected.kind) {
        case ValueKind::Any:
            return true;
        case ValueKind::TypeOf:
            return expected.refType == (VT_ARRAY | VT_VARIANT) ? (actual.vt & VT_ARRAY) != 0
                                                               : actual.vt == expected.refType;
        case ValueKind::Empty:
            return actual.vt == VT_EMPTY;
        case ValueKind::Null:
            return actual.vt == VT_NULL;
        case ValueKind::Bool:
            return actual.vt == VT_BOOL && (actual.boolVal != 0) == expected.boolean;
        case ValueKind::I2:
        case ValueKind::I4:
        case ValueKind::UI1: {
            if (expected.exactType) {
                VARTYPE vt = expected.kind == ValueKind::I2 ? VT_I2 : expected.kind == ValueKind::I4 ? VT_I4 : VT_UI1;
                if (actual.vt != vt)
                    return false;
            }
            if (auto n = IntegerOf(actual))
                return *n == expected.integer;
            auto x = NumberOf(actual);
            return x && *x == static_cast<double>(expected.integer);
        }
        case ValueKind::R8: {
            if (expected.exactType && actual.vt != VT_R8)
                return false;
            auto x = NumberOf(actual);
            return x && *x == expected.real;
        }
        case ValueKind::Cy:
            return actual.vt == VT_CY && actual.cyVal.int64 == expected.integer;
        case ValueKind::Date:
            return actual.vt == VT_DATE && std::fabs(actual.date - expected.real) < kDateTolerance;
        case ValueKind::String:
            return actual.vt == VT_BSTR && BstrToUtf8(actual.bstrVal) == expected.text;
        case ValueKind::Contains:
            return actual.vt == VT_BSTR && BstrToUtf8(actual.bstrVal).find(expected.text) != std::string::npos;
        case ValueKind::Array:
        case ValueKind::Prefix: {
            SAFEARRAY* array = ArrayOf(actual);
            return array && Elements1D(expected, array, expected.kind == ValueKind::Prefix, where);
        }
        case ValueKind::Array2D: {
            SAFEARRAY* array = ArrayOf(actual);
            return array && Elements2D(expected, array, where);
        }
        case ValueKind::Var:
        case ValueKind::Object:
        case ValueKind::ByRef:
        case ValueKind::Out:
            return false; // the reader keeps these out of expectations
        }
        return false;
    }
};

} // namespace

std::optional<std::string> Match(const Value& expected, const VARIANT& actual) {
    return Matcher().Run(expected, actual, "");
}

} // namespace host
