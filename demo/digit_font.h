#pragma once

#include <cstdint>

#include "demo/picture_canvas.h"

namespace vexlor::demo {

// Writes `number` (0 or more) in blocky digits 3 cells wide and 5 high with a cell between
// them, each cell `cellSize` pixels square, the top-left corner at (left, top). Returns the
// width written, in pixels.
int DrawNumber(PictureCanvas& canvas, int number, int left, int top, int cellSize,
               std::uint8_t index);

}  // namespace vexlor::demo
