#include "library/bmp_file.h"

#include <algorithm>
#include <array>
#include <bit>
#include <new>
#include <utility>

#include "library/byte_file.h"
#include "library/byte_order.h"
#include "library/replacement_file.h"

namespace vexlor {

namespace {

constexpr std::uint64_t kFileHeaderBytes = 14;
constexpr std::uint32_t kCoreHeaderBytes = 12;     // OS/2 1.x
constexpr std::uint32_t kInfoHeaderBytes = 40;     // Windows 3
constexpr std::uint32_t kOs2InfoHeaderBytes = 64;  // OS/2 2.x
constexpr std::uint32_t kMasksInHeaderBytes = 52;  // from here on the masks are in the header

enum Compression : std::uint32_t {
    kUncompressed = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitFields = 3,
    kAlphaBitFields = 6,
};

// The file's bytes; every read first asks whether its bytes are there.
class ByteView {
  public:
    ByteView(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Has(std::uint64_t offset, std::uint64_t count) const {
        return offset <= size_ && count <= size_ - offset;
    }
    const std::uint8_t* At(std::uint64_t offset) const { return data_ + offset; }
    std::uint64_t Size() const { return size_; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// What the headers say, checked against the limits and the bytes present.
struct Layout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bitsPerPixel = 0;
    std::uint32_t compression = kUncompressed;
    std::uint64_t colourTableOffset = 0;
    std::uint32_t colourTableEntryBytes = 4;
    std::uint32_t colourTableEntries = 0;
    std::uint64_t pixelOffset = 0;
    std::array<std::uint32_t, 3> masks{};  // red, green, blue of a true-colour pixel value
};

// The raw header fields, before any check.
struct HeaderFields {
    std::uint32_t headerBytes = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    int bitsPerPixel = 0;
    std::uint32_t compression = kUncompressed;
    std::uint32_t coloursUsed = 0;
};

// Windows 3 (40), its two extensions with masks (52, 56), OS/2 2.x (64), V4 (108), V5 (124).
bool IsInfoHeaderSize(std::uint32_t headerBytes) {
    constexpr std::array<std::uint32_t, 6> kSizes = {kInfoHeaderBytes,    52,  56,
                                                     kOs2InfoHeaderBytes, 108, 124};
    return std::find(kSizes.begin(), kSizes.end(), headerBytes) != kSizes.end();
}

bool ReadHeaderFields(const ByteView& bytes, HeaderFields& fields) {
    if (!bytes.Has(0, kFileHeaderBytes + 4) || bytes.At(0)[0] != 'B' || bytes.At(0)[1] != 'M') {
        return false;
    }
    fields.headerBytes = GetU32(bytes.At(kFileHeaderBytes));
    if (!bytes.Has(kFileHeaderBytes, fields.headerBytes)) {
        return false;
    }
    const std::uint8_t* h = bytes.At(kFileHeaderBytes);
    if (fields.headerBytes == kCoreHeaderBytes) {
        fields.width = GetU16(h + 4);
        fields.height = GetU16(h + 6);
        fields.bitsPerPixel = GetU16(h + 10);
        return true;
    }
    if (!IsInfoHeaderSize(fields.headerBytes)) {
        return false;
    }
    fields.width = GetI32(h + 4);
    fields.height = GetI32(h + 8);
    fields.bitsPerPixel = GetU16(h + 14);
    fields.compression = GetU32(h + 16);
    fields.coloursUsed = GetU32(h + 32);
    return true;
}

bool IsPalettised(int bitsPerPixel) {
    return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8;
}

bool IsSupportedEncoding(const HeaderFields& fields) {
    const int bits = fields.bitsPerPixel;
    if (fields.headerBytes == kCoreHeaderBytes) {
        return IsPalettised(bits) || bits == 24;
    }
    // OS/2 2.x gives 3 and 4 other meanings (Huffman, RLE24), which are not read here.
    if (fields.headerBytes == kOs2InfoHeaderBytes && fields.compression >= kBitFields) {
        return false;
    }
    switch (fields.compression) {
        case kUncompressed:
            return IsPalettised(bits) || bits == 16 || bits == 24 || bits == 32;
        case kRle8:
            return bits == 8;
        case kRle4:
            return bits == 4;
        case kBitFields:
        case kAlphaBitFields:
            return bits == 16 || bits == 32;
        default:
            return false;
    }
}

bool SetSize(const HeaderFields& fields, Layout& layout) {
    const std::int64_t height = fields.height < 0 ? -fields.height : fields.height;
    if (fields.width < 1 || fields.width > kBmpMaxDimension || height < 1 ||
        height > kBmpMaxDimension ||
        static_cast<std::uint64_t>(fields.width * height) > kBmpMaxPixels) {
        return false;
    }
    layout.width = static_cast<int>(fields.width);
    layout.height = static_cast<int>(height);
    layout.topDown = fields.height < 0;
    return true;
}

bool HasBitFields(std::uint32_t compression) {
    return compression == kBitFields || compression == kAlphaBitFields;
}

// Without bit fields the pixel value layout is fixed by the depth.
std::array<std::uint32_t, 3> DefaultMasks(int bitsPerPixel) {
    if (bitsPerPixel == 16) {
        return {0x7C00, 0x03E0, 0x001F};
    }
    return {0xFF0000, 0x00FF00, 0x0000FF};
}

// Sets the masks and where the colour table starts: a 40-byte header is followed by
// its masks, the larger headers hold them.
bool SetMasks(const ByteView& bytes, const HeaderFields& fields, Layout& layout,
              std::uint64_t& colourTableOffset) {
    const std::uint64_t headerEnd = kFileHeaderBytes + fields.headerBytes;
    colourTableOffset = headerEnd;
    layout.masks = DefaultMasks(fields.bitsPerPixel);
    if (!HasBitFields(fields.compression)) {
        return true;
    }
    std::uint64_t maskOffset = kFileHeaderBytes + kInfoHeaderBytes;
    if (fields.headerBytes < kMasksInHeaderBytes) {
        colourTableOffset = headerEnd + (fields.compression == kAlphaBitFields ? 16 : 12);
        maskOffset = headerEnd;
    }
    if (!bytes.Has(maskOffset, 12)) {
        return false;
    }
    for (std::size_t channel = 0; channel < 3; ++channel) {
        layout.masks[channel] = GetU32(bytes.At(maskOffset + 4 * channel));
    }
    return true;
}

std::uint32_t DeclaredColourTableEntries(const HeaderFields& fields) {
    if (!IsPalettised(fields.bitsPerPixel)) {
        return 0;  // a true-colour file's table only suggests colours for old displays
    }
    const std::uint32_t full = 1u << fields.bitsPerPixel;
    const bool core = fields.headerBytes == kCoreHeaderBytes;
    const std::uint32_t declared = core || fields.coloursUsed == 0 ? full : fields.coloursUsed;
    return std::min<std::uint32_t>(declared, 256);
}

// The colour table ends where the pixels start at the latest: some writers store fewer
// entries than they declare.
bool SetColourTable(const ByteView& bytes, const HeaderFields& fields,
                    std::uint64_t colourTableOffset, Layout& layout) {
    layout.pixelOffset = GetU32(bytes.At(10));
    if (layout.pixelOffset < colourTableOffset || layout.pixelOffset > bytes.Size()) {
        return false;
    }
    layout.colourTableOffset = colourTableOffset;
    layout.colourTableEntryBytes = fields.headerBytes == kCoreHeaderBytes ? 3 : 4;
    const std::uint64_t room =
        (layout.pixelOffset - colourTableOffset) / layout.colourTableEntryBytes;
    layout.colourTableEntries = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(DeclaredColourTableEntries(fields), room));
    return true;
}

bool ReadLayout(const ByteView& bytes, Layout& layout) {
    HeaderFields fields;
    if (!ReadHeaderFields(bytes, fields) || !IsSupportedEncoding(fields) ||
        !SetSize(fields, layout)) {
        return false;
    }
    layout.bitsPerPixel = fields.bitsPerPixel;
    layout.compression = fields.compression;
    std::uint64_t colourTableOffset = 0;
    return SetMasks(bytes, fields, layout, colourTableOffset) &&
           SetColourTable(bytes, fields, colourTableOffset, layout);
}

std::vector<Colour> ReadColourTable(const ByteView& bytes, const Layout& layout) {
    std::vector<Colour> table;
    table.reserve(layout.colourTableEntries);
    for (std::uint32_t k = 0; k < layout.colourTableEntries; ++k) {
        const std::uint8_t* entry =
            bytes.At(layout.colourTableOffset + std::uint64_t{k} * layout.colourTableEntryBytes);
        table.push_back(MakeColour(entry[2], entry[1], entry[0]));  // stored blue, green, red
    }
    return table;
}

int DisplayRow(const Layout& layout, std::int64_t storedRow) {
    return static_cast<int>(layout.topDown ? storedRow : layout.height - 1 - storedRow);
}

// Uncompressed rows are padded to whole 32-bit words.
std::uint64_t RowStride(const Layout& layout) {
    const std::uint64_t bits = static_cast<std::uint64_t>(layout.width) * layout.bitsPerPixel;
    return (bits + 31) / 32 * 4;
}

// The last row's padding may be missing without losing a pixel.
bool HasUncompressedRows(const ByteView& bytes, const Layout& layout) {
    const std::uint64_t bits = static_cast<std::uint64_t>(layout.width) * layout.bitsPerPixel;
    const std::uint64_t needed = RowStride(layout) * (layout.height - 1) + (bits + 7) / 8;
    return bytes.Has(layout.pixelOffset, needed);
}

std::uint8_t IndexAt(const std::uint8_t* row, int x, int bitsPerPixel) {
    if (bitsPerPixel == 8) {
        return row[x];
    }
    const std::size_t bit = static_cast<std::size_t>(x) * bitsPerPixel;
    const int shift = 8 - bitsPerPixel - static_cast<int>(bit % 8);  // leftmost pixel highest
    return static_cast<std::uint8_t>((row[bit / 8] >> shift) & ((1u << bitsPerPixel) - 1));
}

bool DecodeIndexedRows(const ByteView& bytes, const Layout& layout, IndexedImage& image) {
    if (!HasUncompressedRows(bytes, layout)) {
        return false;
    }
    const std::uint64_t stride = RowStride(layout);
    for (int stored = 0; stored < layout.height; ++stored) {
        const std::uint8_t* row = bytes.At(layout.pixelOffset + stride * stored);
        const int y = DisplayRow(layout, stored);
        for (int x = 0; x < layout.width; ++x) {
            image.SetIndex(x, y, IndexAt(row, x, layout.bitsPerPixel));
        }
    }
    return true;
}

// Draws an RLE8 or RLE4 stream. Pixels beyond the right edge are dropped; the stream is
// complete at its end-of-bitmap mark or once it has moved past the last row, and broken
// when the bytes end before either.
class RunLengthDecoder {
  public:
    RunLengthDecoder(const ByteView& bytes, const Layout& layout, IndexedImage& image)
        : bytes_(bytes), layout_(layout), image_(image), at_(layout.pixelOffset) {}

