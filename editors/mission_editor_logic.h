#pragma once

#include "editors/run_length_editor_logic.h"

namespace vexlor {

// BATTLE/MISSION libraries: three series of run-length pictures in one group, told apart by
// PictureId when listed and by width when exported or appended.
class MissionEditorLogic : public RunLengthEditorLogic {
  public:
    explicit MissionEditorLogic(std::string libraryPath);

    std::string CaptionOf(const tIMAGE& image) const override;
    std::string TypeWordOf(const tIMAGE& image) const override;
    bool HasStagedSize(int width, int height) const override;
    std::string StagedSizes() const override;
    bool MakeThumbnail(const tIMAGE& image, tPAL palette, const tPIX& pixels,
                       Thumbnail& thumbnail) const override;
    // Import BMP's suggestion for a staged picture of that series.
    static int SuggestedNumber(const PictureList& list, Series series);
    std::string IdentifierRefusal(int value, std::optional<Series> series) const override;
    std::string IdentifierRule(std::optional<Series> series) const override;
    std::string InListWords(const std::string& what) const override;

  protected:
    std::optional<EncodedPicture> EncodeStaged(const ImageToAdd& stagedImage,
                                               int value) const override;
    std::optional<std::string> ExportFileName(const tIMAGE& image) const override;
    int RenameOffset(const std::string& typeWord) const override;
    void TrackHighest(const tIMAGE& image, PictureList& list) const override;
};

}  // namespace vexlor
