#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vexlor {

// The whole content of a file, or nothing when it cannot be opened or read to its end, or is no
// plain file (a pipe, a device or a folder counts as missing; a link to a plain file is read).
std::optional<std::string> ReadWholeFile(const std::string& path);

// Gives the file at `path` the content `bytes`, creating it when needed. The content is written
// to a new file beside it that then takes its place, so whatever goes wrong leaves the old file
// or the new one, never half of one. A file marked read-only is refused, as an in-place write
// would be, and so is a folder or another file that is not plain. Through a symbolic link the
// file it leads to is replaced, keeping its permissions, and the link stays. A file with other
// hard links is refused too (`systemError`, when given, then receives EMLINK).
bool ReplaceFileContents(const std::string& path, std::string_view bytes,
                         int* systemError = nullptr);

}  // namespace vexlor
