#pragma once

namespace vexlor {

// The application's title: shown in the main window's caption and the About box, and the name
// under which a second copy finds the running one.
inline constexpr char kApplicationTitle[] = "Vexlor 0.72b";

}  // namespace vexlor
