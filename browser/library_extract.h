#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "library/any_picture.h"
#include "library/library_walk.h"
#include "pictures/rgba_picture.h"

namespace vexlor {

enum class ExtractFormat { Bmp, Png };

// "26000_04700": GroupId and PictureId in decimal, five digits each.
std::string ExtractStem(const tIMAGE& image);

// The 8-bit picture that an extracted BMP holds: the indices as stored (run-length pixels that
// no operation drew at index 0), the palette cut or extended with black to 256 entries.
IndexedImage ExtractBitmap(const AnyPicture& picture);
// The RGBA picture that an extracted PNG holds: palette colours, the drawn alpha.
RgbaPicture ExtractRgba(const AnyPicture& picture);

struct ExtractResult {
    bool opened = false;
    std::vector<std::string> written;   // each path written, in file order
    std::vector<std::string> failures;  // "26000_04700 at offset 1234: format 25 is not drawn"
    bool cancelled = false;
};

// Called after each record with how many of `total` are done; returning false stops the work.
using ExtractProgress = std::function<bool(int done, int total)>;

// Extracts the walked records at `records` (indices into walk.records, in that order) from the
// library at `path` into `folder` (made when missing; empty: the current folder) as
// GGGGG_PPPPP.bmp or .png, a _2, _3, ... suffix for a name this call already wrote.
ExtractResult ExtractRecords(const std::string& path, const LibraryWalk& walk,
                             const std::vector<int>& records, const std::string& folder,
                             ExtractFormat format, const ExtractProgress& progress = {});

}  // namespace vexlor
