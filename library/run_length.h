#pragma once

#include "library/images.h"

namespace vexlor {

// Run-length pictures: rows of a count byte and that many operations (transparent runs, runs of
// attribute-and-index pairs, runs of bare indices), ended by a 0 count byte.

// Side of the square pictures of SHIP libraries.
inline constexpr int kShipPictureSide = 180;

// Draws the picture over the colour of palette entry 0; an index beyond the palette's end draws
// black. True when the data held exactly `height` rows followed by the 0 terminator. Otherwise
// false with the rows drawn so far: decoding stops at the end of the data, and pixels outside the
// picture are dropped. An unacceptable size gives false and an empty image.
bool DrawRlePicture(int width, int height, const tPIX& pixels, const tPAL& palette,
                    TrueColourImage& out);

// Decodes the picture into a 256-colour image whose palette is `palette` extended to (or cut at)
// 256 entries; the caller's palette keeps that change. Reads only the transparent runs and pair
// runs that BmpToRlePicture writes: a row that holds a run of bare indices is abandoned, and
// decoding resumes at the next byte pair that looks like the start of a row. Result as for
// DrawRlePicture.
bool RlePictureToBmp(int width, int height, const tPIX& pixels, tPAL& palette, IndexedImage& out);

// Encodes the top-left width x height pixels of `image`. Pixels of the top-left pixel's colour
// are transparent; the palette is black followed by the other colours in use, each once, in
// ascending order. False, with both outputs empty, for an unacceptable size, an image smaller
// than width x height, or a row that needs more operations than its count byte can hold.
bool BmpToRlePicture(const IndexedImage& image, int width, int height, tPIX& pixels, tPAL& palette);

// BmpToRlePicture with the pixels of colour `transparent` transparent, whatever the top-left
// pixel's colour: for a picture whose transparency was decided before it got its palette.
bool BmpToRlePictureWithTransparent(const IndexedImage& image, int width, int height,
                                    Colour transparent, tPIX& pixels, tPAL& palette);
// Which pixels an opaque run covers, as RlePictureToBmp reads the runs: width x height marks,
// row by row from the top. Result as for RlePictureToBmp.
bool RleCoverage(int width, int height, const tPIX& pixels, std::vector<bool>& covered);
// BmpToRlePicture of a SHIP picture.
bool BmpToShipPicture(const IndexedImage& image, tPIX& pixels, tPAL& palette);

}  // namespace vexlor
