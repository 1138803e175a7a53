#pragma once

#include <cstdint>
#include <vector>

#include "library/images.h"

namespace vexlor::demo {

struct Point {
    double x = 0;
    double y = 0;
};

// A 256-colour picture to draw filled shapes into. A pixel belongs to a shape when its centre
// lies inside it, so edges stay hard (one palette index per pixel, as the library encodings
// want) and a drawing made in proportions comes out alike at 32 and at 180 pixels.
class PictureCanvas {
  public:
    // Every pixel starts as palette index 0.
    PictureCanvas(int width, int height, std::vector<Colour> palette);

    int Width() const { return image_.width; }
    int Height() const { return image_.height; }

    void FillRect(double left, double top, double right, double bottom, std::uint8_t index);
    void FillEllipse(Point centre, double radiusX, double radiusY, std::uint8_t index);
    // Even-odd filling, so any simple polygon works, convex or not.
    void FillPolygon(const std::vector<Point>& corners, std::uint8_t index);
    // Pixels outside the picture are ignored.
    void SetPixel(int x, int y, std::uint8_t index);
    // Index 0 outside the picture.
    std::uint8_t PixelAt(int x, int y) const;

    const IndexedImage& Image() const { return image_; }

  private:
    void FillSpan(int y, double fromX, double toX, std::uint8_t index);

    IndexedImage image_;
};

}  // namespace vexlor::demo
