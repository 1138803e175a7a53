#pragma once

#include <QFont>

namespace vexlor {

// A fixed-pitch font of `pixelSize` pixels. Some platforms answer the request for their fixed
// font with a proportional one; the generic family then finds a real one.
QFont FixedPitchFont(int pixelSize);

}  // namespace vexlor
