#include "library/records.h"

#include <algorithm>

#include "library/byte_order.h"

namespace vexlor {

tHEADER tHEADER::Decode(const std::uint8_t* p) {
    tHEADER h{};
    std::copy(p, p + 8, h.Signature);
    h.Reserved1 = GetU16(p + 8);
    h.GroupCount = GetU16(p + 10);
    h.ImageCount = GetU16(p + 12);
    h.ImageDataSize = GetU32(p + 14);
    h.ColourCount = GetU32(p + 18);
    h.LibraryKind = GetU32(p + 22);
    h.Reserved2 = GetU32(p + 26);
    h.GroupDataSize = GetU32(p + 30);
    return h;
}

tHEADER::Bytes tHEADER::Encode() const {
    Bytes b{};
    std::copy(Signature, Signature + 8, b.begin());
    PutU16(&b[8], Reserved1);
    PutU16(&b[10], GroupCount);
    PutU16(&b[12], ImageCount);
    PutU32(&b[14], ImageDataSize);
    PutU32(&b[18], ColourCount);
    PutU32(&b[22], LibraryKind);
    PutU32(&b[26], Reserved2);
    PutU32(&b[30], GroupDataSize);
    return b;
}

bool tHEADER::HasSignature() const {
    return std::equal(kSignature.begin(), kSignature.end(), Signature);
}

tGROUP tGROUP::Decode(const std::uint8_t* p) {
    tGROUP g{};
    g.GroupId = GetU16(p);
    g.ImageCount = GetU16(p + 2);
    g.ImageDataSize = GetU32(p + 4);
    g.ColourCount = GetU32(p + 8);
    g.Reserved1 = GetU32(p + 12);
    g.Reserved2 = GetU32(p + 16);
    g.DataOffset = GetU32(p + 20);
    return g;
}

tGROUP::Bytes tGROUP::Encode() const {
    Bytes b{};
    PutU16(&b[0], GroupId);
    PutU16(&b[2], ImageCount);
    PutU32(&b[4], ImageDataSize);
    PutU32(&b[8], ColourCount);
    PutU32(&b[12], Reserved1);
    PutU32(&b[16], Reserved2);
    PutU32(&b[20], DataOffset);
    return b;
}

tIMAGE tIMAGE::Decode(const std::uint8_t* p) {
    tIMAGE r{};
    r.PictureFormat = GetU16(p);
    r.Width = GetU16(p + 2);
    r.Height = GetU16(p + 4);
    r.Reserved1 = GetU32(p + 6);
    r.GroupId = GetU16(p + 10);
    r.PictureId = GetU16(p + 12);
    r.DataSize = GetU32(p + 14);
    r.BlockSize = GetU32(p + 18);
    r.PaletteOffset = GetU32(p + 22);
    r.PixelOffset = GetU32(p + 26);
    r.DataEnd = GetU32(p + 30);
    r.BlockWidth = GetU32(p + 34);
    r.BlockHeight = GetU32(p + 38);
    r.Reserved2 = GetU32(p + 42);
    r.Reserved3 = GetU32(p + 46);
    r.BlockFormat = GetU32(p + 50);
    r.Reserved4 = GetU32(p + 54);
    r.ColourCount = GetU32(p + 58);
    return r;
}

tIMAGE::Bytes tIMAGE::Encode() const {
    Bytes b{};
    PutU16(&b[0], PictureFormat);
    PutU16(&b[2], Width);
    PutU16(&b[4], Height);
    PutU32(&b[6], Reserved1);
    PutU16(&b[10], GroupId);
    PutU16(&b[12], PictureId);
    PutU32(&b[14], DataSize);
    PutU32(&b[18], BlockSize);
    PutU32(&b[22], PaletteOffset);
    PutU32(&b[26], PixelOffset);
    PutU32(&b[30], DataEnd);
    PutU32(&b[34], BlockWidth);
    PutU32(&b[38], BlockHeight);
    PutU32(&b[42], Reserved2);
    PutU32(&b[46], Reserved3);
    PutU32(&b[50], BlockFormat);
    PutU32(&b[54], Reserved4);
    PutU32(&b[58], ColourCount);
    return b;
}

tIMAGE tIMAGE::Make(std::uint16_t format, std::uint16_t width, std::uint16_t height,
                    std::uint16_t groupId, std::uint16_t pictureId, std::uint32_t colourCount,
                    std::uint32_t pixelBytes) {
    tIMAGE r{};
    const std::uint32_t pixelOffset = kBlockHeaderBytes + 3 * colourCount;
    r.PictureFormat = format;
    r.Width = width;
    r.Height = height;
    r.GroupId = groupId;
    r.PictureId = pictureId;
    r.DataSize = pixelOffset + pixelBytes;
    r.BlockSize = r.DataSize;
    r.PaletteOffset = kBlockHeaderBytes;
    r.PixelOffset = pixelOffset;
    r.DataEnd = r.DataSize;
    r.BlockWidth = width;
    r.BlockHeight = height;
    r.BlockFormat = format;
    r.Reserved4 = 24;
    r.ColourCount = colourCount;
    return r;
}

}  // namespace vexlor
