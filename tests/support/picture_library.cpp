#include "tests/support/picture_library.h"

#include <algorithm>

#include "library/byte_order.h"
#include "library/images.h"
#include "library/index_alpha.h"
#include "library/library_reader.h"
#include "library/run_length.h"
#include "tests/support/any_library.h"

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
    std::vector<AnyGroup> groups;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const PicturePlan& plan = pictures[i];
        if (i == 0 || pictures[i - 1].groupId != plan.groupId) {
            groups.push_back({plan.groupId, {}});
        }
        AnyRecord record;
        record.format = plan.format;
        record.width = static_cast<std::uint16_t>(plan.width);
        record.height = static_cast<std::uint16_t>(plan.height);
        record.pictureId = plan.pictureId;
        EncodePicture(plan, record.palette, record.pixels);
        groups.back().records.push_back(std::move(record));
    }
    return BuildAnyLibrary(kind, groups);
}

std::size_t ImageDataOffset(const Bytes& library) {
    return library.size() < tHEADER::kSize ? library.size()
                                           : tHEADER::kSize + tGROUP::kSize * GetU16(&library[10]);
}

}  // namespace vexlor::test
