#include "emulator/Paper.h"

#include "PaperTexts.h"
#include "emulator/Encoding.h"
#include "emulator/StateFiles.h"

namespace azimuth {

std::string Center(std::string_view text) {
    if (text.size() >= kPaperWidth)
        return std::string(text.substr(0, kPaperWidth));
    std::size_t pad = (kPaperWidth - text.size()) / 2;
    return std::string(pad, ' ') + std::string(text);
}

std::string Pair(std::string_view left, std::string_view right) {
    if (right.size() >= kPaperWidth)
        return std::string(right.substr(0, kPaperWidth));
    std::size_t room = kPaperWidth - right.size() - 1;
    std::string l(left.substr(0, std::min(room, left.size())));
    return l + std::string(kPaperWidth - l.size() - right.size(), ' ') + std::string(right);
}

Lines Wrap(std::string_view text) {
    Lines lines;
    std::string line;
    bool pending = false; // a line was started (even an empty one)
    auto flush = [&] {
        lines.push_back(line);
        line.clear();
        pending = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            flush();
            continue;
        }
        if (c == '\t')
            c = ' ';
        if (c < 0x20 || c == 0x7F)
            continue;
        if (line.size() == kPaperWidth)
            flush();
        line += static_cast<char>(c);
        pending = true;
    }
    if (pending)
        flush();
    return lines;
}

// A form feed never survives Wrap, so it can stand for the cut until the line reaches the file,
// where the mark is written in UTF-8 (the scissors have no CP1251 code).
std::string CutMark() { return "\f"; }

void PrintLines(const std::filesystem::path& folder, const Lines& lines) {
    if (lines.empty())
        return;
    std::string out;
    for (const auto& line : lines)
        out += (line == CutMark() ? std::string(paper::kCut) : Cp1251ToUtf8(line.substr(0, kPaperWidth))) + "\n";
    AppendToFile(folder / files::kPaper, out);
}

} // namespace azimuth
