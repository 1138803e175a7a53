#pragma once

#include <QStringList>

namespace vexlor {

class TMaster;
class UserDialogs;

// Opens each library named on the command line in the editor of the first kind whose test
// accepts it (HULL, MAP, SHIP, BATTLE/MISSION), as Open project would hand it over: caption,
// Refresh under the busy cursor, shown. A file of no kind gets Open project's refusal.
void OpenCommandLineLibraries(TMaster& master, UserDialogs& dialogs, const QStringList& paths);

}  // namespace vexlor
