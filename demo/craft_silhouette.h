#pragma once

#include "demo/craft_designs.h"
#include "library/images.h"

namespace vexlor::demo {

// The craft from above on a black background (palette entry 0, which the HULL encoding makes
// transparent and the SHIP encoding takes from the top-left pixel), `side` pixels square.
// Pictures of 64 pixels and more get a dark outline; smaller ones would lose their shape to it.
IndexedImage DrawCraftSilhouette(const CraftDesign& design, int side);

}  // namespace vexlor::demo
