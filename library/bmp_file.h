#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "library/images.h"

namespace vexlor {

// The limits beyond which a BMP is refused, by the reader and the writer alike, so that a
// few hostile header bytes can never make the reader allocate or fill more than about 100 MB;
// the game's pictures are far smaller.
inline constexpr int kBmpMaxDimension = 65535;
inline constexpr std::uint64_t kBmpMaxPixels = std::uint64_t{16} << 20;

// A decoded BMP file. Row 0 is the top row as displayed, whatever order the file stores.
struct BmpPicture {
    // The file's own depth (1, 4, 8, 16, 24 or 32), so that callers can insist on 8.
    int bitsPerPixel = 0;
    // Set for 1, 4 and 8 bits per pixel: the colour table as stored (biClrUsed entries, or
    // 2^bitsPerPixel when 0; at most 256) and the indices as stored, even those beyond the
    // table. Pixels that a run-length file never writes are index 0. Empty for other depths.
    IndexedImage indexed;
    // Every pixel's colour, for any depth; an index beyond the colour table is black.
    TrueColourImage colours;
};

// Decodes a whole BMP file held in memory. Reads the Windows headers (40, 52, 56, 108 and
// 124 bytes) and the OS/2 ones (12 and 64 bytes); 1, 4 and 8 bits per pixel uncompressed,
// 8 with RLE8 and 4 with RLE4; 16 and 32 uncompressed or with bit fields; 24 uncompressed.
// False, with `out` emptied, for anything that is not such a file or that claims more
// bytes than `size` holds.
bool DecodeBmp(const std::uint8_t* data, std::size_t size, BmpPicture& out);

// Reads and decodes a BMP file; false when it cannot be read or decoded.
bool ReadBmpFile(const std::string& path, BmpPicture& out);

// An 8-bit, uncompressed, bottom-up BMP with a 256-entry colour table: a shorter palette is
// padded with black, a longer one cut to 256. Empty when the image cannot be written: a side
// of 0 or beyond kBmpMaxDimension, more than kBmpMaxPixels pixels, or indices that do not
// match width x height.
std::vector<std::uint8_t> EncodeBmp8(const IndexedImage& image);

// Writes EncodeBmp8(image) to `path`, replacing any file there (a symbolic link there is
// replaced itself, not followed). False, with nothing written, when the image cannot be
// encoded, the file cannot be fully written, or the file there has other hard links.
bool WriteBmpFile(const std::string& path, const IndexedImage& image);

}  // namespace vexlor
