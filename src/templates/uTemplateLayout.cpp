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

WString LayoutBlock(const WString& Text, LONG Width, LONG Rows, LONG TextPlacement, LONG VerticalAlign,
                    LONG HorizontalAlign) {
    if (Width <= 0 || Rows <= 0)
        return {};
    const auto w = static_cast<size_t>(Width);
    const size_t total = w * static_cast<size_t>(Rows);
    WString source;
    WStringView s;
    if (TextPlacement == tpCut) {
        s = Text.size() <= w ? WStringView(Text) : (source = CutText(Text, Width, HorizontalAlign), WStringView(source));
    } else if (TextPlacement == tpMark) {
        s = Text.size() > w ? (source.assign(w, u'#'), WStringView(source)) : WStringView(Text);
    } else {
        s = Text.size() <= total ? WStringView(Text)
                                 : (source = CutText(Text, static_cast<LONG>(total), HorizontalAlign),
                                    WStringView(source));
    }
    WString chunks;
    chunks.reserve(total);
    for (size_t k = 0; k < static_cast<size_t>(Rows) && k * w < s.size(); ++k)
        AppendAligned(chunks, s.substr(k * w, w), Width, HorizontalAlign);
    const size_t emptyRows = (total - chunks.size()) / w;
    WString result;
    result.reserve(total);
    switch (VerticalAlign) {
    case vaBottom:
        result.assign(emptyRows * w, Space);
        result += chunks;
        break;
    case vaCentre:
        result.assign(emptyRows / 2 * w, Space);
        result += chunks;
        result.resize(total, Space);
        break;
    default:
        result = std::move(chunks);
        result.append(emptyRows * w, Space);
        break;
    }
    return result;
}
