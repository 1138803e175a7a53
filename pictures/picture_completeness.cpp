#include "pictures/picture_completeness.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <string>

namespace vexlor {

namespace {

// The bytes of a file, read only where they are.
struct Bytes {
    const std::uint8_t* data;
    std::size_t size;

    bool Has(std::uint64_t at, std::uint64_t count) const {
        return at <= size && count <= size - at;
    }
    bool StartsWith(const char* prefix, std::size_t length) const {
        return size >= length && std::memcmp(data, prefix, length) == 0;
    }
    std::uint32_t Little16(std::size_t at) const {
        return std::uint32_t{data[at]} | (std::uint32_t{data[at + 1]} << 8);
    }
    std::uint32_t Little32(std::size_t at) const { return Little16(at) | (Little16(at + 2) << 16); }
    std::uint32_t Big16(std::size_t at) const {
        return (std::uint32_t{data[at]} << 8) | std::uint32_t{data[at + 1]};
    }
    std::uint32_t Big32(std::size_t at) const { return (Big16(at) << 16) | Big16(at + 2); }
};

// Chunks up to IEND, each whole with its CRC.
bool PngCutShort(const Bytes& file) {
    std::uint64_t at = 8;
    while (file.Has(at, 8)) {
        const std::uint32_t length = file.Big32(static_cast<std::size_t>(at));
        if (!file.Has(at + 8, std::uint64_t{length} + 4)) {
            return true;
        }
        if (std::memcmp(file.data + at + 4, "IEND", 4) == 0) {
            return false;
        }
        at += std::uint64_t{length} + 12;
    }
    return true;
}

// Skips the data sub-blocks at `at`; false when the file ends before their terminator.
bool SkipGifSubBlocks(const Bytes& file, std::uint64_t& at) {
    while (file.Has(at, 1)) {
        const std::uint8_t length = file.data[at];
        at += std::uint64_t{length} + 1;
        if (length == 0) {
            return true;
        }
    }
    return false;
}

std::uint64_t GifColourTableBytes(std::uint8_t flags) {
    return (flags & 0x80) != 0 ? std::uint64_t{3} << ((flags & 0x07) + 1) : 0;
}

// The first picture, which is what the readers take, up to its data's terminator.
bool GifCutShort(const Bytes& file) {
    constexpr std::size_t kScreenEnd = 13;
    if (!file.Has(0, kScreenEnd)) {
        return true;
    }
    std::uint64_t at = kScreenEnd + GifColourTableBytes(file.data[10]);
    while (file.Has(at, 1)) {
        const std::uint8_t introducer = file.data[at];
        if (introducer == 0x21) {
            at += 2;
            if (!SkipGifSubBlocks(file, at)) {
                return true;
            }
        } else if (introducer == 0x2C) {
            constexpr std::size_t kDescriptor = 10;
            if (!file.Has(at, kDescriptor)) {
                return true;
            }
            at += kDescriptor + GifColourTableBytes(file.data[at + 9]) + 1;  // + LZW code size
            return !SkipGifSubBlocks(file, at);
        } else {
            return false;  // a trailer before any picture, or damage: the readers' to judge
        }
    }
    return true;
}

// Run-length pixels (BI_RLE8, BI_RLE4) up to their end-of-bitmap mark.
bool BmpRunsCutShort(const Bytes& file, std::uint64_t at, bool fourBits) {
    while (file.Has(at, 2)) {
        const std::uint8_t count = file.data[at];
        const std::uint8_t code = file.data[at + 1];
        at += 2;
        if (count != 0 || code == 0) {
            continue;  // a run, or the end of a line
        }
        if (code == 1) {
            return false;
        }
        if (code == 2) {
            at += 2;  // a move
            continue;
        }
        std::uint64_t bytes = fourBits ? (code + 1u) / 2 : code;
        at += bytes + (bytes & 1);  // absolute pixels, padded to a whole word
    }
    return true;
}

bool BmpCutShort(const Bytes& file) {
    constexpr std::size_t kFileHeader = 14;
    if (!file.Has(0, kFileHeader + 4)) {
        return true;
    }
    const std::uint32_t headerSize = file.Little32(kFileHeader);
    const bool core = headerSize == 12;
    if (!core && headerSize < 40) {
        return false;
    }
    if (!file.Has(kFileHeader, core ? 12 : 40)) {
        return true;
    }
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t bits = 0;
    std::uint32_t compression = 0;
    if (core) {
        width = file.Little16(18);
        height = file.Little16(20);
        bits = file.Little16(24);
    } else {
        width = static_cast<std::int32_t>(file.Little32(18));
        height = static_cast<std::int32_t>(file.Little32(22));
        bits = file.Little16(28);
        compression = file.Little32(30);
    }
    const std::uint64_t pixels = file.Little32(10);
    if (compression == 1 || compression == 2) {
        return BmpRunsCutShort(file, pixels, compression == 2);
    }
    const bool plain = compression == 0 || compression == 3 || compression == 6;
    if (!plain || width <= 0 || height == 0 || bits == 0 || bits > 64) {
        return false;
    }
    const auto rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
    return !file.Has(pixels, stride * rows);
}

// Uncompressed pixels, or run-length packets, for every pixel the header promises.
bool TgaCutShort(const Bytes& file) {
    constexpr std::size_t kHeader = 18;
    if (!file.Has(0, kHeader)) {
        return true;
    }
    const std::uint8_t type = file.data[2];
    const std::uint64_t pixelBytes = (file.data[16] + 7u) / 8;
    const std::uint64_t mapBytes =
        file.data[1] == 0 ? 0 : std::uint64_t{file.Little16(5)} * ((file.data[7] + 7u) / 8);
    const std::uint64_t pixels = std::uint64_t{file.Little16(12)} * file.Little16(14);
    std::uint64_t at = kHeader + file.data[0] + mapBytes;
    if (type >= 1 && type <= 3) {
        return !file.Has(at, pixels * pixelBytes);
    }
    if (type < 9 || type > 11 || pixelBytes == 0) {
        return false;
    }
    for (std::uint64_t done = 0; done < pixels;) {
        if (!file.Has(at, 1)) {
            return true;
        }
        const std::uint8_t packet = file.data[at];
        const std::uint64_t count = (packet & 0x7Fu) + 1;
        at += 1 + ((packet & 0x80) != 0 ? pixelBytes : count * pixelBytes);
        done += count;
    }
    return !file.Has(0, at);
}

bool IsJpegRestart(std::uint8_t marker) {
    return marker >= 0xD0 && marker <= 0xD7;
}

// The segments and scans up to the end-of-image marker.
bool JpegCutShort(const Bytes& file) {
    std::uint64_t at = 2;
    while (true) {
        if (!file.Has(at, 1)) {
            return true;
        }
        if (file.data[at] != 0xFF) {
            return false;  // damage: the readers' to judge
        }
        while (file.Has(at, 1) && file.data[at] == 0xFF) {
            ++at;  // fill bytes
        }
        if (!file.Has(at, 1)) {
            return true;
        }
        const std::uint8_t marker = file.data[at++];
        if (marker == 0xD9) {
            return false;
        }
        if (IsJpegRestart(marker) || marker == 0x01) {
            continue;
        }
        if (!file.Has(at, 2)) {
            return true;
        }
        const std::uint32_t length = file.Big16(static_cast<std::size_t>(at));
        if (length < 2) {
            return false;
        }
        if (!file.Has(at, length)) {
            return true;
        }
        at += length;
        if (marker != 0xDA) {
            continue;
        }
        // The scan's coded data: a 0xFF in it is followed by 0 or a restart marker.
        while (true) {
            if (!file.Has(at, 2)) {
                return true;
            }
            if (file.data[at] == 0xFF && file.data[at + 1] != 0 &&
                !IsJpegRestart(file.data[at + 1])) {
                break;
            }
            ++at;
        }
    }
}

// The first directory, and the strips or tiles that it says hold the picture.
class TiffFile {
  public:
    explicit TiffFile(const Bytes& file) : file_(file), little_(file.data[0] == 'I') {}

