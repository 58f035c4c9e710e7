// A column's text laid out over the rows of its block.
#include "templates/uTemplateLib.h"

#include <algorithm>

namespace {
enum : LONG { haLeft = 0, haRight = 1, haCentre = 2 };
enum : LONG { vaTop = 0, vaBottom = 1, vaCentre = 2 };
enum : LONG { tpWrap = 0, tpCut = 1, tpMark = 2 };
constexpr WCHAR Space = u' ';
} // namespace

WString CutText(const WString& Text, LONG Limit, LONG HorizontalAlign) {
    const auto length = static_cast<LONG>(Text.size());
    if (length <= Limit)
        return Text;
    if (Limit <= 0)
        return {};
    switch (HorizontalAlign) {
    case haRight:
        return Text.substr(static_cast<size_t>(length - Limit));
    case haCentre:
        return Text.substr(static_cast<size_t>((length - Limit) / 2), static_cast<size_t>(Limit));
    default:
        return Text.substr(0, static_cast<size_t>(Limit));
    }
}

namespace {

void AppendAligned(WString& out, WStringView chunk, LONG width, LONG horizontalAlign) {
    const LONG spaces = width - static_cast<LONG>(chunk.size());
    const LONG before = horizontalAlign == haRight ? spaces : horizontalAlign == haCentre ? spaces / 2 : 0;
    out.append(static_cast<size_t>(std::max<LONG>(before, 0)), Space);
    out.append(chunk);
    out.append(static_cast<size_t>(std::max<LONG>(spaces - before, 0)), Space);
}

} // namespace

WString AlignChunk(const WString& Chunk, LONG Width, LONG HorizontalAlign) {
    WString out;
    AppendAligned(out, Chunk, Width, HorizontalAlign);
    return out;
}

void LayoutBlockInto(WString& Block, const WString& Text, LONG Width, LONG Rows, LONG TextPlacement,
                     LONG VerticalAlign, LONG HorizontalAlign) {
    Block.clear();
    if (Width <= 0 || Rows <= 0)
        return;
    const auto w = static_cast<size_t>(Width);
    const size_t total = w * static_cast<size_t>(Rows);
    WString source;
    WStringView s = Text;
    if (TextPlacement == tpCut) {
        if (Text.size() > w)
            s = source = CutText(Text, Width, HorizontalAlign);
    } else if (TextPlacement == tpMark) {
        if (Text.size() > w)
            s = source.assign(w, u'#');
    } else if (Text.size() > total) {
        s = source = CutText(Text, static_cast<LONG>(total), HorizontalAlign);
    }
    // The rows with text, aligned, then the empty rows placed as the vertical alignment says.
    size_t textRows = 0;
    while (textRows < static_cast<size_t>(Rows) && textRows * w < s.size())
        ++textRows;
    const size_t emptyRows = static_cast<size_t>(Rows) - textRows;
    const size_t above = VerticalAlign == vaBottom ? emptyRows : VerticalAlign == vaCentre ? emptyRows / 2 : 0;
    Block.reserve(total);
    Block.append(above * w, Space);
    for (size_t k = 0; k < textRows; ++k)
        AppendAligned(Block, s.substr(k * w, w), Width, HorizontalAlign);
    Block.append(total - Block.size(), Space);
}

WString LayoutBlock(const WString& Text, LONG Width, LONG Rows, LONG TextPlacement, LONG VerticalAlign,
                    LONG HorizontalAlign) {
    WString block;
    LayoutBlockInto(block, Text, Width, Rows, TextPlacement, VerticalAlign, HorizontalAlign);
    return block;
}
