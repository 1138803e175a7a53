#include "editors/run_length_editor_logic.h"

#include "library/run_length.h"

namespace vexlor {

bool RunLengthEditorLogic::DrawForThumbnail(const tIMAGE& image, tPAL palette, const tPIX& pixels,
                                            TrueColourImage& drawn) {
    // Every row takes at least its count byte: a record claiming more rows than its data has
    // bytes is damaged, and drawing it would only allocate a huge empty picture.
    if (image.BlockHeight > pixels.size()) {
        return false;
    }
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

bool RunLengthEditorLogic::EncodeRunLength(const ImageToAdd& staged, int width, int height,
                                           tPIX& pixels, tPAL& palette) {
    if (!staged.converted) {
        return BmpToRlePicture(staged.image, width, height, pixels, palette);
    }
    return BmpToRlePictureWithTransparent(staged.image, width, height,
                                          staged.image.PaletteColour(0), pixels, palette);
}

std::vector<bool> RunLengthEditorLogic::TransparentPixels(const tIMAGE& image,
                                                          const tPIX& pixels) const {
    std::vector<bool> covered;
    RleCoverage(SideOf(image.BlockWidth), SideOf(image.BlockHeight), pixels, covered);
    covered.flip();
    return covered;
}

}  // namespace vexlor
