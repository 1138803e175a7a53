#include "demo/space_scenery.h"

#include <cmath>
#include <random>

namespace vexlor::demo {

namespace {

constexpr double kRingWidth = 1.7;    // ring radius across, in planet radii
constexpr double kRingHeight = 0.45;  // ring radius up and down, in planet radii
constexpr double kRingInnerEdge = 0.8;
constexpr int kBrightStarEvery = 8;

// The whole picture's rows above (back) or below (front) the planet's centre line.
enum class RingHalf { Back, Front };

void DrawRingHalf(PictureCanvas& canvas, const Planet& planet, RingHalf half, std::uint8_t ink) {
    const double rx = planet.radius * kRingWidth;
    const double ry = planet.radius * kRingHeight;
    for (int y = 0; y < canvas.Height(); ++y) {
        const double dy = (y + 0.5 - planet.centre.y) / ry;
        if ((half == RingHalf::Back) != (dy < 0)) {
            continue;
        }
        for (int x = 0; x < canvas.Width(); ++x) {
            const double dx = (x + 0.5 - planet.centre.x) / rx;
            const double distance = dx * dx + dy * dy;
            if (distance <= 1 && distance >= kRingInnerEdge * kRingInnerEdge) {
                canvas.SetPixel(x, y, ink);
            }
        }
    }
}

std::uint8_t PlanetInkAt(const Planet& planet, const PlanetInks& inks, double x, double y) {
    const double r = planet.radius;
    // The lit part is a disc shifted towards the light; what it does not cover is in shadow.
    const double litX = x - (planet.centre.x - r * 0.3);
    const double litY = y - (planet.centre.y - r * 0.3);
    if (litX * litX + litY * litY > r * r * 1.1) {
        return inks.shadow;
    }
    const double band = std::sin((y - planet.centre.y) / r * 7.0 + (x - planet.centre.x) / r);
    return band > 0.55 ? inks.band : inks.base;
}

}  // namespace

void DrawStarField(PictureCanvas& canvas, Area area, std::uint32_t seed, int spacing,
                   std::uint8_t brightInk, std::uint8_t dimInk) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0 || spacing <= 0) {
        return;
    }
    // minstd_rand's sequence is fixed by the standard; distributions are not, so none is used.
    std::minstd_rand random(seed == 0 ? 1 : seed);
    const int count = width * height / (spacing * spacing);
    for (int star = 0; star < count; ++star) {
        const int x = area.left + static_cast<int>(random() % static_cast<unsigned>(width));
        const int y = area.top + static_cast<int>(random() % static_cast<unsigned>(height));
        if (star % kBrightStarEvery != 0) {
            canvas.SetPixel(x, y, dimInk);
            continue;
        }
        canvas.SetPixel(x, y, brightInk);
        canvas.SetPixel(x - 1, y, dimInk);
        canvas.SetPixel(x + 1, y, dimInk);
        canvas.SetPixel(x, y - 1, dimInk);
        canvas.SetPixel(x, y + 1, dimInk);
    }
}

void DrawPlanet(PictureCanvas& canvas, const Planet& planet, const PlanetInks& inks) {
    if (planet.ringed) {
        DrawRingHalf(canvas, planet, RingHalf::Back, inks.ring);
    }
    const double r = planet.radius;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const double px = x + 0.5;
            const double py = y + 0.5;
            const double dx = px - planet.centre.x;
            const double dy = py - planet.centre.y;
            if (dx * dx + dy * dy <= r * r) {
                canvas.SetPixel(x, y, PlanetInkAt(planet, inks, px, py));
            }
        }
    }
    if (planet.ringed) {
        DrawRingHalf(canvas, planet, RingHalf::Front, inks.ring);
    }
}

}  // namespace vexlor::demo
