#include "library/any_picture.h"

#include <limits>

#include "library/picture_size.h"

namespace vexlor {

namespace {

constexpr std::uint8_t kDrawn = 255;

// Holds the picture's bytes and where the next one is read; a read past the end yields
// nothing and marks the data as exhausted, so that no caller can run outside it.
class ByteCursor {
  public:
    explicit ByteCursor(const tPIX& bytes) : bytes_(bytes) {}

    bool AtEnd() const { return position_ >= bytes_.size(); }
    bool Next(std::uint8_t& byte) {
        if (AtEnd()) {
            return false;
        }
        byte = bytes_[position_++];
        return true;
    }

  private:
    const tPIX& bytes_;
    std::size_t position_ = 0;
};

class RunLengthPainter {
  public:
    explicit RunLengthPainter(AnyPicture& out) : out_(out) {}

    // One row of `count` operations; false when the data ended inside it.
    bool PaintRow(ByteCursor& data, std::uint8_t count, int row) {
        long long x = 0;
        for (int op = 0; op < count; ++op) {
            std::uint8_t code = 0;
            if (!data.Next(code)) {
                return false;
            }
            if (code >= 0xC0) {
                x += code - 0xC0;
            } else if (!PaintRun(data, code, row, x)) {
                return false;
            }
        }
        return true;
    }

  private:
    // 0x80 to 0xBF: attribute-and-index pairs; below 0x80: bare indices.
    bool PaintRun(ByteCursor& data, std::uint8_t code, int row, long long& x) {
        const bool pairs = code >= 0x80;
        const int length = pairs ? code - 0x80 : code;
        for (int i = 0; i < length; ++i, ++x) {
            std::uint8_t index = 0;
            if ((pairs && !data.Next(index)) || !data.Next(index)) {
                return false;
            }
            Set(x, row, index);
        }
        return true;
    }

    void Set(long long x, int row, std::uint8_t index) {
        if (x >= out_.width || row >= out_.height) {
            return;  // beyond the picture: dropped, the decoding goes on
        }
        const std::size_t at =
            static_cast<std::size_t>(row) * static_cast<std::size_t>(out_.width) +
            static_cast<std::size_t>(x);
        out_.indices[at] = index;
        out_.alpha[at] = kDrawn;
    }

    AnyPicture& out_;
};

// Exactly `height` rows followed by the 0 count byte make a whole picture.
bool PaintRunLength(const tPIX& pixels, AnyPicture& out) {
    ByteCursor data(pixels);
    RunLengthPainter painter(out);
    for (int row = 0;; ++row) {
        std::uint8_t count = 0;
        if (!data.Next(count)) {
            return false;
        }
        if (count == 0) {
            return row == out.height;
        }
        if (!painter.PaintRow(data, count, row)) {
            return false;
        }
    }
}

void PaintIndexAlpha(const tPIX& pixels, AnyPicture& out) {
    for (std::size_t i = 0; i < out.PixelCount(); ++i) {
        out.indices[i] = pixels[2 * i];
        out.alpha[i] = pixels[2 * i + 1];
    }
}

void Allocate(int width, int height, const tPAL& palette, AnyPicture& out) {
    out.width = width;
    out.height = height;
    out.indices.assign(PixelCount(width, height), 0);
    out.alpha.assign(PixelCount(width, height), 0);
    out.palette = palette;
}

DrawOutcome CheckSize(const tIMAGE& image, std::size_t pixelBytes) {
    if (image.PictureFormat != kRunLengthFormat && image.PictureFormat != kIndexAlphaFormat) {
        return DrawOutcome::OtherFormat;
    }
    if (image.BlockWidth == 0 || image.BlockHeight == 0) {
        return DrawOutcome::DoesNotDecode;
    }
    constexpr auto kSide = static_cast<std::uint32_t>(kMaxPictureSide);
    if (image.BlockWidth > kSide || image.BlockHeight > kSide ||
        !IsAcceptablePictureSize(static_cast<int>(image.BlockWidth),
                                 static_cast<int>(image.BlockHeight))) {
        return DrawOutcome::TooLarge;
    }
    // What the data must hold at least, before anything is made for it.
    const std::size_t needed = image.PictureFormat == kRunLengthFormat
                                   ? static_cast<std::size_t>(image.BlockHeight) + 1
                                   : 2 * PixelCount(static_cast<int>(image.BlockWidth),
                                                    static_cast<int>(image.BlockHeight));
    return pixelBytes < needed ? DrawOutcome::DoesNotDecode : DrawOutcome::Drawn;
}

}  // namespace

std::string DescribeDrawOutcome(DrawOutcome outcome, const tIMAGE& image) {
    const std::string size =
        std::to_string(image.BlockWidth) + " x " + std::to_string(image.BlockHeight);
    switch (outcome) {
        case DrawOutcome::Drawn:
            return {};
        case DrawOutcome::OtherFormat:
            return "format " + std::to_string(image.PictureFormat) + " is not drawn";
        case DrawOutcome::CutShort:
            return "the file ends inside its palette or pixels";
        case DrawOutcome::BadSizes:
            return "its DataSize " + std::to_string(image.DataSize) +
                   " is smaller than its PixelOffset " + std::to_string(image.PixelOffset);
        case DrawOutcome::TooLarge:
            return "its size " + size + " is too large to draw";
        case DrawOutcome::DoesNotDecode:
            return "its data does not decode to its size " + size;
    }
    return {};
}

DrawOutcome DrawAnyPicture(const tIMAGE& image, const tPAL& palette, const tPIX& pixels,
                           AnyPicture& out) {
    out = AnyPicture{};
    const DrawOutcome size = CheckSize(image, pixels.size());
    if (size != DrawOutcome::Drawn) {
        return size;
    }
    Allocate(static_cast<int>(image.BlockWidth), static_cast<int>(image.BlockHeight), palette, out);
    if (image.PictureFormat == kIndexAlphaFormat) {
        PaintIndexAlpha(pixels, out);
        return DrawOutcome::Drawn;
    }
    if (!PaintRunLength(pixels, out)) {
        out = AnyPicture{};
        return DrawOutcome::DoesNotDecode;
    }
    return DrawOutcome::Drawn;
}

DrawOutcome ReadAnyPicture(LibraryReader& reader, const ImageRecord& record, AnyPicture& out) {
    out = AnyPicture{};
    const tIMAGE& image = record.image;
    if (image.PictureFormat != kRunLengthFormat && image.PictureFormat != kIndexAlphaFormat) {
        return DrawOutcome::OtherFormat;
    }
    tPAL palette;
    tPIX pixels;
    switch (reader.ReadPicture(record, palette, pixels)) {
        case ReadStatus::Ok:
            break;
        case ReadStatus::BadSizes:
            return DrawOutcome::BadSizes;
        default:
            return DrawOutcome::CutShort;
    }
    return DrawAnyPicture(image, palette, pixels, out);
}

std::vector<bool> UsedPaletteIndices(const AnyPicture& picture, bool runLength) {
    std::vector<bool> used(256, false);
    for (std::size_t i = 0; i < picture.PixelCount(); ++i) {
        if (!runLength || picture.alpha[i] != 0) {
            used[picture.indices[i]] = true;
        }
    }
    return used;
}

}  // namespace vexlor