    bool Decode() {
        for (;;) {
            if (row_ >= layout_.height) {
                return true;
            }
            if (!bytes_.Has(at_, 2)) {
                return false;
            }
            const std::uint8_t count = bytes_.At(at_)[0];
            const std::uint8_t value = bytes_.At(at_)[1];
            at_ += 2;
            if (count > 0) {
                DrawRun(count, value);
            } else if (value == kEndOfBitmap) {
                return true;
            } else if (!Escape(value)) {
                return false;
            }
        }
    }

  private:
    static constexpr std::uint8_t kEndOfLine = 0;
    static constexpr std::uint8_t kEndOfBitmap = 1;
    static constexpr std::uint8_t kDelta = 2;

    bool IsRle4() const { return layout_.compression == kRle4; }

    bool Escape(std::uint8_t value) {
        if (value == kEndOfLine) {
            x_ = 0;
            ++row_;
            return true;
        }
        if (value == kDelta) {
            if (!bytes_.Has(at_, 2)) {
                return false;
            }
            Advance(bytes_.At(at_)[0]);
            row_ += bytes_.At(at_)[1];
            at_ += 2;
            return true;
        }
        return DrawLiteral(value);
    }

    // A run repeats one byte; in RLE4 its two nibbles alternate.
    void DrawRun(int count, std::uint8_t value) {
        const int visible = std::min(count, layout_.width - x_);
        for (int k = 0; k < visible; ++k) {
            Put(x_ + k, IsRle4() ? Nibble(value, k) : value);
        }
        Advance(count);
    }

