#include "demo/craft_designs.h"

#include <array>
#include <cstddef>

namespace vexlor::demo {

namespace {

constexpr std::array<const char*, 22> kNames = {
    "Kestrel", "Heron",  "Fulmar", "Osprey", "Merlin", "Swift", "Sparrow", "Petrel",
    "Condor",  "Raven",  "Tern",   "Skua",   "Gannet", "Lark",  "Finch",   "Shrike",
    "Kite",    "Plover", "Curlew", "Egret",  "Ibis",   "Wren"};

struct CraftClass {
    const char* word;
    CraftDesign shape;  // without colours
};

constexpr std::array<CraftClass, 10> kClasses = {{
    {"Interceptor", {WingShape::Swept, 0.86, 0.28, 0.42, 0.78, 0.14, 0.30, 0}},
    {"Fighter", {WingShape::Straight, 0.90, 0.24, 0.42, 0.80, 0.14, 0.25, 0.30}},
    {"Bomber", {WingShape::Delta, 0.92, 0.46, 0.30, 0.84, 0.22, 0.20, 0}},
    {"Scout", {WingShape::ForwardSwept, 0.72, 0.22, 0.48, 0.66, 0.12, 0.30, 0.26}},
    {"Gunship", {WingShape::TwinPods, 0.88, 0.20, 0.40, 0.80, 0.20, 0.18, 0}},
    {"Shuttle", {WingShape::Delta, 0.70, 0.34, 0.42, 0.72, 0.26, 0.22, 0.34}},
    {"Corvette", {WingShape::Straight, 0.56, 0.22, 0.50, 0.90, 0.30, 0.16, 0.44}},
    {"Freighter", {WingShape::TwinPods, 0.74, 0.18, 0.36, 0.84, 0.34, 0.14, 0}},
    {"Patrol Boat", {WingShape::Swept, 0.74, 0.24, 0.46, 0.86, 0.22, 0.22, 0.32}},
    {"Courier", {WingShape::ForwardSwept, 0.82, 0.20, 0.44, 0.74, 0.16, 0.34, 0}},
}};

constexpr std::array<ColourScheme, 6> kSchemes = {{
    {MakeColour(48, 52, 60), MakeColour(196, 200, 206), MakeColour(136, 144, 156),
     MakeColour(220, 72, 56), MakeColour(64, 150, 232), MakeColour(255, 196, 80)},
    {MakeColour(70, 56, 36), MakeColour(214, 194, 146), MakeColour(164, 140, 96),
     MakeColour(96, 150, 80), MakeColour(72, 170, 200), MakeColour(255, 150, 60)},
    {MakeColour(30, 44, 70), MakeColour(152, 180, 220), MakeColour(90, 118, 168),
     MakeColour(236, 236, 236), MakeColour(250, 208, 72), MakeColour(112, 228, 255)},
    {MakeColour(40, 56, 36), MakeColour(168, 196, 140), MakeColour(108, 138, 96),
     MakeColour(232, 196, 64), MakeColour(56, 96, 140), MakeColour(255, 120, 80)},
    {MakeColour(64, 28, 28), MakeColour(208, 200, 196), MakeColour(176, 64, 56),
     MakeColour(250, 250, 250), MakeColour(80, 180, 220), MakeColour(255, 210, 120)},
    {MakeColour(44, 36, 64), MakeColour(190, 180, 214), MakeColour(120, 100, 160),
     MakeColour(250, 200, 80), MakeColour(120, 230, 200), MakeColour(255, 160, 220)},
}};

// Craft n takes name (n - 1) mod 22 and class ((n - 1) / 22 + n - 1) mod 10. Within one name
// the class steps by 3 for every round of 22, and 3 shares no factor with 10, so no two of the
// first 220 numbers get the same pair.
std::size_t NameIndexOf(int craft) {
    return static_cast<std::size_t>(craft - 1) % kNames.size();
}

std::size_t ClassIndexOf(int craft) {
    const auto index = static_cast<std::size_t>(craft - 1);
    return (index / kNames.size() + index) % kClasses.size();
}

}  // namespace

std::string DemoCraftName(int craft) {
    return std::string(kNames[NameIndexOf(craft)]) + " " + kClasses[ClassIndexOf(craft)].word;
}

CraftDesign DemoCraftDesign(int craft) {
    CraftDesign design = kClasses[ClassIndexOf(craft)].shape;
    design.colours = kSchemes[NameIndexOf(craft) % kSchemes.size()];
    return design;
}

}  // namespace vexlor::demo
