#include "resources/line_text.h"

#include <algorithm>

namespace vexlor {

LineText SplitLines(std::string_view text) {
    LineText result;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            continue;
        }
        result.lines.emplace_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < text.size()) {
        result.lines.emplace_back(text.substr(start));
    } else {
        result.endsWithLineBreak = !text.empty();
    }
    return result;
}

std::string JoinLines(const LineText& text, std::string_view lineBreak) {
    std::string joined;
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        if (i > 0) {
            joined += lineBreak;
        }
        joined += text.lines[i];
    }
    if (text.endsWithLineBreak) {
        joined += lineBreak;
    }
    return joined;
}

namespace {

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

}  // namespace vexlor
