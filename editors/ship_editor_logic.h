#pragma once

#include "editors/run_length_editor_logic.h"

namespace vexlor {

// SHIP libraries: one group per 180 x 180 picture, identified by GroupId 20001 to 20254. An
// append rebuilds the library from a copy kept at the given path ("SHIP.tmp").
class ShipEditorLogic : public RunLengthEditorLogic {
  public:
    ShipEditorLogic(std::string libraryPath, std::string copyPath);

    int IdentifierOf(const tIMAGE& image) const override { return image.GroupId; }
    int SuggestedIdentifier(const PictureList& list) const override;
    bool MakeThumbnail(const tIMAGE& image, tPAL palette, const tPIX& pixels,
                       Thumbnail& thumbnail) const override;
    std::string IdentifierRefusal(int value, std::optional<Series> series) const override;
    std::string IdentifierRule(std::optional<Series> series) const override;

  protected:
    std::optional<EncodedPicture> EncodeStaged(const ImageToAdd& stagedImage,
                                               int value) const override;
    std::optional<std::string> ExportFileName(const tIMAGE& image) const override;

    std::string ShipCopyPath() const override { return copyPath_; }

  private:
    std::string copyPath_;
};

}  // namespace vexlor
