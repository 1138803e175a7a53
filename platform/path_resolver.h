#pragma once

#include <string>

namespace vexlor {

// `base` (a folder ending with a separator) followed by `relative`, a name written with '\' or
// '/' such as "Resdata\HULL.DAT". On a file system that tells letter case apart, each component
// takes the spelling of an existing entry that matches it without regard to case; components
// that match nothing are taken as written. The result uses '/' on this platform ('\' on
// Windows). An exact match wins over one that differs in case. Empty components (doubled or
// leading separators) are dropped, a final separator of `relative` is kept, and a separator is
// put between `base` and `relative` when `base` is not empty and lacks one. Never throws.
std::string ResolvePath(const std::string& base, const std::string& relative);

}  // namespace vexlor
