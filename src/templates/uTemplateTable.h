// The template table: every level of a template travels as a two-dimensional Variant array in
// attribute-major order, element [a, i] being attribute a of item i.
#pragma once

#include "framework/uCommonUtils.h"

#include <optional>

namespace tpl {

enum TSectionAttr : LONG { saName, saFixed, saPredefined, saCompositeStrings, SectionAttrCount };
enum TCompositeStringAttr : LONG {
    csFixed,
    csMinRows,
    csMaxRows,
    csCompositeFields,
    csPrintEmptyData,
    CompositeStringAttrCount
};
enum TCompositeFieldAttr : LONG {
    cfFixed,
    cfResizable,
    cfLength,
    cfHorizontalAlign,
    cfVerticalAlign,
    cfTextPlacement,
    cfSize,
    cfBold,
    cfItalic,
    cfUnderline,
    cfInversion,
    cfFields,
    CompositeFieldAttrCount
};
enum TFieldAttr : LONG {
    faName,
    faFixed,
    faPredefined,
    faType,
    faFormat,
    faIsParameter,
    faPrefix,
    faPostfix,
    faValue,
    FieldAttrCount
};

} // namespace tpl

// Reads one level of a template (or a parameter or value table). Indices count from the array's
// own lower bounds. Anything but a two-dimensional array is a broken template (ETemplateError).
class TTableReader {
public:
    explicit TTableReader(const Variant& table);
    LONG Count() const noexcept { return FCount; }
    Variant Item(LONG attr, LONG item) const;
    // The element in place, without a copy, when the table holds Variants and the element is no
    // reference; else nullptr. Valid as long as the table.
    const VARIANT* Ref(LONG attr, LONG item) const;
    // The conversions of the model: text (Empty and Null give an empty text), a 32-bit integer,
    // a flag (a Boolean, a number, or the words True and False in any case).
    WString Text(LONG attr, LONG item) const;
    LONG Integer(LONG attr, LONG item) const;
    bool Flag(LONG attr, LONG item) const;

private:
    ArrayReader FReader; // the table must outlive the reader
    SAFEARRAY* FArray;
    LONG FLower1 = 0, FLower2 = 0, FCount = 0;
};

// A decimal integer with an optional sign that fits 32 bits, and nothing else; leading spaces are
// allowed when asked for.
std::optional<LONG> DecimalInteger(WStringView text, bool leadingSpaces);

// The names of sections and fields compare as every name of the driver does (without regard to
// case, in the ANSI code page); plain Latin names are compared as they are, without conversion.
bool SameTemplateName(WStringView name, WStringView otherWide, const std::string& otherAnsi);

// Text of a value: Empty and Null give an empty text.
WString ValueText(const Variant& value);

// A raw element seen as the Variant that contains exactly it (the two have one layout).
inline const Variant& AsVariant(const VARIANT& raw) noexcept { return reinterpret_cast<const Variant&>(raw); }

// A deep copy that owns everything it holds: references are resolved at every level, so a
// stored template never points into the memory of the call that uploaded it. Arrays nested
// deeper than the limit are refused (ETemplateError).
Variant OwnedCopy(const Variant& value);
