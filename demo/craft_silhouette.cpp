#include "demo/craft_silhouette.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "demo/picture_canvas.h"

namespace vexlor::demo {

namespace {

enum Ink : std::uint8_t { kSpace, kOutline, kHull, kWing, kStripe, kCockpit, kEngine };

constexpr int kOutlineFromSide = 64;
constexpr double kCentre = 0.5;

// The body's extent in proportions of the side; the wings hang off it.
struct Body {
    double top;
    double bottom;
    double halfWidth;
    double wingRoot;
};

Body BodyOf(const CraftDesign& design) {
    const double top = (1 - design.bodyLength) / 2 - 0.03;
    return {top, top + design.bodyLength, design.bodyWidth / 2,
            top + design.bodyLength * design.wingAt};
}

// Draws the right-hand half as given and the left-hand half mirrored about the centre line.
class MirroredPainter {
  public:
    MirroredPainter(PictureCanvas& canvas, double side) : canvas_(canvas), side_(side) {}

    void Polygon(const std::vector<Point>& rightHalf, Ink ink) {
        std::vector<Point> right;
        std::vector<Point> left;
        for (const Point& p : rightHalf) {
            right.push_back({p.x * side_, p.y * side_});
            left.push_back({(2 * kCentre - p.x) * side_, p.y * side_});
        }
        canvas_.FillPolygon(right, ink);
        canvas_.FillPolygon(left, ink);
    }

    void Rect(double left, double top, double right, double bottom, Ink ink) {
        Polygon({{left, top}, {right, top}, {right, bottom}, {left, bottom}}, ink);
    }

    void CentredEllipse(double centreY, double radiusX, double radiusY, Ink ink) {
        canvas_.FillEllipse({kCentre * side_, centreY * side_}, radiusX * side_, radiusY * side_,
                            ink);
    }

  private:
    PictureCanvas& canvas_;
    double side_;
};

void DrawWings(const CraftDesign& d, const Body& b, MirroredPainter& paint) {
    const double root = kCentre + b.halfWidth * 0.9;
    const double tip = kCentre + d.span / 2;
    const double y = b.wingRoot;
    const double c = d.chord;
    const double stripe = (tip - root) * 0.14;
    switch (d.wings) {
        case WingShape::Straight:
            paint.Polygon({{root, y}, {tip, y + c * 0.2}, {tip, y + c * 0.8}, {root, y + c}},
                          kWing);
            paint.Rect(tip - stripe, y + c * 0.2, tip, y + c * 0.8, kStripe);
            break;
        case WingShape::Swept:
            paint.Polygon({{root, y}, {tip, y + c * 0.9}, {tip, y + c * 1.3}, {root, y + c}},
                          kWing);
            paint.Rect(tip - stripe, y + c * 0.9 + stripe, tip, y + c * 1.3, kStripe);
            break;
        case WingShape::Delta:
            paint.Polygon({{root, y}, {tip, y + c}, {root, y + c}}, kWing);
            paint.Polygon({{root, y + c * 0.55},
                           {root + (tip - root) * 0.45, y + c * 0.8},
                           {root, y + c * 0.8}},
                          kStripe);
            break;
        case WingShape::ForwardSwept:
            paint.Polygon({{root, y + c * 0.3}, {tip, y - c * 0.4}, {tip, y}, {root, y + c}},
                          kWing);
            paint.Rect(tip - stripe, y - c * 0.4 + stripe, tip, y, kStripe);
            break;
        case WingShape::TwinPods: {
            const double podWidth = d.bodyWidth * 0.45;
            paint.Rect(root, y + c * 0.2, tip - podWidth / 2, y + c * 0.8, kWing);
            paint.Rect(tip - podWidth, y - c * 0.9, tip, y + c * 1.6, kHull);
            paint.Rect(tip - podWidth, y - c * 0.9, tip, y - c * 0.6, kStripe);
            paint.Rect(tip - podWidth * 0.8, y + c * 1.6, tip - podWidth * 0.2, y + c * 1.75,
                       kEngine);
            break;
        }
    }
}

void DrawBody(const CraftDesign& d, const Body& b, MirroredPainter& paint) {
    const double w = b.halfWidth;
    const double shoulder = b.top + d.bodyLength * d.noseLength;
    paint.Polygon({{kCentre, b.top},
                   {kCentre + w * 0.6, b.top + (shoulder - b.top) * 0.5},
                   {kCentre + w, shoulder},
                   {kCentre + w, b.bottom - w * 0.5},
                   {kCentre + w * 0.7, b.bottom},
                   {kCentre, b.bottom}},
                  kHull);
    paint.Rect(kCentre, b.top + d.bodyLength * 0.58, kCentre + w, b.top + d.bodyLength * 0.63,
               kStripe);
    paint.Rect(kCentre, b.bottom, kCentre + w * 0.55, b.bottom + 0.035, kEngine);
    // Never taller than the nose, or a short blunt nose would push it off the picture.
    paint.CentredEllipse(shoulder, w * 0.5, std::min(w * 1.1, (shoulder - b.top) * 0.8), kCockpit);
}

void DrawTail(const CraftDesign& d, const Body& b, MirroredPainter& paint) {
    if (d.tailSpan <= 0) {
        return;
    }
    const double root = kCentre + b.halfWidth * 0.9;
    paint.Polygon({{root, b.bottom - 0.13},
                   {kCentre + d.tailSpan / 2, b.bottom - 0.02},
                   {root, b.bottom - 0.02}},
                  kWing);
}

// Every drawn pixel next to the background becomes outline.
void Outline(PictureCanvas& canvas) {
    const PictureCanvas drawn = canvas;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            if (drawn.PixelAt(x, y) == kSpace) {
                continue;
            }
            const bool edge =
                drawn.PixelAt(x - 1, y) == kSpace || drawn.PixelAt(x + 1, y) == kSpace ||
                drawn.PixelAt(x, y - 1) == kSpace || drawn.PixelAt(x, y + 1) == kSpace;
            if (edge) {
                canvas.SetPixel(x, y, kOutline);
            }
        }
    }
}

}  // namespace

IndexedImage DrawCraftSilhouette(const CraftDesign& design, int side) {
    const ColourScheme& c = design.colours;
    PictureCanvas canvas(
        side, side,
        {MakeColour(0, 0, 0), c.outline, c.hull, c.wing, c.stripe, c.cockpit, c.engine});
    MirroredPainter paint(canvas, side);
    const Body body = BodyOf(design);
    DrawTail(design, body, paint);
    DrawWings(design, body, paint);
    DrawBody(design, body, paint);
    if (side >= kOutlineFromSide) {
        Outline(canvas);
    }
    return canvas.Image();
}

}  // namespace vexlor::demo
