#pragma once

#include <string>

namespace vexlor {

// The folder that gets "OutPut", "Input" and "SHIP.tmp", with its final separator. That is the
// program folder wherever a file can be made in it (a build tree, a portable copy, always on
// Windows); a system-wide installation such as /usr/lib/vexlor is shared by every user and
// usually not writable, so there it is the user's own $XDG_DATA_HOME/vexlor, else
// ~/.local/share/vexlor, made when missing. When that cannot be had either, the program folder
// again, so that the writes there fail with their usual messages.
std::string WorkingFolder(const std::string& programFolder);

// The same choice with the program folder's writability already known, so that it can be tried
// where every folder is writable (as root).
std::string WorkingFolder(const std::string& programFolder, bool programFolderTakesFiles);

// Whether a new file can be made in `folder`, asked of the system for the user the program runs
// as (permission bits alone say nothing about root, read-only mounts or access control lists).
// Nothing is written there to find out.
bool CanCreateFileIn(const std::string& folder);

}  // namespace vexlor
