#pragma once

#include <QIcon>

namespace vexlor {

// Icons drawn here rather than shipped as files, so the program needs nothing beside it.
QIcon ApplicationIcon();
QIcon CascadeIcon();
QIcon TileSideBySideIcon();
QIcon TileOneAboveAnotherIcon();

}  // namespace vexlor
