#pragma once

#include <optional>

#include "library/images.h"
#include "pictures/picture_fit.h"
#include "pictures/rgba_picture.h"

namespace vexlor {

struct ConversionOptions {
    Fit fit = Fit::Contain;
    double dither = 1.0;  // 0 to 1: how much error diffusion the palette may use
    bool opaque = false;  // a picture without alpha keeps its top-left colour opaque
    // For the index-alpha kinds, which the game, the list and the export show as one shade of
    // each colour's brightest channel: every colour becomes the grey of its brightness first, so
    // that what they show follows the picture's light and dark instead of its hues.
    bool shades = false;
    // For pictures stored with each pixel's own alpha: every pixel of alpha above 0 takes a
    // colour of the palette, and `fitted` keeps the alpha as the file and the fitting give it.
    bool softAlpha = false;
};

// What a picture file becomes for a library: a 256-colour picture of the library's size.
struct ConvertedPicture {
    // Index 0 is every transparent pixel, and its colour is one that no opaque pixel has; the
    // opaque colours follow from index 1 in ascending order, each once.
    IndexedImage image;
    // The picture after fitting, transparency and shades, before the palette: what the dialog
    // shows as the original and what the palette's quality is measured against.
    RgbaPicture fitted;
    int colours = 0;     // opaque colours in use
    bool exact = false;  // the picture had 255 or fewer opaque colours and keeps them
};

// Alpha below this is transparent.
inline constexpr int kOpaqueAlpha = 128;
// The opaque colours a palette can hold beside its transparent or black entry 0.
inline constexpr int kMostOpaqueColours = 255;

// Fits `source` to width x height, decides its transparency and gives its opaque pixels a
// palette of at most 255 colours; nothing when the source is empty, the size unacceptable or
// the quantiser fails.
std::optional<ConvertedPicture> ConvertPicture(const RgbaPicture& source, int width, int height,
                                               const ConversionOptions& options);

}  // namespace vexlor
