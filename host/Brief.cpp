#include "Brief.h"

#include "Text.h"
#include "Values.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace host {

namespace {

// Cuts text to width characters (not bytes: the texts are Russian), marking the cut.
std::string Shorten(const std::string& utf8, std::size_t width) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80)
            continue;
        if (++chars > width)
            return utf8.substr(0, i) + "…";
    }
    return utf8;
}

std::string ScalarText(const VARIANT& value, std::size_t width) {
    switch (value.vt) {
    case VT_EMPTY:
        return "Empty";
    case VT_NULL:
        return "Null";
    case VT_BSTR: {
        // Appended rather than added up: GCC's -Wrestrict misreads "'" + text at -O3.
        std::string quoted(1, '\'');
        quoted += Shorten(BstrToUtf8(value.bstrVal), width);
        quoted += '\'';
        return quoted;
    }
    default:
        try {
            return Shorten(WideToUtf8(Variant::CopyOf(value).AsWide()), width);
        } catch (const EDriverError&) {
            return "(type " + std::to_string(value.vt) + ")";
        }
    }
}

// The value itself, or the one array a 1-D array of one element holds (the settings table
// travels as [table]).
Variant Unwrapped(const VARIANT& raw) {
    const VARIANT& value = Deref(raw);
    if (ArrayReader::IsArray(value)) {
        ArrayReader array(value);
        if (array.Dims() == 1 && array.Count() == 1) {
            Variant only = array.Item(array.Lower());
            if (ArrayReader::IsArray(only.Raw()))
                return only;
        }
    }
    return Variant::CopyOf(value);
}

} // namespace

std::string BriefValue(const VARIANT& raw, std::size_t maxWidth) {
    const Variant value = Unwrapped(raw);
    if (!ArrayReader::IsArray(value.Raw()))
        return ScalarText(value.Raw(), maxWidth);
    ArrayReader array(value.Raw());
    if (array.Dims() == 2)
        return "table of " + std::to_string(array.Count(2)) + " rows × " + std::to_string(array.Count(1)) +
               " columns";
    if (array.Dims() != 1)
        return std::to_string(array.Dims()) + "-dimensional array";
    std::string text;
    LONG shown = 0;
    for (LONG i = array.Lower(); i <= array.Upper(); ++i, ++shown) {
        const Variant item = array.Item(i);
        std::string next = ArrayReader::IsArray(item.Raw()) ? "[…]" : ScalarText(item.Raw(), 24);
        if (shown > 0 && text.size() + next.size() > maxWidth)
            break;
        text += (shown ? "; " : "") + next;
    }
    if (shown == array.Count())
        return "[" + text + "]";
    return std::to_string(array.Count()) + " values [" + text + "; …]";
}

std::vector<std::string> BriefTableRows(const VARIANT& raw, std::size_t rows, std::size_t maxWidth) {
    const Variant value = Unwrapped(raw);
    std::vector<std::string> lines;
    if (!ArrayReader::IsArray(value.Raw()))
        return lines;
    ArrayReader array(value.Raw());
    if (array.Dims() != 2)
        return lines;
    LONG i = array.Lower(2);
    for (; i <= array.Upper(2) && lines.size() < rows; ++i) {
        std::string line;
        for (LONG a = array.Lower(1); a <= array.Upper(1); ++a)
            line += (a == array.Lower(1) ? "" : " | ") + ScalarText(array.Item(a, i).Raw(), 30);
        lines.push_back(Shorten(line, maxWidth));
    }
    if (i <= array.Upper(2))
        lines.push_back("…");
    return lines;
}

void PaperWatch::Mark() {
    std::error_code ec;
    mark_ = Active() ? std::filesystem::file_size(PathFromUtf8(file_), ec) : 0;
    if (ec)
        mark_ = 0;
}

std::vector<std::string> PaperWatch::Take() {
    std::vector<std::string> lines;
    if (!Active())
        return lines;
    std::ifstream file(PathFromUtf8(file_), std::ios::binary);
    if (!file)
        return lines;
    file.seekg(static_cast<std::streamoff>(mark_));
    std::stringstream text;
    text << file.rdbuf();
    std::istringstream stream(text.str());
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    Mark();
    return lines;
}

} // namespace host
