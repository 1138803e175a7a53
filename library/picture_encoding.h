#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/images.h"

namespace vexlor {

// A picture as a record of any library stores it: its format, size, palette and pixel bytes.
struct StoredPicture {
    std::uint16_t format = 0;
    int width = 0;
    int height = 0;
    tPAL palette;
    tPIX pixels;
};

enum class EncodeResult {
    Ok,
    BadSize,     // not 1 to 16,384 a side, or more pixels than a record may hold
    RowTooLong,  // a run-length row needs more operations than its count byte holds
};

struct EncodeOutcome {
    EncodeResult result = EncodeResult::BadSize;
    int row = -1;  // the first row that run-length cannot encode
};

// `image` as a converted picture gives it: index 0 for every transparent pixel, its colour one
// that no other pixel has. Run-length as the SHIP and BATTLE/MISSION encoder writes it: palette
// entry 0 black, then the opaque colours ascending, transparency in transparent runs.
EncodeOutcome EncodeRunLength(const IndexedImage& image, StoredPicture& out);

// Index-alpha with each pixel's own alpha (`alpha`, one byte per pixel), so that soft edges
// survive: the palette is the image's, each pixel its index; a pixel of index 0 has alpha 0.
EncodeOutcome EncodeIndexAlpha(const IndexedImage& image, const std::vector<std::uint8_t>& alpha,
                               StoredPicture& out);

// Why a picture was not encoded, for people; empty for Ok.
std::string DescribeEncodeRefusal(const EncodeOutcome& outcome, int width, int height);

}  // namespace vexlor
