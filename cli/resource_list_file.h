#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vexlor::cli {

// The lines of the resource list "resdata.txt" in `gameFolder` as its editor loads them: every
// CR LF, lone CR or lone LF ends a line, and a final line break adds no empty line. A file that
// is missing or cannot be read has no lines, as the editor has none after a failed load. Nothing
// (an error) for a file too large to be a resource list.
std::optional<std::vector<std::string>> ReadResourceListLines(const std::string& gameFolder);

}  // namespace vexlor::cli
