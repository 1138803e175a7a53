#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace vexlor {

// A colour value: red + 256 x green + 65536 x blue, top byte 0.
using Colour = std::uint32_t;

inline constexpr Colour MakeColour(unsigned red, unsigned green, unsigned blue) {
    return (red & 0xFFu) | ((green & 0xFFu) << 8) | ((blue & 0xFFu) << 16);
}
inline constexpr unsigned RedOf(Colour c) {
    return c & 0xFFu;
}
inline constexpr unsigned GreenOf(Colour c) {
    return (c >> 8) & 0xFFu;
}
inline constexpr unsigned BlueOf(Colour c) {
    return (c >> 16) & 0xFFu;
}

// A library picture's palette: colour values as signed 32-bit numbers (they sort as signed).
using tPAL = std::vector<std::int32_t>;
// A library picture's encoded pixels.
using tPIX = std::vector<std::uint8_t>;

// Width x height colours, row 0 at the top.
struct TrueColourImage {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;

    TrueColourImage() = default;
    TrueColourImage(int w, int h, Colour fill = 0)
        : width(w),
          height(h),
          pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    Colour Pixel(int x, int y) const { return pixels[Offset(x, y)]; }
    void SetPixel(int x, int y, Colour c) { pixels[Offset(x, y)] = c; }

  private:
    std::size_t Offset(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x);
    }
};

// Width x height palette indices with their palette: what an 8-bit BMP file holds.
// Row 0 is the top row. An index at or beyond the end of the palette reads as black.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;
    std::vector<Colour> palette;

    IndexedImage() = default;
    IndexedImage(int w, int h, std::vector<Colour> pal = {})
        : width(w),
          height(h),
          indices(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0),
          palette(std::move(pal)) {}

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    std::uint8_t Index(int x, int y) const { return indices[Offset(x, y)]; }
    void SetIndex(int x, int y, std::uint8_t i) { indices[Offset(x, y)] = i; }
    Colour PaletteColour(std::size_t i) const { return i < palette.size() ? palette[i] : 0; }
    Colour PixelColour(int x, int y) const { return PaletteColour(Index(x, y)); }

  private:
    std::size_t Offset(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x);
    }
};

}  // namespace vexlor
