#include "demo/digit_font.h"

#include <array>
#include <string>

namespace vexlor::demo {

namespace {

constexpr int kColumns = 3;
constexpr int kRows = 5;

// One row per string, '#' for a lit cell.
using Glyph = std::array<const char*, kRows>;

constexpr std::array<Glyph, 10> kDigits = {{
    {"###", "#.#", "#.#", "#.#", "###"},
    {".#.", "##.", ".#.", ".#.", "###"},
    {"###", "..#", "###", "#..", "###"},
    {"###", "..#", ".##", "..#", "###"},
    {"#.#", "#.#", "###", "..#", "..#"},
    {"###", "#..", "###", "..#", "###"},
    {"###", "#..", "###", "#.#", "###"},
    {"###", "..#", ".#.", ".#.", ".#."},
    {"###", "#.#", "###", "#.#", "###"},
    {"###", "#.#", "###", "..#", "###"},
}};

void DrawDigit(PictureCanvas& canvas, const Glyph& glyph, int left, int top, int cellSize,
               std::uint8_t index) {
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            if (glyph[static_cast<std::size_t>(row)][column] != '#') {
                continue;
            }
            const int x = left + column * cellSize;
            const int y = top + row * cellSize;
            canvas.FillRect(x, y, x + cellSize, y + cellSize, index);
        }
    }
}

}  // namespace

int DrawNumber(PictureCanvas& canvas, int number, int left, int top, int cellSize,
               std::uint8_t index) {
    const std::string digits = std::to_string(number < 0 ? 0 : number);
    const int advance = (kColumns + 1) * cellSize;
    int x = left;
    for (const char digit : digits) {
        DrawDigit(canvas, kDigits[static_cast<std::size_t>(digit - '0')], x, top, cellSize, index);
        x += advance;
    }
    return static_cast<int>(digits.size()) * advance - cellSize;
}

}  // namespace vexlor::demo
