#pragma once

#include <string>

#include "library/images.h"

namespace vexlor::demo {

enum class WingShape { Straight, Swept, Delta, ForwardSwept, TwinPods };

struct ColourScheme {
    Colour outline;
    Colour hull;
    Colour wing;
    Colour stripe;
    Colour cockpit;
    Colour engine;
};

// A craft seen from above, nose up, in proportions of the picture's side.
struct CraftDesign {
    WingShape wings = WingShape::Straight;
    double span = 0.8;         // wing tip to wing tip
    double chord = 0.25;       // depth of the wing at its root
    double wingAt = 0.4;       // where the wing root starts, as a share of the body from the nose
    double bodyLength = 0.8;   // nose to tail
    double bodyWidth = 0.14;   // fuselage width
    double noseLength = 0.25;  // share of the body that tapers to the nose
    double tailSpan = 0;       // tail fins tip to tip; 0 for none
    ColourScheme colours{};
};

// The demo's own craft: a bird's name and a class, "Kestrel Interceptor". Every number from 1
// to 218 has a name of its own.
std::string DemoCraftName(int craft);
// The craft's look: its class gives the shape, its name the colours.
CraftDesign DemoCraftDesign(int craft);

}  // namespace vexlor::demo
