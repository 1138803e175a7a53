#include "editors/hull_map_editor_logic.h"

#include <algorithm>

#include "library/index_alpha.h"
#include "library/picture_size.h"
#include "library/shade.h"
#include "library/stretch.h"

namespace vexlor {

HullMapEditorLogic::HullMapEditorLogic(EditorKind kind, std::string libraryPath)
    : LibraryEditorLogic(kind, std::move(libraryPath)) {}

int HullMapEditorLogic::SuggestedIdentifier(const PictureList& list) const {
    const int base = std::max(list.highestIdentifier, Constants().suggestionFloor);
    return std::clamp(base + Constants().spinStep, Constants().spinMinimum,
                      Constants().spinMaximum);
}

bool HullMapEditorLogic::MakeThumbnail(const tIMAGE& image, tPAL palette, const tPIX& pixels,
                                       Thumbnail& thumbnail) const {
    const int width = SideOf(image.BlockWidth);
    const int height = SideOf(image.BlockHeight);
    // A damaged record may claim a picture far larger than its data: no thumbnail for it,
    // rather than a huge image of nothing.
    if (!IsAcceptablePictureSize(width, height) || PixelCount(width, height) > pixels.size()) {
        return false;
    }
    thumbnail = MaskedIndexAlphaPicture(Constants(), width, height, palette, pixels);
    const int side = Constants().thumbnailSize;
    if (width == side && height == side) {
        return true;
    }
    const TrueColourImage drawn = std::move(thumbnail.image);
    return StretchPicture(drawn, side, side, thumbnail.image);
}

bool HullMapEditorLogic::ConvertForExport(const tIMAGE& image, tPAL& palette, const tPIX& pixels,
                                          IndexedImage& bitmap) const {
    return IndexAlphaPictureToBmp(SideOf(image.BlockWidth), SideOf(image.BlockHeight), GreyShade,
                                  pixels, palette, bitmap);
}

std::optional<std::string> HullMapEditorLogic::ExportFileName(const tIMAGE& image) const {
    const char* prefix = Constants().kind == EditorKind::Hull ? "hull_" : "map_";
    return prefix + std::to_string(image.GroupId) + "_" + std::to_string(image.PictureId) + ".bmp";
}

// Index 0 is the transparent one; pixels that the data does not reach stay at index 0 as well.
std::vector<bool> HullMapEditorLogic::TransparentPixels(const tIMAGE& image,
                                                        const tPIX& pixels) const {
    const std::size_t count = static_cast<std::size_t>(SideOf(image.BlockWidth)) *
                              static_cast<std::size_t>(SideOf(image.BlockHeight));
    std::vector<bool> transparent(count, true);
    for (std::size_t i = 0; i < count && 2 * i + 1 < pixels.size(); ++i) {
        transparent[i] = pixels[2 * i] == 0;
    }
    return transparent;
}

std::optional<EncodedPicture> HullMapEditorLogic::EncodeStaged(const ImageToAdd& stagedImage,
                                                               int value) const {
    const int width = Constants().pictureWidth;
    const int height = Constants().pictureHeight;
    EncodedPicture encoded;
    if (!BmpToIndexAlphaPicture(stagedImage.image, width, height, encoded.pixels,
                                encoded.palette)) {
        return std::nullopt;
    }
    encoded.record = tIMAGE::Make(kIndexAlphaFormat, static_cast<std::uint16_t>(width),
                                  static_cast<std::uint16_t>(height), Constants().groupId,
                                  static_cast<std::uint16_t>(value),
                                  static_cast<std::uint32_t>(encoded.palette.size()),
                                  static_cast<std::uint32_t>(encoded.pixels.size()));
    return encoded;
}

std::string HullMapEditorLogic::IdentifierRefusal(int value, std::optional<Series>) const {
    std::string refusal = OutsideRange(value, Constants().spinMinimum, Constants().spinMaximum);
    if (refusal.empty() && value % 100 != 0) {
        refusal = std::to_string(value) + " is not a multiple of 100";
    }
    return refusal;
}

std::string HullMapEditorLogic::IdentifierRule(std::optional<Series>) const {
    return "The number must be a multiple of 100 from " + std::to_string(Constants().spinMinimum) +
           " to " + std::to_string(Constants().spinMaximum);
}

// The thumbnail shows the palette colour through the kind's mask, not the shaded picture.
Thumbnail MaskedIndexAlphaPicture(const KindConstants& constants, int width, int height,
                                  const tPAL& palette, const tPIX& pixels) {
    Thumbnail thumbnail;
    thumbnail.transparent = palette.empty() ? 0 : static_cast<Colour>(palette[0]);
    thumbnail.image = TrueColourImage(width, height, thumbnail.transparent);
    const std::size_t pixelCount = std::min(PixelCount(width, height), pixels.size() / 2);
    for (std::size_t i = 0; i < pixelCount; ++i) {
        const std::uint8_t index = pixels[2 * i];
        const Colour colour = index < palette.size() ? static_cast<Colour>(palette[index]) : 0;
        thumbnail.image.pixels[i] = colour & constants.thumbnailMask;
    }
    return thumbnail;
}

std::optional<Thumbnail> StoredLook(EditorKind kind, const IndexedImage& staged) {
    const KindConstants& constants = ConstantsOf(kind);
    tPIX pixels;
    tPAL palette;
    if ((kind != EditorKind::Hull && kind != EditorKind::Map) ||
        !BmpToIndexAlphaPicture(staged, constants.pictureWidth, constants.pictureHeight, pixels,
                                palette)) {
        return std::nullopt;
    }
    return MaskedIndexAlphaPicture(constants, constants.pictureWidth, constants.pictureHeight,
                                   palette, pixels);
}

}  // namespace vexlor
