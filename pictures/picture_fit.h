#pragma once

#include <optional>
#include <string_view>

#include "pictures/rgba_picture.h"

namespace vexlor {

// How a picture of another size is brought to the size a library stores.
enum class Fit {
    Contain,  // scaled inside, proportions kept, centred; the margins transparent
    Cover,    // scaled to cover, proportions kept, centred; what stands out is cut
    Stretch,  // scaled to the size
};

std::optional<Fit> ParseFit(std::string_view word);  // "contain", "cover", "stretch"
const char* FitWord(Fit fit);

// Where the scaled picture lies in the target: its size and its top-left corner, which is
// negative on a side that `Cover` cuts.
struct FitPlacement {
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
};

FitPlacement PlaceFitted(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight,
                         Fit fit);

// The picture at width x height. A picture of that size comes back as it is. Otherwise it is
// resampled on premultiplied alpha, so that the colour of transparent pixels never bleeds into
// the edges; the result has an alpha channel when the source has one or margins are left.
RgbaPicture FitPicture(const RgbaPicture& source, int width, int height, Fit fit);

}  // namespace vexlor