    // Literal pixels follow the escape, padded to a 16-bit boundary.
    bool DrawLiteral(int count) {
        const std::uint64_t length = IsRle4() ? (count + 1) / 2 : count;
        if (!bytes_.Has(at_, length)) {
            return false;
        }
        const std::uint8_t* pixels = bytes_.At(at_);
        const int visible = std::min(count, layout_.width - x_);
        for (int k = 0; k < visible; ++k) {
            Put(x_ + k, IsRle4() ? Nibble(pixels[k / 2], k) : pixels[k]);
        }
        Advance(count);
        at_ += length + (length & 1);
        return true;
    }

    static std::uint8_t Nibble(std::uint8_t pair, int k) {
        return static_cast<std::uint8_t>(k % 2 == 0 ? pair >> 4 : pair & 0x0F);
    }

    // x stops at the right edge: nothing moves left again before the next row.
    void Advance(int columns) { x_ = std::min(x_ + columns, layout_.width); }

    void Put(int x, std::uint8_t index) { image_.SetIndex(x, DisplayRow(layout_, row_), index); }

    const ByteView& bytes_;
    const Layout& layout_;
    IndexedImage& image_;
    std::uint64_t at_;
    int x_ = 0;
    std::int64_t row_ = 0;  // counted in stored order, from the first stored row
};

// One colour channel of a true-colour pixel value, scaled to 0..255.
class Channel {
  public:
    explicit Channel(std::uint32_t mask)
        : mask_(mask),
          shift_(mask == 0 ? 0 : std::countr_zero(mask)),
          largest_(mask == 0 ? 0 : mask >> shift_) {}

