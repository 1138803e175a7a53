#pragma once

#include <string>

namespace vexlor {

// The user's own folder for what Vexlor keeps between runs that is neither a setting nor a
// document, such as the change journal: $XDG_STATE_HOME/vexlor, else ~/.local/state/vexlor on
// Linux; %LOCALAPPDATA%\Vexlor on Windows. Never beside the game's files. Empty when neither the
// variable nor a home folder is known. The folder need not exist yet.
std::string UserStateFolder();

// Where the change journal lives: UserStateFolder() + "/journal" (empty when that is empty).
std::string JournalFolder();

}  // namespace vexlor
