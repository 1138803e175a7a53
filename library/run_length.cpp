#include "library/run_length.h"

#include <algorithm>
#include <array>
#include <span>
#include <utility>

#include "library/palette_lookup.h"
#include "library/palette_sort.h"
#include "library/picture_size.h"

namespace vexlor {

namespace {

constexpr std::uint8_t kTransparentRun = 0xC0;  // 0xC0 + pixels to skip
constexpr std::uint8_t kPairRun = 0x80;         // 0x80 + pixels, two bytes each
constexpr std::uint8_t kLongTransparentRun = 0xFF;
constexpr std::size_t kLongestRun = 63;
constexpr std::uint8_t kAttribute = 0xC7;
constexpr std::size_t kMostOperations = 255;  // what a row's count byte can hold
// A byte below this, followed by a transparent run, is taken for the count byte of a row when
// the pair reader resynchronises after a run it cannot read.
constexpr std::uint8_t kPlausibleCount = 20;

using Bytes = std::span<const std::uint8_t>;

// Paints the runs of one row after another into width x height pixels, dropping whatever falls
// outside them, through a table that turns a pixel's index byte into the stored value.
template <typename Pixel>
class RowPainter {
  public:
    using Lookup = std::array<Pixel, kBmpPaletteSize>;

    RowPainter(std::vector<Pixel>& pixels, int width, int height, const Lookup& lookup)
        : pixels_(pixels),
          width_(static_cast<std::size_t>(width)),
          height_(static_cast<std::size_t>(height)),
          lookup_(lookup) {}

    void StartRow(std::size_t row) {
        row_ = row < height_ ? pixels_.data() + row * width_ : nullptr;
        x_ = 0;
    }

    void Skip(std::size_t count) { x_ += count; }

    // Paints `count` pixels whose index bytes start at data[p + Stride - 1], Stride bytes apart,
    // and moves p past them. False when the data ends inside the run; the whole pixels before
    // that end are painted.
    template <std::size_t Stride>
    bool Paint(Bytes data, std::size_t& p, std::size_t count) {
        const std::size_t painted = std::min(count, (data.size() - p) / Stride);
        if (row_ != nullptr && x_ < width_) {
            const std::size_t visible = std::min(painted, width_ - x_);
            const std::uint8_t* index = data.data() + p + (Stride - 1);
            Pixel* target = row_ + x_;
            for (std::size_t i = 0; i < visible; ++i) {
                target[i] = lookup_[index[i * Stride]];
            }
        }
        p += painted * Stride;
        x_ += painted;
        return painted == count;
    }

