#pragma once

#include "editors/library_editor_logic.h"

namespace vexlor {

// What the SHIP and BATTLE/MISSION editors share: run-length pictures, drawn for thumbnails
// with black as palette entry 0 and exported through the run-length BMP decoder.
class RunLengthEditorLogic : public LibraryEditorLogic {
  public:
    using LibraryEditorLogic::LibraryEditorLogic;

  protected:
    // The record's picture as the list draws it; false when its size is unacceptable.
    static bool DrawForThumbnail(const tIMAGE& image, tPAL palette, const tPIX& pixels,
                                 TrueColourImage& drawn);
    // The staged picture's top-left width x height pixels as a run-length picture, with the
    // transparency its origin gives it.
    static bool EncodeRunLength(const ImageToAdd& staged, int width, int height, tPIX& pixels,
                                tPAL& palette);
    std::vector<bool> TransparentPixels(const tIMAGE& image, const tPIX& pixels) const override;
    bool ConvertForExport(const tIMAGE& image, tPAL& palette, const tPIX& pixels,
                          IndexedImage& bitmap) const override;
};

}  // namespace vexlor