    unsigned Of(std::uint32_t value) const {
        if (largest_ == 0) {
            return 0;
        }
        const std::uint64_t level = (value & mask_) >> shift_;
        return static_cast<unsigned>((level * 255 + largest_ / 2) / largest_);
    }

  private:
    std::uint32_t mask_;
    int shift_;
    std::uint64_t largest_;
};

std::uint32_t PixelValue(const std::uint8_t* pixel, int bytesPerPixel) {
    std::uint32_t value = 0;
    for (int k = bytesPerPixel - 1; k >= 0; --k) {
        value = (value << 8) | pixel[k];
    }
    return value;
}

bool DecodeTrueColourRows(const ByteView& bytes, const Layout& layout, TrueColourImage& image) {
    if (!HasUncompressedRows(bytes, layout)) {
        return false;
    }
    image = TrueColourImage(layout.width, layout.height);
    const Channel red(layout.masks[0]);
    const Channel green(layout.masks[1]);
    const Channel blue(layout.masks[2]);
    const int bytesPerPixel = layout.bitsPerPixel / 8;
    const std::uint64_t stride = RowStride(layout);
    for (int stored = 0; stored < layout.height; ++stored) {
        const std::uint8_t* row = bytes.At(layout.pixelOffset + stride * stored);
        const int y = DisplayRow(layout, stored);
        for (int x = 0; x < layout.width; ++x) {
            const std::uint32_t value = PixelValue(row + x * bytesPerPixel, bytesPerPixel);
            image.SetPixel(x, y, MakeColour(red.Of(value), green.Of(value), blue.Of(value)));
        }
    }
    return true;
}

TrueColourImage ColoursOf(const IndexedImage& indexed) {
    TrueColourImage colours(indexed.width, indexed.height);
    for (std::size_t k = 0; k < indexed.indices.size(); ++k) {
        colours.pixels[k] = indexed.PaletteColour(indexed.indices[k]);
    }
    return colours;
}

bool DecodeLayout(const ByteView& bytes, const Layout& layout, BmpPicture& picture) {
    picture.bitsPerPixel = layout.bitsPerPixel;
    if (!IsPalettised(layout.bitsPerPixel)) {
        return DecodeTrueColourRows(bytes, layout, picture.colours);
    }
    picture.indexed = IndexedImage(layout.width, layout.height, ReadColourTable(bytes, layout));
    const bool runLength = layout.compression == kRle8 || layout.compression == kRle4;
    const bool decoded = runLength ? RunLengthDecoder(bytes, layout, picture.indexed).Decode()
                                   : DecodeIndexedRows(bytes, layout, picture.indexed);
    if (!decoded) {
        return false;
    }
    picture.colours = ColoursOf(picture.indexed);
    return true;
}

// The largest file worth reading: the biggest picture within the limits at 32 bits per
// pixel, with room for headers and gaps.
constexpr std::uint64_t kMaxFileBytes = kBmpMaxPixels * 4 + (std::uint64_t{16} << 20);

// Reads in chunks rather than trusting the reported size, which is meaningless for some
// special files.
bool ReadFilePrefix(const std::string& path, std::vector<std::uint8_t>& bytes) {
    ByteFile file;
    if (!file.Open(path, ByteFile::Mode::Read)) {
        return false;
    }
    constexpr std::size_t kChunkBytes = std::size_t{1} << 20;
    bytes.clear();
    while (bytes.size() < kMaxFileBytes) {
        const std::size_t at = bytes.size();
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(kChunkBytes, kMaxFileBytes - at));
        bytes.resize(at + wanted);
        const std::size_t got = file.ReadAt(at, bytes.data() + at, wanted);
        bytes.resize(at + got);
        if (got < wanted) {
            break;
        }
    }
    return true;
}

constexpr std::uint32_t kWrittenHeaderBytes = kFileHeaderBytes + kInfoHeaderBytes;
constexpr std::uint32_t kWrittenColourTableEntries = 256;
constexpr std::uint32_t kWrittenPixelOffset = kWrittenHeaderBytes + 4 * kWrittenColourTableEntries;
constexpr std::uint32_t kPixelsPerMetreAt72Dpi = 2835;

bool CanEncode(const IndexedImage& image) {
    if (image.width < 1 || image.height < 1 || image.width > kBmpMaxDimension ||
        image.height > kBmpMaxDimension) {
        return false;
    }
    const std::uint64_t pixels = static_cast<std::uint64_t>(image.width) * image.height;
    return pixels <= kBmpMaxPixels && image.indices.size() == pixels;
}

void PutHeaders(std::uint8_t* file, const IndexedImage& image, std::uint32_t pixelBytes) {
    file[0] = 'B';
    file[1] = 'M';
    PutU32(file + 2, kWrittenPixelOffset + pixelBytes);
    PutU32(file + 10, kWrittenPixelOffset);
    std::uint8_t* info = file + kFileHeaderBytes;
    PutU32(info + 0, kInfoHeaderBytes);
    PutU32(info + 4, static_cast<std::uint32_t>(image.width));
    PutU32(info + 8, static_cast<std::uint32_t>(image.height));  // positive: bottom-up
    PutU16(info + 12, 1);                                        // planes
    PutU16(info + 14, 8);
    PutU32(info + 16, kUncompressed);
    PutU32(info + 20, pixelBytes);
    PutU32(info + 24, kPixelsPerMetreAt72Dpi);
    PutU32(info + 28, kPixelsPerMetreAt72Dpi);
    PutU32(info + 32, kWrittenColourTableEntries);
    PutU32(info + 36, 0);  // every colour is important
}

void PutColourTable(std::uint8_t* table, const IndexedImage& image) {
    for (std::uint32_t k = 0; k < kWrittenColourTableEntries; ++k) {
        const Colour colour = image.PaletteColour(k);
        std::uint8_t* entry = table + 4 * k;
        entry[0] = static_cast<std::uint8_t>(BlueOf(colour));
        entry[1] = static_cast<std::uint8_t>(GreenOf(colour));
        entry[2] = static_cast<std::uint8_t>(RedOf(colour));
    }
}

void PutRows(std::uint8_t* pixels, const IndexedImage& image, std::size_t stride) {
    const std::size_t width = static_cast<std::size_t>(image.width);
    for (int y = 0; y < image.height; ++y) {
        const std::size_t stored = static_cast<std::size_t>(image.height - 1 - y);
        std::copy_n(image.indices.begin() + static_cast<std::ptrdiff_t>(width * y), width,
                    pixels + stride * stored);
    }
}

}  // namespace

bool DecodeBmp(const std::uint8_t* data, std::size_t size, BmpPicture& out) {
    out = BmpPicture{};
    if (data == nullptr) {
        return false;
    }
    try {
        const ByteView bytes(data, size);
        Layout layout;
        BmpPicture picture;
        if (!ReadLayout(bytes, layout) || !DecodeLayout(bytes, layout, picture)) {
            return false;
        }
        out = std::move(picture);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool ReadBmpFile(const std::string& path, BmpPicture& out) {
    out = BmpPicture{};
    try {
        std::vector<std::uint8_t> bytes;
        return ReadFilePrefix(path, bytes) && DecodeBmp(bytes.data(), bytes.size(), out);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

std::vector<std::uint8_t> EncodeBmp8(const IndexedImage& image) {
    if (!CanEncode(image)) {
        return {};
    }
    try {
        const std::size_t stride = (static_cast<std::size_t>(image.width) + 3) / 4 * 4;
        const std::size_t pixelBytes = stride * static_cast<std::size_t>(image.height);
        std::vector<std::uint8_t> file(kWrittenPixelOffset + pixelBytes, 0);
        PutHeaders(file.data(), image, static_cast<std::uint32_t>(pixelBytes));
        PutColourTable(file.data() + kWrittenHeaderBytes, image);
        PutRows(file.data() + kWrittenPixelOffset, image, stride);
        return file;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

bool WriteBmpFile(const std::string& path, const IndexedImage& image) {
    const std::vector<std::uint8_t> file = EncodeBmp8(image);
    if (file.empty()) {
        return false;
    }
    // A new file that takes the name only when whole: a failed export leaves nothing behind,
    // and a link planted at the name is replaced rather than followed to wherever it leads.
    return ReplaceFileWith(
        path, std::string_view(reinterpret_cast<const char*>(file.data()), file.size()),
        ".vexlor-new", nullptr, ReplacementFile::Links::Replace);
}

}  // namespace vexlor
