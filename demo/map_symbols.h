#pragma once

#include "library/images.h"

namespace vexlor::demo {

inline constexpr int kMapSymbolSide = 16;

// Map symbol `number` (from 0): one of eight shapes (triangles, diamond, circle, ring, square,
// cross, chevron), in a friendly green for the first eight and a hostile red for the next,
// over black (palette entry 0, transparent in a MAP library).
IndexedImage DrawMapSymbol(int number);

}  // namespace vexlor::demo
