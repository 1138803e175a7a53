#include "tests/support/picture_library.h"

#include <algorithm>

#include "library/byte_order.h"
#include "library/images.h"
#include "library/index_alpha.h"
#include "library/library_reader.h"
#include "library/run_length.h"

namespace vexlor::test {
namespace {

constexpr int kRingColours = 12;

// Index 0 outside a ring, the ring's colours by angle-free bands of distance inside it.
IndexedImage RingPicture(int width, int height, std::uint16_t seed) {
    std::vector<Colour> palette = {MakeColour(0, 0, 0)};
    for (int i = 1; i <= kRingColours; ++i) {
        palette.push_back(MakeColour(static_cast<unsigned>(40 + 17 * i + seed * 31),
                                     static_cast<unsigned>(200 - 13 * i + seed * 7),
                                     static_cast<unsigned>(60 + 11 * i * (seed % 3 + 1))));
    }
    IndexedImage picture(width, height, palette);
    const double cx = (width - 1) / 2.0;
    const double cy = (height - 1) / 2.0;
    const double radius = std::min(width, height) / 2.0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double dx = (x - cx) / radius;
            const double dy = (y - cy) / radius;
            const double distance = dx * dx + dy * dy;
            const int band = distance >= 1.0 ? 0 : 1 + static_cast<int>(distance * kRingColours);
            picture.indices[static_cast<std::size_t>(y * width + x)] =
                static_cast<std::uint8_t>(std::min(band, kRingColours));
        }
    }
    return picture;
}

void EncodePicture(const PicturePlan& plan, tPAL& palette, tPIX& pixels) {
    const IndexedImage picture = RingPicture(plan.width, plan.height, plan.pictureId);
    palette.clear();
    pixels.clear();
    if (plan.format == kRunLengthFormat) {
        BmpToRlePicture(picture, plan.width, plan.height, pixels, palette);
    } else if (plan.format == kIndexAlphaFormat) {
        BmpToIndexAlphaPicture(picture, plan.width, plan.height, pixels, palette);
    } else {
        palette.assign(picture.palette.begin(), picture.palette.end());
        pixels.assign(picture.indices.begin(), picture.indices.end());
    }
}

}  // namespace

Bytes BuildPictureLibrary(std::uint32_t kind, const std::vector<PicturePlan>& pictures) {
    tHEADER header{};
    std::copy(kSignature.begin(), kSignature.end(), header.Signature);
    header.Reserved1 = 1;
    header.LibraryKind = kind;
    std::vector<tGROUP> groups;
    Bytes data;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const PicturePlan& plan = pictures[i];
        if (i == 0 || pictures[i - 1].groupId != plan.groupId) {
            tGROUP group{};
            group.GroupId = plan.groupId;
            group.DataOffset = static_cast<std::uint32_t>(data.size());
            groups.push_back(group);
        }
        tPAL palette;
        tPIX pixels;
        EncodePicture(plan, palette, pixels);
        const tIMAGE image = tIMAGE::Make(
            plan.format, static_cast<std::uint16_t>(plan.width),
            static_cast<std::uint16_t>(plan.height), plan.groupId, plan.pictureId,
            static_cast<std::uint32_t>(palette.size()), static_cast<std::uint32_t>(pixels.size()));
        const auto record = image.Encode();
        const std::vector<std::uint8_t> colours = EncodePalette(palette);
        data.insert(data.end(), record.begin(), record.end());
        data.insert(data.end(), colours.begin(), colours.end());
        data.insert(data.end(), pixels.begin(), pixels.end());
        tGROUP& group = groups.back();
        ++group.ImageCount;
        group.ImageDataSize += static_cast<std::uint32_t>(RecordBytes(image));
        group.ColourCount += image.ColourCount;
        ++header.ImageCount;
        header.ImageDataSize += static_cast<std::uint32_t>(RecordBytes(image));
        header.ColourCount += image.ColourCount;
    }
    header.GroupCount = static_cast<std::uint16_t>(groups.size());
    header.GroupDataSize = static_cast<std::uint32_t>(tGROUP::kSize * groups.size());
    const auto encodedHeader = header.Encode();
    Bytes bytes(encodedHeader.begin(), encodedHeader.end());
    for (const tGROUP& group : groups) {
        const auto encoded = group.Encode();
        bytes.insert(bytes.end(), encoded.begin(), encoded.end());
    }
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

std::size_t ImageDataOffset(const Bytes& library) {
    return library.size() < tHEADER::kSize ? library.size()
                                           : tHEADER::kSize + tGROUP::kSize * GetU16(&library[10]);
}

}  // namespace vexlor::test
