#include "demo/picture_canvas.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vexlor::demo {

namespace {

// The x where the edge from `a` to `b` crosses the horizontal line at `y`, if it does. An edge
// owns its upper end but not its lower one, so a corner shared by two edges counts once.
bool CrossingAt(Point a, Point b, double y, double& x) {
    if ((a.y <= y) == (b.y <= y)) {
        return false;
    }
    x = a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y);
    return true;
}

}  // namespace

PictureCanvas::PictureCanvas(int width, int height, std::vector<Colour> palette)
    : image_(width, height, std::move(palette)) {}

void PictureCanvas::SetPixel(int x, int y, std::uint8_t index) {
    if (image_.Contains(x, y)) {
        image_.SetIndex(x, y, index);
    }
}

std::uint8_t PictureCanvas::PixelAt(int x, int y) const {
    return image_.Contains(x, y) ? image_.Index(x, y) : std::uint8_t{0};
}

// Pixels of row y whose centres lie in [fromX, toX].
void PictureCanvas::FillSpan(int y, double fromX, double toX, std::uint8_t index) {
    const int first = std::max(0, static_cast<int>(std::ceil(fromX - 0.5)));
    const int last = std::min(Width() - 1, static_cast<int>(std::floor(toX - 0.5)));
    for (int x = first; x <= last; ++x) {
        SetPixel(x, y, index);
    }
}

void PictureCanvas::FillRect(double left, double top, double right, double bottom,
                             std::uint8_t index) {
    FillPolygon({{left, top}, {right, top}, {right, bottom}, {left, bottom}}, index);
}

void PictureCanvas::FillEllipse(Point centre, double radiusX, double radiusY, std::uint8_t index) {
    if (radiusX <= 0 || radiusY <= 0) {
        return;
    }
    for (int y = 0; y < Height(); ++y) {
        const double dy = (y + 0.5 - centre.y) / radiusY;
        if (dy * dy > 1) {
            continue;
        }
        const double halfWidth = radiusX * std::sqrt(1 - dy * dy);
        FillSpan(y, centre.x - halfWidth, centre.x + halfWidth, index);
    }
}

void PictureCanvas::FillPolygon(const std::vector<Point>& corners, std::uint8_t index) {
    std::vector<double> crossings;
    for (int y = 0; y < Height(); ++y) {
        const double centreY = y + 0.5;
        crossings.clear();
        for (std::size_t i = 0; i < corners.size(); ++i) {
            double x = 0;
            if (CrossingAt(corners[i], corners[(i + 1) % corners.size()], centreY, x)) {
                crossings.push_back(x);
            }
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            FillSpan(y, crossings[i], crossings[i + 1], index);
        }
    }
}

}  // namespace vexlor::demo
