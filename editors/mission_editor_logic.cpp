#include "editors/mission_editor_logic.h"

#include <algorithm>

#include "editors/editor_messages.h"
#include "library/run_length.h"
#include "library/stretch.h"

namespace vexlor {

namespace {

// Where a picture of each series stands in the 105 x 105 thumbnail, scaled to fit.
struct ThumbnailPlace {
    int x, y, width, height;
};

std::optional<ThumbnailPlace> PlaceOf(int width) {
    switch (width) {
        case 510:
            return ThumbnailPlace{0, 26, 105, 52};
        case 260:
            return ThumbnailPlace{26, 26, 52, 52};
        case 100:
            return ThumbnailPlace{32, 37, 40, 30};
        default:
            return std::nullopt;
    }
}

void DrawAt(const TrueColourImage& source, int left, int top, TrueColourImage& target) {
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < source.width; ++x) {
            if (target.Contains(left + x, top + y)) {
                target.SetPixel(left + x, top + y, source.Pixel(x, y));
            }
        }
    }
}

}  // namespace

MissionEditorLogic::MissionEditorLogic(std::string libraryPath)
    : RunLengthEditorLogic(EditorKind::Mission, std::move(libraryPath)) {}

std::string MissionEditorLogic::CaptionOf(const tIMAGE& image) const {
    return std::to_string(image.PictureId - InfoOf(SeriesOfIdentifier(image.PictureId)).offset);
}

std::string MissionEditorLogic::TypeWordOf(const tIMAGE& image) const {
    return InfoOf(SeriesOfIdentifier(image.PictureId)).word;
}

void MissionEditorLogic::TrackHighest(const tIMAGE& image, PictureList& list) const {
    const int id = image.PictureId;
    SeriesHighest& h = list.highest;
    if (id >= 2000 && id <= 2099) {
        h.battle = std::max(h.battle, id - 2000);
    } else if (id >= 1000 && id <= 1999) {
        h.missionLower = std::max(h.missionLower, id - 1000);
    } else if (id >= 1 && id <= 999) {
        h.mission = std::max(h.mission, id - 1);
    }
}

bool MissionEditorLogic::MakeThumbnail(const tIMAGE& image, tPAL palette, const tPIX& pixels,
                                       Thumbnail& thumbnail) const {
    const int side = Constants().thumbnailSize;
    thumbnail.image = TrueColourImage(side, side, 0);
    thumbnail.transparent = 0;
    TrueColourImage drawn;
    if (!DrawForThumbnail(image, std::move(palette), pixels, drawn)) {
        return true;  // listed with an empty black thumbnail
    }
    const auto place = PlaceOf(drawn.width);
    TrueColourImage scaled;
    if (place && StretchPicture(drawn, place->width, place->height, scaled)) {
        DrawAt(scaled, place->x, place->y, thumbnail.image);
    }
    return true;
}

std::optional<std::string> MissionEditorLogic::ExportFileName(const tIMAGE& image) const {
    const auto series = SeriesOfWidth(SideOf(image.BlockWidth));
    if (!series) {
        return std::nullopt;
    }
    const SeriesInfo& info = InfoOf(*series);
    return info.exportPrefix + std::to_string(image.PictureId - info.offset) + ".bmp";
}

// All three sizes must be 8 bits per pixel: the encoder takes its colours from the bitmap's own
// palette.
bool MissionEditorLogic::HasStagedSize(int width, int height) const {
    const auto series = SeriesOfWidth(width);
    return series && InfoOf(*series).height == height;
}

std::string MissionEditorLogic::StagedSizes() const {
    return "510 x 260, 260 x 260 or 100 x 75";
}

int MissionEditorLogic::SuggestedNumber(const PictureList& list, Series series) {
    return std::clamp(list.highest.Of(series) + 1, 0, InfoOf(series).maximumNumber);
}

std::optional<EncodedPicture> MissionEditorLogic::EncodeStaged(const ImageToAdd& stagedImage,
                                                               int value) const {
    const IndexedImage& staged = stagedImage.image;
    const auto series = SeriesOfWidth(staged.width);
    if (!series || staged.height != InfoOf(*series).height) {
        return std::nullopt;
    }
    EncodedPicture encoded;
    if (!EncodeRunLength(stagedImage, staged.width, staged.height, encoded.pixels,
                         encoded.palette)) {
        return std::nullopt;
    }
    encoded.record = tIMAGE::Make(kRunLengthFormat, static_cast<std::uint16_t>(staged.width),
                                  static_cast<std::uint16_t>(staged.height), Constants().groupId,
                                  static_cast<std::uint16_t>(value + InfoOf(*series).offset),
                                  static_cast<std::uint32_t>(encoded.palette.size()),
                                  static_cast<std::uint32_t>(encoded.pixels.size()));
    return encoded;
}

std::string MissionEditorLogic::IdentifierRefusal(int value, std::optional<Series> series) const {
    const int maximum = series ? InfoOf(*series).maximumNumber : Constants().spinMaximum;
    std::string refusal = OutsideRange(value, 0, maximum);
    if (!refusal.empty() && series) {
        refusal += std::string(" for ") + InfoOf(*series).word + " pictures";
    }
    return refusal;
}

std::string MissionEditorLogic::IdentifierRule(std::optional<Series> series) const {
    if (!series) {
        return "The number must be from 0 to " + std::to_string(Constants().spinMaximum);
    }
    const SeriesInfo& info = InfoOf(*series);
    return std::string("A ") + info.word + " number must be from 0 to " +
           std::to_string(info.maximumNumber);
}

std::string MissionEditorLogic::InListWords(const std::string& what) const {
    return NamedInListWords(what, NameOfIdentifier);
}

int MissionEditorLogic::RenameOffset(const std::string& typeWord) const {
    const auto series = SeriesOfWord(typeWord);
    return series ? InfoOf(*series).offset : 0;
}

}  // namespace vexlor
