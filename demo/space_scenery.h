#pragma once

#include <cstdint>

#include "demo/picture_canvas.h"

namespace vexlor::demo {

struct Area {
    int left;
    int top;
    int right;  // exclusive
    int bottom;
};

// Scatters about one star per `spacing` x `spacing` pixels over `area`, the same stars for the
// same `seed` on every machine; one in eight is a bright cross, the rest single dots.
void DrawStarField(PictureCanvas& canvas, Area area, std::uint32_t seed, int spacing,
                   std::uint8_t brightInk, std::uint8_t dimInk);

struct PlanetInks {
    std::uint8_t base;
    std::uint8_t shadow;
    std::uint8_t band;
    std::uint8_t ring;
};

struct Planet {
    Point centre;
    double radius;
    bool ringed;
};

// A planet lit from the upper left, with cloud bands, and a tilted ring that passes behind it
// and in front of it when `ringed`.
void DrawPlanet(PictureCanvas& canvas, const Planet& planet, const PlanetInks& inks);

}  // namespace vexlor::demo
