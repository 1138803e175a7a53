#include "demo/mission_frames.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "demo/digit_font.h"
#include "demo/picture_canvas.h"
#include "demo/space_scenery.h"

namespace vexlor::demo {

namespace {

enum Ink : std::uint8_t {
    kSpace,
    kBorder,
    kBorderLine,
    kStarBright,
    kStarDim,
    kPlanetBase,
    kPlanetShadow,
    kPlanetBand,
    kRing,
    kPanel,
    kBarA,
    kBarB,
    kDigits,
};

struct PlanetColours {
    Colour base;
    Colour shadow;
    Colour band;
    Colour ring;
};

constexpr std::array<PlanetColours, 6> kPlanets = {{
    {MakeColour(214, 150, 80), MakeColour(120, 70, 36), MakeColour(236, 196, 130),
     MakeColour(200, 190, 170)},
    {MakeColour(70, 130, 210), MakeColour(30, 56, 110), MakeColour(150, 200, 240),
     MakeColour(180, 200, 220)},
    {MakeColour(90, 170, 90), MakeColour(40, 86, 46), MakeColour(170, 210, 120),
     MakeColour(210, 200, 150)},
    {MakeColour(200, 220, 236), MakeColour(110, 130, 160), MakeColour(240, 248, 255),
     MakeColour(150, 170, 200)},
    {MakeColour(200, 70, 40), MakeColour(100, 30, 20), MakeColour(250, 160, 60),
     MakeColour(230, 210, 180)},
    {MakeColour(160, 110, 200), MakeColour(80, 50, 110), MakeColour(210, 170, 240),
     MakeColour(190, 180, 150)},
}};

// The frame: `margin` black pixels at the edge, a border of `border` pixels, a black gap and a
// thin line of `line` pixels (none for 0).
struct FrameSpec {
    int margin;
    int border;
    int gap;
    int line;

    int Inset() const { return margin + border + gap + line; }
};

struct Panel {
    Area area;
    int cell;  // digit cell size
    int barCount;
    int barHeight;
    int barSpacing;
    int barMaxLength;
};

struct Layout {
    Colour border;
    Colour borderLine;
    FrameSpec frame;
    int starSpacing;
    Planet planet;
    Panel panel;
};

Layout LayoutOf(Series series, int n) {
    switch (series) {
        case Series::Battle:
            return {MakeColour(196, 74, 52),
                    MakeColour(250, 170, 120),
                    {3, 6, 2, 1},
                    16,
                    {{150.0 + (n * 31) % 60, 132}, 70.0 + (n * 11) % 20, n % 2 == 1},
                    {{320, 30, 480, 230}, 8, 5, 10, 22, 140}};
        case Series::Mission:
            return {
                MakeColour(72, 112, 200),
                MakeColour(160, 196, 255),
                {3, 5, 2, 1},
                14,
                {{80.0 + (n * 41) % 90, 90.0 + (n * 29) % 30}, 38.0 + (n * 17) % 20, n % 2 == 0},
                {{12, 200, 248, 248}, 4, 3, 8, 14, 150}};
        case Series::MissionLower:
            break;
    }
    return {MakeColour(60, 160, 104),
            MakeColour(150, 230, 180),
            {1, 2, 0, 0},
            9,
            {{28.0 + (n * 7) % 10, 37}, 14.0 + (n * 3) % 6, n % 3 == 0},
            {{56, 10, 94, 66}, 2, 3, 4, 9, 31}};
}

std::vector<Colour> PaletteOf(const Layout& layout, int n) {
    const PlanetColours& planet = kPlanets[static_cast<std::size_t>(n) % kPlanets.size()];
    return {MakeColour(0, 0, 0),
            layout.border,
            layout.borderLine,
            MakeColour(255, 255, 240),
            MakeColour(150, 160, 190),
            planet.base,
            planet.shadow,
            planet.band,
            planet.ring,
            MakeColour(26, 34, 54),
            MakeColour(236, 180, 60),
            MakeColour(90, 200, 230),
            MakeColour(235, 235, 235)};
}

// Which band of the frame a pixel `distance` pixels from the nearest edge lies in.
Ink FrameInkAt(const FrameSpec& frame, int distance) {
    if (distance < frame.margin) {
        return kSpace;
    }
    if (distance < frame.margin + frame.border) {
        return kBorder;
    }
    return distance < frame.margin + frame.border + frame.gap ? kSpace : kBorderLine;
}

// Drawn last, so that nothing the scenery spills reaches the edge.
void DrawFrame(PictureCanvas& canvas, const FrameSpec& frame) {
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const int distance =
                std::min(std::min(x, canvas.Width() - 1 - x), std::min(y, canvas.Height() - 1 - y));
            if (distance < frame.Inset()) {
                canvas.SetPixel(x, y, FrameInkAt(frame, distance));
            }
        }
    }
}

void DrawPanel(PictureCanvas& canvas, const Panel& panel, int n) {
    const Area& a = panel.area;
    canvas.FillRect(a.left, a.top, a.right, a.bottom, kPanel);
    const int textLeft = a.left + 2 * panel.cell;
    const int textTop = a.top + 2 * panel.cell;
    DrawNumber(canvas, n, textLeft, textTop, panel.cell, kDigits);
    // Bars beside the number when the panel is wide and low, under it otherwise.
    const bool beside = a.right - a.left > 3 * (a.bottom - a.top);
    const int barsLeft = beside ? a.left + 17 * panel.cell : textLeft;
    const int barsTop = beside ? a.top + panel.cell : textTop + 8 * panel.cell;
    for (int k = 0; k < panel.barCount; ++k) {
        const int length =
            panel.barMaxLength / 4 + (n * 37 + k * 53) % (panel.barMaxLength * 3 / 4);
        const int top = barsTop + k * panel.barSpacing;
        canvas.FillRect(barsLeft, top, barsLeft + length, top + panel.barHeight,
                        k % 2 == 0 ? kBarA : kBarB);
    }
}

}  // namespace

IndexedImage DrawMissionFrame(Series series, int number) {
    const SeriesInfo& info = InfoOf(series);
    const Layout layout = LayoutOf(series, number);
    PictureCanvas canvas(info.width, info.height, PaletteOf(layout, number));
    const int inset = layout.frame.Inset();
    const auto seed = static_cast<std::uint32_t>(number * 7919 + info.width);
    DrawStarField(canvas, {inset, inset, info.width - inset, info.height - inset}, seed,
                  layout.starSpacing, kStarBright, kStarDim);
    DrawPlanet(canvas, layout.planet, {kPlanetBase, kPlanetShadow, kPlanetBand, kRing});
    DrawPanel(canvas, layout.panel, number);
    DrawFrame(canvas, layout.frame);
    return canvas.Image();
}

}  // namespace vexlor::demo
