#include "library/library_reader.h"

#include <algorithm>

namespace vexlor {

const char* DescribeReadStatus(ReadStatus status) {
    switch (status) {
        case ReadStatus::Ok:
            return "ok";
        case ReadStatus::CannotOpen:
            return "the file cannot be opened";
        case ReadStatus::ShortHeader:
            return "the file is shorter than the 34-byte header";
        case ReadStatus::ShortGroupTable:
            return "the file ends inside the group table";
        case ReadStatus::ShortRecord:
            return "the file ends inside an image record";
        case ReadStatus::BadSizes:
            return "DataSize is smaller than PixelOffset";
        case ReadStatus::ShortPalette:
            return "the file ends inside a palette";
        case ReadStatus::ShortPixels:
            return "the file ends inside the pixel data";
    }
    return "unknown";
}

bool LibraryReader::Open(const std::string& path) {
    header_ = tHEADER{};
    recordsRead_ = 0;
    lastStatus_ = ReadStatus::Ok;
    if (!file_.Open(path, ByteFile::Mode::Read)) {
        headerStatus_ = ReadStatus::CannotOpen;
        fileSize_ = 0;
        return false;
    }
    fileSize_ = file_.Size();
    std::uint8_t bytes[tHEADER::kSize] = {};
    if (file_.ReadExactAt(0, bytes, sizeof bytes)) {
        header_ = tHEADER::Decode(bytes);
        headerStatus_ = ReadStatus::Ok;
    } else {
        headerStatus_ = ReadStatus::ShortHeader;
    }
    nextOffset_ = ImageDataStart(header_);
    return true;
}

ReadStatus LibraryReader::ReadGroups(std::vector<tGROUP>& groups) {
    groups.clear();
    std::uint8_t bytes[tGROUP::kSize];
    for (std::uint32_t k = 0; k < header_.GroupCount; ++k) {
        const std::uint64_t at = tHEADER::kSize + static_cast<std::uint64_t>(k) * tGROUP::kSize;
        if (at + tGROUP::kSize > fileSize_ || !file_.ReadExactAt(at, bytes, sizeof bytes)) {
            return ReadStatus::ShortGroupTable;
        }
        groups.push_back(tGROUP::Decode(bytes));
    }
    return ReadStatus::Ok;
}

bool LibraryReader::NextRecord(ImageRecord& record) {
    lastStatus_ = ReadStatus::Ok;
    if (recordsRead_ >= header_.ImageCount) {
        return false;
    }
    std::uint8_t bytes[tIMAGE::kSize];
    if (nextOffset_ + tIMAGE::kSize > fileSize_ ||
        !file_.ReadExactAt(nextOffset_, bytes, sizeof bytes)) {
        lastStatus_ = ReadStatus::ShortRecord;
        recordsRead_ = header_.ImageCount;
        return false;
    }
    ++recordsRead_;
    record.offset = nextOffset_;
    record.position = recordsRead_;
    record.image = tIMAGE::Decode(bytes);
    nextOffset_ = record.offset + RecordBytes(record.image);
    return true;
}

ReadStatus LibraryReader::ReadPicture(const ImageRecord& record, tPAL& palette, tPIX& pixels) {
    palette.clear();
    pixels.clear();
    const tIMAGE& image = record.image;
    const std::uint64_t paletteStart = record.offset + tIMAGE::kSize;
    const std::uint64_t paletteBytes = 3ull * image.ColourCount;
    if (paletteStart + paletteBytes > fileSize_) {
        return ReadStatus::ShortPalette;
    }
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(paletteBytes));
    if (!raw.empty() && !file_.ReadExactAt(paletteStart, raw.data(), raw.size())) {
        return ReadStatus::ShortPalette;
    }
    DecodePalette(raw.data(), image.ColourCount, palette);

    if (image.DataSize < image.PixelOffset) {
        return ReadStatus::BadSizes;
    }
    const std::uint64_t pixelStart = paletteStart + paletteBytes;
    const std::uint64_t pixelBytes = image.DataSize - image.PixelOffset;
    if (pixelStart + pixelBytes > fileSize_) {
        return ReadStatus::ShortPixels;
    }
    pixels.resize(static_cast<std::size_t>(pixelBytes));
    if (!pixels.empty() && !file_.ReadExactAt(pixelStart, pixels.data(), pixels.size())) {
        pixels.clear();
        return ReadStatus::ShortPixels;
    }
    return ReadStatus::Ok;
}

void LibraryReader::ContinueAfterPicture(const ImageRecord& record) {
    const tIMAGE& image = record.image;
    const std::uint64_t pixelBytes =
        image.DataSize > image.PixelOffset ? image.DataSize - image.PixelOffset : 0;
    nextOffset_ = record.offset + tIMAGE::kSize + 3ull * image.ColourCount + pixelBytes;
}

void DecodePalette(const std::uint8_t* bytes, std::size_t count, tPAL& palette) {
    palette.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = bytes + 3 * i;
        palette[i] = static_cast<std::int32_t>(MakeColour(p[0], p[1], p[2]));
    }
}

std::vector<std::uint8_t> EncodePalette(const tPAL& palette) {
    std::vector<std::uint8_t> bytes(palette.size() * 3);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const auto c = static_cast<Colour>(palette[i]);
        bytes[3 * i] = static_cast<std::uint8_t>(RedOf(c));
        bytes[3 * i + 1] = static_cast<std::uint8_t>(GreenOf(c));
        bytes[3 * i + 2] = static_cast<std::uint8_t>(BlueOf(c));
    }
    return bytes;
}

std::string EncodeRecord(const tIMAGE& record, const tPAL& palette, const tPIX& pixels) {
    const auto fields = record.Encode();
    std::string bytes(fields.begin(), fields.end());
    const std::vector<std::uint8_t> colours = EncodePalette(palette);
    bytes.append(colours.begin(), colours.end());
    bytes.append(pixels.begin(), pixels.end());
    return bytes;
}

bool ReadLibraryHeader(const std::string& path, tHEADER& header) {
    LibraryReader reader;
    if (!reader.Open(path) || reader.HeaderStatus() != ReadStatus::Ok) {
        return false;
    }
    header = reader.Header();
    return true;
}

}  // namespace vexlor
