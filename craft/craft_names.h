#pragma once

#include <string>
#include <vector>

namespace vexlor {

// The line of strings.txt that names craft 1 holds this; the next 217 lines name the others.
inline constexpr char kCraftNamesMarker[] = "!KSPECXW!";

// Reads the names of the 218 craft from the game's strings.txt at `path`: always exactly 218,
// craft 1 first. Each name is its line after the first ":" (the whole line when it has none); an
// empty one, and every name of a file that cannot be read, is "*craft_" and the craft number.
// Only the first 16 MiB are read: the game's file is a small fraction of that.
std::vector<std::string> LoadCraftNames(const std::string& path);

}  // namespace vexlor