    bool CutShort() const {
        const std::uint64_t directory = U32(4);
        if (!file_.Has(directory, 2)) {
            return true;
        }
        const std::uint64_t entries = U16(static_cast<std::size_t>(directory));
        // The entries and the offset of the next directory after them.
        if (!file_.Has(directory + 2, entries * 12 + 4)) {
            return true;
        }
        for (std::uint64_t k = 0; k < entries; ++k) {
            if (ValuesCutShort(directory + 2 + k * 12)) {
                return true;
            }
        }
        const auto entry = [&](std::uint32_t tag) -> std::uint64_t {
            for (std::uint64_t k = 0; k < entries; ++k) {
                const std::uint64_t at = directory + 2 + k * 12;
                if (U16(static_cast<std::size_t>(at)) == tag) {
                    return at;
                }
            }
            return 0;
        };
        return PiecesCutShort(entry(273), entry(279)) || PiecesCutShort(entry(324), entry(325));
    }

  private:
    std::uint32_t U16(std::size_t at) const {
        return little_ ? file_.Little16(at) : file_.Big16(at);
    }
    std::uint32_t U32(std::size_t at) const {
        return little_ ? file_.Little32(at) : file_.Big32(at);
    }

    // The values of an entry that do not fit in it stand elsewhere in the file.
    bool ValuesCutShort(std::uint64_t entry) const {
        static constexpr std::uint8_t kWidths[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
        const std::uint32_t type = U16(static_cast<std::size_t>(entry + 2));
        if (type >= std::size(kWidths) || kWidths[type] == 0) {
            return false;  // a type of no baseline TIFF: the readers' to judge
        }
        const std::uint64_t bytes =
            std::uint64_t{U32(static_cast<std::size_t>(entry + 4))} * kWidths[type];
        return bytes > 4 && !file_.Has(U32(static_cast<std::size_t>(entry + 8)), bytes);
    }

    // Where an entry's values are and how wide each is; false for a type that holds no sizes.
    bool ValuesOf(std::uint64_t entry, std::uint64_t& at, std::uint64_t& width,
                  std::uint64_t& count) const {
        const std::uint32_t type = U16(static_cast<std::size_t>(entry + 2));
        if (type != 3 && type != 4) {
            return false;
        }
        width = type == 3 ? 2 : 4;
        count = U32(static_cast<std::size_t>(entry + 4));
        at = count * width <= 4 ? entry + 8 : U32(static_cast<std::size_t>(entry + 8));
        return true;
    }

    std::uint64_t Value(std::uint64_t at, std::uint64_t width) const {
        return width == 2 ? U16(static_cast<std::size_t>(at)) : U32(static_cast<std::size_t>(at));
    }

    bool PiecesCutShort(std::uint64_t offsets, std::uint64_t counts) const {
        std::uint64_t offsetsAt = 0, offsetWidth = 0, pieces = 0;
        std::uint64_t countsAt = 0, countWidth = 0, counted = 0;
        if (offsets == 0 || counts == 0 || !ValuesOf(offsets, offsetsAt, offsetWidth, pieces) ||
            !ValuesOf(counts, countsAt, countWidth, counted)) {
            return false;
        }
        if (!file_.Has(offsetsAt, pieces * offsetWidth) ||
            !file_.Has(countsAt, counted * countWidth)) {
            return true;
        }
        for (std::uint64_t k = 0; k < std::min(pieces, counted); ++k) {
            if (!file_.Has(Value(offsetsAt + k * offsetWidth, offsetWidth),
                           Value(countsAt + k * countWidth, countWidth))) {
                return true;
            }
        }
        return false;
    }

    const Bytes& file_;
    bool little_;
};

bool IsTiff(const Bytes& file) {
    return file.StartsWith("II*\0", 4) || file.StartsWith("MM\0*", 4);
}

}  // namespace

bool EndsBeforeItsPicture(const std::uint8_t* data, std::size_t size, std::string_view extension) {
    const Bytes file{data, size};
    if (size < 2) {
        return false;  // nothing to tell a format by
    }
    constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";
    if (file.StartsWith(kPngSignature, std::min<std::size_t>(size, 8))) {
        return size < 8 || PngCutShort(file);
    }
    if (file.StartsWith("GIF8", 4)) {
        return GifCutShort(file);
    }
    if (file.StartsWith("BM", 2)) {
        return BmpCutShort(file);
    }
    if (file.StartsWith("\xFF\xD8", 2)) {
        return JpegCutShort(file);
    }
    if (IsTiff(file)) {
        return !file.Has(0, 8) || TiffFile(file).CutShort();
    }
    if (file.StartsWith("RIFF", 4)) {
        return !file.Has(0, 12) ||
               (std::memcmp(data + 8, "WEBP", 4) == 0 && !file.Has(8, file.Little32(4)));
    }
    // TGA has no signature: only a file named so is taken for one.
    std::string lower(extension);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return (lower == ".tga" || lower == "tga") && TgaCutShort(file);
}

}  // namespace vexlor
