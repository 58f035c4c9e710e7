#include "fiscal/uTextLayout.h"

#include <algorithm>

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

std::string_view TrimText(std::string_view text) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string CenterText(std::string_view text, int width) {
    text = TrimText(text);
    const std::size_t w = static_cast<std::size_t>(std::max(width, 0));
    if (text.size() >= w)
        return std::string(text.substr((text.size() - w) / 2, w));
    const std::size_t before = (w - text.size()) / 2;
    std::string line(before, ' ');
    line += text;
    line.resize(w, ' ');
    return line;
}

std::string JustifyPair(std::string_view left, std::string_view right, int width) {
    const std::size_t w = static_cast<std::size_t>(std::max(width, 0));
    if (right.size() >= w)
        return std::string(right.substr(0, w));
    std::string line(left.substr(0, w - right.size() - 1));
    line.resize(w - right.size(), ' ');
    line += right;
    return line;
}

std::string CenterLines(std::string_view text, int width) {
    const std::size_t w = static_cast<std::size_t>(std::max(width, 0));
    std::string out;
    for (const std::string& line : SplitLines(text)) {
        if (line.size() > w) {
            out.append(line, 0, w);
        } else {
            const std::size_t start = out.size();
            out.append((w - line.size()) / 2, ' ');
            out += line;
            out.resize(start + w, ' ');
        }
        out += LineBreak;
    }
    return out;
}
