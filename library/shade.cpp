#include "library/shade.h"

#include <algorithm>

namespace vexlor {

namespace {

// round(brightest * alpha / 255) in integers: the quotient is never an exact half, because
// 2 * brightest * alpha is even and 255 is odd, so adding half the divisor rounds like the
// floating-point formula without its cost.
unsigned ShadeLevel(Colour colour, std::uint8_t alpha) {
    const unsigned brightest = std::max({RedOf(colour), GreenOf(colour), BlueOf(colour)});
    return (2u * brightest * alpha + 255u) / 510u;
}

}  // namespace

Colour GreyShade(Colour colour, std::uint8_t alpha) {
    const unsigned level = ShadeLevel(colour, alpha);
    return MakeColour(level, level, level) | (colour & 0xFF000000u);
}

Colour GreenShade(Colour colour, std::uint8_t alpha) {
    return MakeColour(0, ShadeLevel(colour, alpha), 0);
}

Colour YellowShade(Colour colour, std::uint8_t alpha) {
    const unsigned level = ShadeLevel(colour, alpha);
    return MakeColour(level, level, 0);
}

}  // namespace vexlor
