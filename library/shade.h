#pragma once

#include <cstdint>

#include "library/images.h"

namespace vexlor {

// Recolours one pixel of an index-alpha picture from its palette colour and its alpha byte.
using ShadeFunction = Colour (*)(Colour colour, std::uint8_t alpha);

// The brightest channel of `colour` scaled by alpha / 255, as a grey; the top byte is kept.
Colour GreyShade(Colour colour, std::uint8_t alpha);
// The GreyShade level in the green channel only; top byte cleared.
Colour GreenShade(Colour colour, std::uint8_t alpha);
// The GreyShade level in the red and green channels; top byte cleared.
Colour YellowShade(Colour colour, std::uint8_t alpha);

}  // namespace vexlor
