#pragma once

// Small text helpers shared by the platform layer (internal; not part of its interface).

#include <string>
#include <string_view>

namespace vexlor::platform_detail {

inline char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal without regard to ASCII letter case; other bytes must match exactly.
inline bool AsciiEqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

inline bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// `text` without the spaces and tabs at either end.
inline std::string_view TrimBlanks(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

inline bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

inline bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace vexlor::platform_detail
