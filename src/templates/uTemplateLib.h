// The template library: the XML reader, the conversion and formatting of field values, and the
// layout of a column's text over the rows of its block.
#pragma once

#include "framework/uCommonUtils.h"

// ---------------------------------------------------------------------------------------------
// XML

// Reads a template from XML: Source is the path of an existing file or the XML text itself. When
// Number is negative it becomes the Template element's Number attribute. Result is the full form
// [Number, Description, template table], or Empty when the XML has no Template element or no
// Section element. Fails (an exception) when no XML DOM object can be created.
void LoadTemplateXml(const WString& Source, LONG& Number, WString& Description, Variant& Result);

// ---------------------------------------------------------------------------------------------
// Field values

// Field types.
enum TFieldType : LONG { ftText = 0, ftNumber = 1, ftDateTime = 2, ftHexText = 6 };

// The value read as the field's type: text, a number (text read with either decimal separator,
// 0 when it is no number), a date (text stays text), text decoded from hexadecimal pairs in the
// system's code page; any other type gives an empty text.
Variant ConvertFieldValue(const Variant& Value, LONG Type);

// A field's format directives as read from its Format: "name=value" lines separated by ";",
// each with a Latin and a Cyrillic name.
struct TFieldFormat {
    TFieldFormat() = default;
    explicit TFieldFormat(const WString& Format);
    bool Given = false;  // Format was not empty
    LONG Width = -1;     // ND, ЧЦ; negative: not given
    LONG Decimals = -1;  // NFD, ЧДЦ; negative: not given
    WString Separator;   // NDS, ЧРД; empty: not given
    bool LeadingZeros = false; // NLZ, ЧВН
    WString DatePattern; // DF, ДФ, its Cyrillic letters translated; empty: not given
    WString DecimalSeparator; // the system's, when the format was read
};
WString FormatFieldValue(const Variant& Value, LONG Type, const TFieldFormat& Format);

// The value's text under the field's format directives (ND, NFD, NDS, NLZ for numbers, DF for
// dates, or their Cyrillic names). A value that cannot be converted ends the formatting with
// what the text held so far.
WString FormatFieldValue(const Variant& Value, LONG Type, const WString& Format);

// Writes a date by a pattern (d, m, y, h, n, s, z, t, c, am/pm and their repetitions; quoted text
// copied) with the driver module's date and time formats.
WString FormatDatePattern(const WString& Pattern, DATE Value);

// ---------------------------------------------------------------------------------------------
// Layout. Horizontal: 0 left, 1 right, 2 centre; vertical: 0 top, 1 bottom, 2 centre; placement:
// 0 wrap over the rows, 1 cut to one row, 2 replace an over-long text by "#".

// The text laid out in Rows rows of Width characters (Width × Rows characters in all).
WString LayoutBlock(const WString& Text, LONG Width, LONG Rows, LONG TextPlacement, LONG VerticalAlign,
                    LONG HorizontalAlign);
// The same into a text whose storage is used again (a column laid out once per printing).
void LayoutBlockInto(WString& Block, const WString& Text, LONG Width, LONG Rows, LONG TextPlacement,
                     LONG VerticalAlign, LONG HorizontalAlign);
// At most Limit characters of the text: the first, the last (right) or the middle ones (centre).
WString CutText(const WString& Text, LONG Limit, LONG HorizontalAlign);
// The chunk padded with spaces to exactly Width characters.
WString AlignChunk(const WString& Chunk, LONG Width, LONG HorizontalAlign);
