#pragma once

#include <string>

namespace vexlor::demo {

inline constexpr char kDemoGameFolderName[] = "XWA";

struct DemoOutcome {
    bool written = false;
    std::string gameFolder;  // absolute, with its final separator
    std::string problem;     // why the demo is not (completely) written
};

// Writes the demo game folder `folder`/XWA (xwingalliance.exe stand-in, strings.txt,
// resdata.txt, Resdata/ with a HULL, MAP, SHIP and BATTLE/MISSION library) and `folder`/vexlor.ini
// naming it. `folder` is made when missing. The demo's own files are replaced, each only by a
// complete new one; nothing else is touched. A game folder that holds anything the demo did not
// write, a real game above all, is refused before anything is written.
DemoOutcome WriteDemoGame(const std::string& folder);

}  // namespace vexlor::demo
