#include "demo/map_symbols.h"

#include <array>
#include <cstdint>

#include "demo/picture_canvas.h"

namespace vexlor::demo {

namespace {

enum Ink : std::uint8_t { kSpace, kBody, kCore };

enum class Shape { TriangleUp, TriangleDown, Diamond, Circle, Ring, Square, Cross, Chevron };

constexpr std::array<Shape, 8> kShapes = {Shape::TriangleUp,   Shape::Diamond, Shape::Circle,
                                          Shape::TriangleDown, Shape::Ring,    Shape::Square,
                                          Shape::Cross,        Shape::Chevron};

struct SymbolColours {
    Colour body;
    Colour core;
};

constexpr std::array<SymbolColours, 2> kSides = {{
    {MakeColour(90, 230, 110), MakeColour(200, 255, 200)},
    {MakeColour(240, 80, 64), MakeColour(255, 200, 170)},
}};

constexpr double kMid = kMapSymbolSide / 2.0;

void DrawShape(PictureCanvas& canvas, Shape shape) {
    switch (shape) {
        case Shape::TriangleUp:
            canvas.FillPolygon({{kMid, 1}, {15, 14}, {1, 14}}, kBody);
            canvas.FillPolygon({{kMid, 7}, {10.5, 11.5}, {5.5, 11.5}}, kCore);
            break;
        case Shape::TriangleDown:
            canvas.FillPolygon({{1, 2}, {15, 2}, {kMid, 15}}, kBody);
            canvas.FillPolygon({{5.5, 4.5}, {10.5, 4.5}, {kMid, 9}}, kCore);
            break;
        case Shape::Diamond:
            canvas.FillPolygon({{kMid, 0.5}, {15.5, kMid}, {kMid, 15.5}, {0.5, kMid}}, kBody);
            canvas.FillPolygon({{kMid, 5}, {11, kMid}, {kMid, 11}, {5, kMid}}, kCore);
            break;
        case Shape::Circle:
            canvas.FillEllipse({kMid, kMid}, 7, 7, kBody);
            canvas.FillEllipse({kMid - 1.5, kMid - 1.5}, 2.5, 2.5, kCore);
            break;
        case Shape::Ring:
            canvas.FillEllipse({kMid, kMid}, 7.2, 7.2, kBody);
            canvas.FillEllipse({kMid, kMid}, 4.4, 4.4, kSpace);
            canvas.FillEllipse({kMid, kMid}, 1.6, 1.6, kCore);
            break;
        case Shape::Square:
            canvas.FillRect(2, 2, 14, 14, kBody);
            canvas.FillRect(5, 5, 11, 11, kCore);
            break;
        case Shape::Cross:
            canvas.FillRect(6, 1, 10, 15, kBody);
            canvas.FillRect(1, 6, 15, 10, kBody);
            canvas.FillRect(7, 7, 9, 9, kCore);
            break;
        case Shape::Chevron:
            canvas.FillPolygon({{kMid, 2}, {15, 10}, {15, 14}, {kMid, 7}, {1, 14}, {1, 10}}, kBody);
            canvas.FillPolygon({{kMid, 9}, {12, 14}, {4, 14}}, kCore);
            break;
    }
}

}  // namespace

IndexedImage DrawMapSymbol(int number) {
    const auto index = static_cast<std::size_t>(number < 0 ? 0 : number);
    const SymbolColours& colours = kSides[(index / kShapes.size()) % kSides.size()];
    PictureCanvas canvas(kMapSymbolSide, kMapSymbolSide,
                         {MakeColour(0, 0, 0), colours.body, colours.core});
    DrawShape(canvas, kShapes[index % kShapes.size()]);
    return canvas.Image();
}

}  // namespace vexlor::demo
