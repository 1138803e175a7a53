#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "demo/demo_contents.h"
#include "demo/digit_font.h"
#include "demo/picture_canvas.h"

namespace vexlor::demo {
namespace {

// The rows of a canvas as text, '.' for index 0 and the index's digit otherwise.
std::vector<std::string> Rows(const PictureCanvas& canvas) {
    std::vector<std::string> rows;
    for (int y = 0; y < canvas.Height(); ++y) {
        std::string row;
        for (int x = 0; x < canvas.Width(); ++x) {
            const int index = canvas.PixelAt(x, y);
            row += index == 0 ? '.' : static_cast<char>('0' + index);
        }
        rows.push_back(row);
    }
    return rows;
}

TEST(PictureCanvas, ShapesTakeThePixelsWhoseCentresTheyCover) {
    PictureCanvas canvas(6, 4, {});
    canvas.FillRect(0, 0, 2, 2, 1);
    canvas.FillRect(2, 0, 6, 2, 2);  // shares an edge with the first: no pixel twice or never
    canvas.FillPolygon({{0, 2}, {6, 2}, {6, 4}, {4, 4}, {4, 3}, {2, 3}, {2, 4}, {0, 4}}, 3);
    EXPECT_EQ(Rows(canvas), (std::vector<std::string>{"112222", "112222", "333333", "33..33"}));
}

TEST(PictureCanvas, EllipseIsSymmetricAndClippedToThePicture) {
    PictureCanvas canvas(7, 5, {});
    canvas.FillEllipse({3.5, 2.5}, 3.5, 2.5, 1);
    canvas.FillEllipse({0, 0}, 1.2, 1.2, 2);
    // Rows 1 to 3 reach the edge pixels' centres; rows 0 and 4 fall short of them alike.
    EXPECT_EQ(Rows(canvas),
              (std::vector<std::string>{"211111.", "1111111", "1111111", "1111111", ".11111."}));
}

TEST(DigitFont, NumbersAreWrittenLeftToRightAndMeasured) {
    PictureCanvas canvas(8, 5, {});
    EXPECT_EQ(DrawNumber(canvas, 17, 0, 0, 1, 1), 7);
    EXPECT_EQ(Rows(canvas), (std::vector<std::string>{".1..111.", "11....1.", ".1...1..",
                                                      ".1...1..", "111..1.."}));
}

// What the library encodings rely on: black palette entry 0 in the top-left corner (transparent
// in every kind), and no other entry of that colour or of another entry's colour, which the
// index-alpha encoding would merge into the first.
TEST(DemoPictures, SuitTheEncodingsAndDifferFromEachOther) {
    for (const DemoLibrary& library : DemoLibraries()) {
        SCOPED_TRACE(library.fileName);
        EXPECT_GE(library.pictures.size(), 12u);
        std::set<std::vector<Colour>> distinct;
        for (const DemoPicture& picture : library.pictures) {
            const IndexedImage& image = picture.image;
            ASSERT_FALSE(image.palette.empty());
            EXPECT_EQ(image.palette[0], MakeColour(0, 0, 0));
            EXPECT_EQ(image.Index(0, 0), 0);
            EXPECT_EQ(std::set<Colour>(image.palette.begin(), image.palette.end()).size(),
                      image.palette.size());
            const std::set<std::uint8_t> used(image.indices.begin(), image.indices.end());
            EXPECT_GE(used.size(), 3u) << "picture " << picture.value << " is nearly blank";
            EXPECT_LT(*used.rbegin(), image.palette.size());
            std::vector<Colour> colours;
            for (const std::uint8_t index : image.indices) {
                colours.push_back(image.PaletteColour(index));
            }
            distinct.insert(colours);
        }
        EXPECT_EQ(distinct.size(), library.pictures.size()) << "two pictures are the same";
    }
}

TEST(DemoCraftTables, EveryEntryNamesADemoPicture) {
    std::set<int> hullIds;
    std::set<int> mapIds;
    for (const DemoLibrary& library : DemoLibraries()) {
        for (const DemoPicture& picture : library.pictures) {
            if (library.kind == EditorKind::Hull) {
                hullIds.insert(picture.value);
            } else if (library.kind == EditorKind::Map) {
                mapIds.insert(picture.value);
            }
        }
    }
    const tCRAFTTABLES tables = DemoCraftTables();
    for (int craft = 1; craft <= kHullCraftCount; ++craft) {
        EXPECT_TRUE(hullIds.count(tables.HullPictureId[craft])) << "craft " << craft;
    }
    for (int craft = 1; craft <= kCraftCount; ++craft) {
        EXPECT_TRUE(mapIds.count(tables.MapPictureId[craft])) << "craft " << craft;
    }
    EXPECT_EQ(tables.ShipSlotOf[1], 1);
    EXPECT_EQ(tables.ShipSlotOf[kCraftPictureCount], kCraftPictureCount);
    EXPECT_EQ(tables.ShipSlotOf[kCraftPictureCount + 1], 0);
}

}  // namespace
}  // namespace vexlor::demo