  private:
    std::vector<Pixel>& pixels_;
    std::size_t width_;
    std::size_t height_;
    const Lookup& lookup_;
    Pixel* row_ = nullptr;
    std::size_t x_ = 0;
};

// Walks the rows: readRow(p, count) reads the operations that follow a row's count byte and
// returns false when decoding has to stop. True when the 0 terminator comes as the count byte of
// row number `height`.
template <typename Pixel, typename ReadRow>
bool WalkRows(Bytes data, int height, RowPainter<Pixel>& painter, ReadRow readRow) {
    std::size_t p = 0;
    for (std::size_t row = 0; p < data.size(); ++row) {
        const std::uint8_t count = data[p++];
        if (count == 0) {
            return row == static_cast<std::size_t>(height);
        }
        painter.StartRow(row);
        if (!readRow(p, count)) {
            return false;
        }
    }
    return false;
}

bool DrawRow(Bytes data, std::size_t& p, unsigned count, RowPainter<Colour>& painter) {
    for (unsigned operation = 0; operation < count; ++operation) {
        if (p >= data.size()) {
            return false;
        }
        const std::uint8_t b = data[p++];
        if (b >= kTransparentRun) {
            painter.Skip(b - kTransparentRun);
        } else if (b >= kPairRun) {
            if (!painter.Paint<2>(data, p, b - kPairRun)) {
                return false;
            }
        } else if (!painter.Paint<1>(data, p, b)) {
            return false;
        }
    }
    return true;
}

// Moves p to the first position from p + 2 on where a plausible count byte is followed by a
// transparent run. False when the data holds none.
bool FindNextRowStart(Bytes data, std::size_t& p) {
    for (std::size_t q = p + 2; q + 1 < data.size(); ++q) {
        if (data[q] < kPlausibleCount && data[q + 1] >= kTransparentRun) {
            p = q;
            return true;
        }
    }
    return false;
}

// Reads a row as the encoder writes it: a transparent run shorter than 63 pixels is followed by a
// pair run unless it ends the row.
bool ReadPairRow(Bytes data, std::size_t& p, unsigned count, RowPainter<std::uint8_t>& painter) {
    for (unsigned remaining = count; remaining > 0;) {
        if (p >= data.size()) {
            return false;
        }
        const std::uint8_t b = data[p];
        if (b == kLongTransparentRun) {
            painter.Skip(kLongestRun);
            ++p;
            --remaining;
        } else if (b >= kTransparentRun) {
            if (remaining == 1) {
                ++p;
                return true;
            }
            if (p + 1 >= data.size()) {
                return false;
            }
            painter.Skip(b - kTransparentRun);
            const std::uint8_t run = data[p + 1];
            p += 2;
            remaining -= 2;
            if (!painter.Paint<2>(data, p, run >= kPairRun ? run - kPairRun : 0)) {
                return false;
            }
        } else if (b >= kPairRun) {
            ++p;
            --remaining;
            if (!painter.Paint<2>(data, p, b - kPairRun)) {
                return false;
            }
        } else {
            return FindNextRowStart(data, p);
        }
    }
    return true;
}

// What the encoder needs to know about each index of the image.
struct IndexCodes {
    std::array<bool, kBmpPaletteSize> transparent{};
    IndexMap entry{};  // the index's entry in the new palette
};

std::array<bool, kBmpPaletteSize> IndicesInUse(const IndexedImage& image, int width, int height) {
    std::array<bool, kBmpPaletteSize> used{};
    const auto stride = static_cast<std::size_t>(image.width);
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
        const std::uint8_t* row = image.indices.data() + y * stride;
        for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x) {
            used[row[x]] = true;
        }
    }
    return used;
}

// Black, then every colour that an opaque pixel has, once, sorted ascending. An index beyond the
// image's palette reads as black, which then is such a colour too, kept after entry 0.
tPAL BuildPalette(const IndexColours& colours, const std::array<bool, kBmpPaletteSize>& used,
                  Colour transparent) {
    tPAL palette{0};
    for (std::size_t i = 0; i < kBmpPaletteSize; ++i) {
        const auto value = static_cast<std::int32_t>(colours[i]);
        if (used[i] && colours[i] != transparent &&
            std::find(palette.begin() + 1, palette.end(), value) == palette.end()) {
            palette.push_back(value);
        }
    }
    SortPalette(palette);
    return palette;
}

IndexCodes MakeIndexCodes(const IndexColours& colours, const tPAL& palette, Colour transparent) {
    IndexCodes codes;
    for (std::size_t i = 0; i < kBmpPaletteSize; ++i) {
        codes.transparent[i] = colours[i] == transparent;
        // Entry 0 is skipped: it is black and no pixel may refer to it, not even a black one.
        const auto found =
            std::find(palette.begin() + 1, palette.end(), static_cast<std::int32_t>(colours[i]));
        codes.entry[i] =
            static_cast<std::uint8_t>(found == palette.end() ? 0 : found - palette.begin());
    }
    return codes;
}

// Writes one row at `out` and moves `out` past it. False when the row needs more operations than
// its count byte can hold.
bool EncodeRow(const std::uint8_t* row, std::size_t width, const IndexCodes& codes,
               std::uint8_t*& out) {
    std::uint8_t* const countByte = out++;
    std::size_t operations = 0;
    for (std::size_t x = 0; x < width; ++operations) {
        if (operations == kMostOperations) {
            return false;
        }
        const bool transparent = codes.transparent[row[x]];
        std::uint8_t* const operation = out++;
        std::size_t run = 0;
        for (; x < width && run < kLongestRun && codes.transparent[row[x]] == transparent; ++x) {
            if (!transparent) {
                *out++ = kAttribute;
                *out++ = codes.entry[row[x]];
            }
            ++run;
        }
        *operation = static_cast<std::uint8_t>((transparent ? kTransparentRun : kPairRun) + run);
    }
    *countByte = static_cast<std::uint8_t>(operations);
    return true;
}

