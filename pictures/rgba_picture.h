#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vexlor {

// A picture as a picture file gives it: four bytes per pixel, red, green, blue and alpha, alpha
// not multiplied in, row 0 at the top.
struct RgbaPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
    // The file stores per-pixel transparency (alpha samples, an alpha mask, a transparent
    // palette entry); without it, the top-left colour rule of the conversion applies.
    bool hasAlpha = false;

    RgbaPicture() = default;
    RgbaPicture(int w, int h)
        : width(w),
          height(h),
          rgba(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4, 0) {}

    bool IsEmpty() const { return width <= 0 || height <= 0; }
    std::size_t PixelCount() const {
        return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    }
    std::uint8_t* Pixel(int x, int y) { return rgba.data() + Offset(x, y); }
    const std::uint8_t* Pixel(int x, int y) const { return rgba.data() + Offset(x, y); }

  private:
    std::size_t Offset(int x, int y) const {
        return (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(x)) *
               4;
    }
};

}  // namespace vexlor
