#pragma once

#include <optional>
#include <string>

namespace vexlor {

// What a typed path is wanted for: a file that must exist, or one that may be new.
enum class TypedPathUse { Open, Save };

// The spelling under which a path typed into a file dialog names an existing entry where file
// names tell letter case apart, as they do not on the system for which the game's names were
// made. `typed` is absolute. Each component that does not exist as written takes the spelling
// of the one entry of its folder that differs from it only in letter case (ASCII letters);
// for the components before the last, only folders count, as written or not. Gives nothing
// when the path stands as typed: when it exists as written, or when a component matches
// nothing or more than one entry, since then nothing says which one was meant. For `Save` the
// last component may name a new file: the folders are matched and a last component that
// matches nothing is kept. Never throws.
std::optional<std::string> MatchTypedPath(const std::string& typed, TypedPathUse use);

}  // namespace vexlor