bool EncodeRows(const IndexedImage& image, int width, int height, const IndexCodes& codes,
                tPIX& pixels) {
    const auto rowWidth = static_cast<std::size_t>(width);
    // A row costs its count byte, two bytes per opaque pixel and at most one operation byte per
    // pixel; the terminator adds one.
    pixels.resize(static_cast<std::size_t>(height) * (1 + 3 * rowWidth) + 1);
    std::uint8_t* out = pixels.data();
    const auto stride = static_cast<std::size_t>(image.width);
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
        if (!EncodeRow(image.indices.data() + y * stride, rowWidth, codes, out)) {
            return false;
        }
    }
    *out++ = 0;
    pixels.resize(static_cast<std::size_t>(out - pixels.data()));
    return true;
}

bool EncodeRlePicture(const IndexedImage& image, int width, int height, const IndexColours& colours,
                      Colour transparent, tPIX& pixels, tPAL& palette);

}  // namespace

bool DrawRlePicture(int width, int height, const tPIX& pixels, const tPAL& palette,
                    TrueColourImage& out) {
    out = {};
    if (!IsAcceptablePictureSize(width, height)) {
        return false;
    }
    const IndexColours colours = ColoursByIndex(palette);
    out = TrueColourImage(width, height, colours[0]);
    RowPainter<Colour> painter(out.pixels, width, height, colours);
    return WalkRows(pixels, height, painter, [&](std::size_t& p, unsigned count) {
        return DrawRow(pixels, p, count, painter);
    });
}

bool RlePictureToBmp(int width, int height, const tPIX& pixels, tPAL& palette, IndexedImage& out) {
    out = {};
    if (!IsAcceptablePictureSize(width, height)) {
        return false;
    }
    ExtendPaletteTo256(palette);
    out = IndexedImage(width, height, PaletteColours(palette));
    const IndexMap nearest = FirstEqualEntries(ColoursByIndex(palette));
    RowPainter<std::uint8_t> painter(out.indices, width, height, nearest);
    return WalkRows(pixels, height, painter, [&](std::size_t& p, unsigned count) {
        return ReadPairRow(pixels, p, count, painter);
    });
}

bool BmpToRlePicture(const IndexedImage& image, int width, int height, tPIX& pixels,
                     tPAL& palette) {
    if (!IsAcceptablePictureSize(width, height) || !CoversPicture(image, width, height)) {
        pixels.clear();
        palette.clear();
        return false;
    }
    return BmpToRlePictureWithTransparent(image, width, height,
                                          image.PaletteColour(image.indices[0]), pixels, palette);
}

bool BmpToRlePictureWithTransparent(const IndexedImage& image, int width, int height,
                                    Colour transparent, tPIX& pixels, tPAL& palette) {
    pixels.clear();
    palette.clear();
    if (!IsAcceptablePictureSize(width, height) || !CoversPicture(image, width, height)) {
        return false;
    }
    IndexColours colours = ColoursByIndex(image.palette);
    std::transform(colours.begin(), colours.end(), colours.begin(), RgbOf);
    return EncodeRlePicture(image, width, height, colours, RgbOf(transparent), pixels, palette);
}

bool RleCoverage(int width, int height, const tPIX& pixels, std::vector<bool>& covered) {
    covered.clear();
    if (!IsAcceptablePictureSize(width, height)) {
        return false;
    }
    std::vector<std::uint8_t> marks(
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    IndexMap everyIndexMarks;
    everyIndexMarks.fill(1);
    RowPainter<std::uint8_t> painter(marks, width, height, everyIndexMarks);
    const bool whole = WalkRows(pixels, height, painter, [&](std::size_t& p, unsigned count) {
        return ReadPairRow(pixels, p, count, painter);
    });
    covered.assign(marks.begin(), marks.end());
    return whole;
}

namespace {

bool EncodeRlePicture(const IndexedImage& image, int width, int height, const IndexColours& colours,
                      Colour transparent, tPIX& pixels, tPAL& palette) {
    tPAL built = BuildPalette(colours, IndicesInUse(image, width, height), transparent);
    tPIX encoded;
    if (!EncodeRows(image, width, height, MakeIndexCodes(colours, built, transparent), encoded)) {
        return false;
    }
    pixels = std::move(encoded);
    palette = std::move(built);
    return true;
}

}  // namespace

bool BmpToShipPicture(const IndexedImage& image, tPIX& pixels, tPAL& palette) {
    return BmpToRlePicture(image, kShipPictureSide, kShipPictureSide, pixels, palette);
}

}  // namespace vexlor
