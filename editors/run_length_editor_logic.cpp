#include "editors/run_length_editor_logic.h"

#include "library/run_length.h"

namespace vexlor {

bool RunLengthEditorLogic::DrawForThumbnail(const tIMAGE& image, tPAL palette, const tPIX& pixels,
                                            TrueColourImage& drawn) {
    if (!palette.empty()) {
        palette[0] = 0;  // so that the background is black, the list's transparent colour
    }
    // A picture with the wrong number of rows still shows what was drawn.
    DrawRlePicture(SideOf(image.BlockWidth), SideOf(image.BlockHeight), pixels, palette, drawn);
    return !drawn.pixels.empty();
}

bool RunLengthEditorLogic::ConvertForExport(const tIMAGE& image, tPAL& palette, const tPIX& pixels,
                                            IndexedImage& bitmap) const {
    return RlePictureToBmp(SideOf(image.BlockWidth), SideOf(image.BlockHeight), pixels, palette,
                           bitmap);
}

}  // namespace vexlor
