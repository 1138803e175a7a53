#pragma once

#include <memory>
#include <string>

#include "editors/library_editor_logic.h"
#include "library/creation.h"

namespace vexlor::test {

// A 256-colour picture with a few colours, the top-left pixel in colour `background`.
inline IndexedImage TestPicture(int width, int height, std::uint8_t background = 0) {
    std::vector<Colour> palette(256, 0);
    palette[0] = MakeColour(0, 0, 0);
    palette[1] = MakeColour(255, 0, 0);
    palette[2] = MakeColour(0, 200, 0);
    palette[3] = MakeColour(10, 20, 250);
    IndexedImage image(width, height, palette);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool inside = x > width / 4 && x < 3 * width / 4 && y > height / 4;
            image.SetIndex(x, y, inside ? static_cast<std::uint8_t>(1 + (x + y) % 3) : background);
        }
    }
    return image;
}

inline BmpPicture AsBmp(const IndexedImage& image, int bitsPerPixel = 8) {
    BmpPicture bmp;
    bmp.bitsPerPixel = bitsPerPixel;
    bmp.indexed = image;
    bmp.colours = TrueColourImage(image.width, image.height);
    return bmp;
}

inline std::unique_ptr<LibraryEditorLogic> NewLibrary(EditorKind kind, const std::string& path,
                                                      const std::string& shipCopy = "") {
    CreateLibrary(ConstantsOf(kind).editableKind, path);
    return MakeEditorLogic(kind, path, shipCopy.empty() ? path + ".tmp" : shipCopy);
}

}  // namespace vexlor::test
