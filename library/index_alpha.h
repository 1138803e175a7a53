#pragma once

#include "library/images.h"
#include "library/shade.h"

namespace vexlor {

// Index-alpha pictures: two bytes per pixel, a palette index then an alpha, row by row from the
// top. The decoders draw as many whole pixel pairs as the data holds, at most width x height;
// pixels the data does not reach keep the colour of palette entry 0, and an index beyond the
// palette's end reads as black. They return false, with `out` empty, only for an unacceptable
// size or a missing shade function.

// Draws the picture recoloured by `shade`.
bool DrawIndexAlphaPicture(int width, int height, ShadeFunction shade, const tPIX& pixels,
                           const tPAL& palette, TrueColourImage& out);

// Draws the picture recoloured by `shade` into a 256-colour image whose palette is `palette`
// extended to (or cut at) 256 entries; the caller's palette keeps that change. Each pixel takes
// the palette entry nearest to its shaded colour.
bool IndexAlphaPictureToBmp(int width, int height, ShadeFunction shade, const tPIX& pixels,
                            tPAL& palette, IndexedImage& out);

// Encodes the top-left width x height pixels of `image`: each pixel's index is the first
// palette entry of its colour, its alpha 0 at index 0 and 255 elsewhere; the palette is the
// image's, cut after the highest index used. False, with both outputs empty, for an
// unacceptable size or an image smaller than width x height.
bool BmpToIndexAlphaPicture(const IndexedImage& image, int width, int height, tPIX& pixels,
                            tPAL& palette);

}  // namespace vexlor
