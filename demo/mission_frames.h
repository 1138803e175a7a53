#pragma once

#include "editors/mission_series.h"
#include "library/images.h"

namespace vexlor::demo {

// A BATTLE (510 x 260), MISSION (260 x 260) or mission (100 x 75) picture for picture `number`
// of the series: a coloured border, a star field, a planet, and a panel with the number and a
// few bars. The corner is black, so the run-length encoding takes black as transparent.
IndexedImage DrawMissionFrame(Series series, int number);

}  // namespace vexlor::demo
