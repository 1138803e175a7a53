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
    bool ConvertForExport(const tIMAGE& image, tPAL& palette, const tPIX& pixels,
                          IndexedImage& bitmap) const override;
};

}  // namespace vexlor
