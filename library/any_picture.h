#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/images.h"
#include "library/library_reader.h"
#include "library/records.h"

namespace vexlor {

// A record's picture drawn as it is stored, whatever its size: each pixel's palette index and
// alpha. Run-length pictures give alpha 255 where an operation drew a pixel and 0 elsewhere;
// index-alpha pictures give their stored alpha byte.
struct AnyPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;  // width x height, row 0 at the top
    std::vector<std::uint8_t> alpha;    // width x height
    tPAL palette;                       // the record's, as long as it is

    // The colour of palette entry `index`; black beyond the palette's end.
    Colour PaletteColour(std::size_t index) const {
        return index < palette.size() ? static_cast<Colour>(palette[index]) : 0;
    }
    std::size_t PixelCount() const { return indices.size(); }
};

enum class DrawOutcome {
    Drawn,
    OtherFormat,    // neither run-length (23) nor index-alpha (24)
    CutShort,       // the file ends inside its palette or pixels
    BadSizes,       // DataSize smaller than PixelOffset
    TooLarge,       // more pixels than any picture may have (see picture_size.h)
    DoesNotDecode,  // the data does not give exactly BlockWidth x BlockHeight pixels
};

// Why a record was not drawn, for people: "format 25 is not drawn", "the file ends inside its
// palette or pixels", ... Empty for Drawn.
std::string DescribeDrawOutcome(DrawOutcome outcome, const tIMAGE& image);

// Draws decoded palette and pixels at the record's BlockWidth x BlockHeight. Never allocates
// more than the pixel data can describe: a run-length picture needs a count byte per row and an
// index-alpha picture two bytes per pixel, so both are checked before the picture is made.
DrawOutcome DrawAnyPicture(const tIMAGE& image, const tPAL& palette, const tPIX& pixels,
                           AnyPicture& out);

// Reads the record's palette and pixels through `reader` (opened on the library) and draws them.
DrawOutcome ReadAnyPicture(LibraryReader& reader, const ImageRecord& record, AnyPicture& out);

// The palette indices that the drawn pixels use: 256 marks (indices are bytes), alpha ignored
// for index-alpha pictures, only drawn pixels for run-length ones.
std::vector<bool> UsedPaletteIndices(const AnyPicture& picture, bool runLength);

}  // namespace vexlor
