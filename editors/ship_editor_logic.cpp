#include "editors/ship_editor_logic.h"

#include <algorithm>

#include "library/run_length.h"
#include "library/stretch.h"

namespace vexlor {

ShipEditorLogic::ShipEditorLogic(std::string libraryPath, std::string copyPath)
    : RunLengthEditorLogic(EditorKind::Ship, std::move(libraryPath)),
      copyPath_(std::move(copyPath)) {}

int ShipEditorLogic::SuggestedIdentifier(const PictureList& list) const {
    return std::clamp(list.highestIdentifier + 1, Constants().spinMinimum, Constants().spinMaximum);
}

bool ShipEditorLogic::MakeThumbnail(const tIMAGE& image, tPAL palette, const tPIX& pixels,
                                    Thumbnail& thumbnail) const {
    TrueColourImage drawn;
    if (!DrawForThumbnail(image, std::move(palette), pixels, drawn)) {
        return false;
    }
    thumbnail.transparent = 0;
    const int side = Constants().thumbnailSize;
    return StretchPicture(drawn, side, side, thumbnail.image);
}

std::optional<std::string> ShipEditorLogic::ExportFileName(const tIMAGE& image) const {
    return "ship_" + std::to_string(image.GroupId) + ".bmp";
}

std::optional<EncodedPicture> ShipEditorLogic::EncodeStaged(const ImageToAdd& stagedImage,
                                                            int value) const {
    EncodedPicture encoded;
    if (!EncodeRunLength(stagedImage, kShipPictureSide, kShipPictureSide, encoded.pixels,
                         encoded.palette)) {
        return std::nullopt;
    }
    encoded.record = tIMAGE::Make(kRunLengthFormat, 180, 180, static_cast<std::uint16_t>(value), 1,
                                  static_cast<std::uint32_t>(encoded.palette.size()),
                                  static_cast<std::uint32_t>(encoded.pixels.size()));
    return encoded;
}

std::string ShipEditorLogic::IdentifierRefusal(int value, std::optional<Series>) const {
    return OutsideRange(value, Constants().spinMinimum, Constants().spinMaximum);
}

std::string ShipEditorLogic::IdentifierRule(std::optional<Series>) const {
    return "The number must be from " + std::to_string(Constants().spinMinimum) + " to " +
           std::to_string(Constants().spinMaximum);
}

}  // namespace vexlor
