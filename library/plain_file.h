#pragma once

#include <cstdio>
#include <string>

namespace vexlor {

// Opens `path` for reading ("rb") or for reading and writing ("r+b") only when it is a plain
// file, or a link to one. A pipe, a device or a folder gives nullptr: reading one could block
// for ever or never end. The opening itself never waits for a pipe's other end. For writing, a
// file without its owner's write permission gives nullptr too, also to root. Nothing throws.
std::FILE* OpenPlainFile(const std::string& path, bool forWriting);

}  // namespace vexlor
