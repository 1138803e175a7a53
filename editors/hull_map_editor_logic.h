#pragma once

#include "editors/library_editor_logic.h"

namespace vexlor {

// HULL and MAP libraries: 32 x 32 or 16 x 16 index-alpha pictures in one group, identified by
// PictureId, which must be a multiple of 100.
class HullMapEditorLogic : public LibraryEditorLogic {
  public:
    HullMapEditorLogic(EditorKind kind, std::string libraryPath);

    int SuggestedIdentifier(const PictureList& list) const override;
    bool MakeThumbnail(const tIMAGE& image, tPAL palette, const tPIX& pixels,
                       Thumbnail& thumbnail) const override;
    std::string IdentifierRefusal(int value, std::optional<Series> series) const override;
    std::string IdentifierRule(std::optional<Series> series) const override;

  protected:
    std::optional<EncodedPicture> EncodeStaged(const ImageToAdd& stagedImage,
                                               int value) const override;
    bool ConvertForExport(const tIMAGE& image, tPAL& palette, const tPIX& pixels,
                          IndexedImage& bitmap) const override;
    std::optional<std::string> ExportFileName(const tIMAGE& image) const override;
    std::vector<bool> TransparentPixels(const tIMAGE& image, const tPIX& pixels) const override;
};

// A HULL or MAP picture as the list draws it: each pixel its palette colour through the kind's
// mask, the alpha byte unused; whatever equals palette entry 0's whole colour is transparent.
// The caller has checked that the pixels cover width x height.
Thumbnail MaskedIndexAlphaPicture(const KindConstants& constants, int width, int height,
                                  const tPAL& palette, const tPIX& pixels);

// A staged HULL or MAP picture drawn as the list will draw it once "<- Add" has stored it;
// nothing when it does not have the kind's size.
std::optional<Thumbnail> StoredLook(EditorKind kind, const IndexedImage& staged);

}  // namespace vexlor
