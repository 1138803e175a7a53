#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vexlor {

// A text of 8-bit characters taken apart at its line breaks. A final line break is remembered
// instead of making an empty last line, so joining gives back the same lines.
struct LineText {
    std::vector<std::string> lines;
    bool endsWithLineBreak = false;

    bool operator==(const LineText&) const = default;
};

// Every CR LF, lone CR or lone LF ends a line.
LineText SplitLines(std::string_view text);
std::string JoinLines(const LineText& text, std::string_view lineBreak);

// Equal when only the letters A to Z differ in case.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace vexlor
