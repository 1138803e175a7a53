#include <filesystem>

#include <gtest/gtest.h>
#include <QTest>

#include "editors/windows/ship_editor_window.h"
#include "editors/windows/swatch_strip.h"
#include "tests/editors/windows/editor_window_fixture.h"

namespace vexlor::test {
namespace {

namespace fs = std::filesystem;

const QString kShip = QStringLiteral("SHIP (");

class ShipWindowTest : public EditorWindowTest {
  protected:
    static SwatchStrip* Strip(const QWidget& window) {
        return Find<SwatchStrip>(window, "SwatchStrip");
    }

    // GroupId of the group records and of the image records, in file order.
    static std::vector<int> GroupIds(const std::string& path) {
        const Bytes bytes = ReadFileBytes(path);
        std::vector<int> ids;
        const int groups = bytes[10] | bytes[11] << 8;
        for (int k = 0; k < groups; ++k) {
            const std::size_t at = 34 + 24 * static_cast<std::size_t>(k);
            ids.push_back(bytes[at] | bytes[at + 1] << 8);
        }
        for (const PictureEntry& entry :
             MakeEditorLogic(EditorKind::Ship, path, "")->LoadPictureList().entries) {
            ids.push_back(entry.image.GroupId);
            EXPECT_EQ(entry.image.PictureId, 1);
        }
        return ids;
    }
};

TEST_F(ShipWindowTest, RefreshListsGroupIdsWithTransparentThumbnails) {
    auto* ship =
        Open<ShipEditorWindow>(MakeLibrary(EditorKind::Ship, "SHIP.DAT", {20005, 20001}), kShip);
    EXPECT_EQ(Column(*ship), (QStringList{"20005", "20001"}));
    EXPECT_EQ(List(*ship)->model()->headerData(0, Qt::Horizontal).toString(), "ships");
    EXPECT_EQ(ship->StatusText(), "2 pictures");
    EXPECT_EQ(Spin(*ship)->value(), 20006);
    EXPECT_EQ(ship->minimumWidth(), 394);

    const QImage thumbnail = Thumbnail(*ship, 0);
    ASSERT_EQ(thumbnail.size(), QSize(90, 90));
    EXPECT_EQ(qAlpha(thumbnail.pixel(0, 0)), 0);  // black, the picture's background
    EXPECT_EQ(thumbnail.pixel(45, 60), qRgb(255, 0, 0));

    auto* empty = Open<ShipEditorWindow>(MakeLibrary(EditorKind::Ship, "EMPTY.DAT", {}), kShip);
    EXPECT_EQ(Spin(*empty)->value(), 20001);
    auto* full = Open<ShipEditorWindow>(MakeLibrary(EditorKind::Ship, "FULL.DAT", {20254}), kShip);
    EXPECT_EQ(Spin(*full)->value(), 20254);
    auto* readOnly =
        Open<ShipEditorWindow>(MakeLibrary(EditorKind::Hull, "HULL.DAT", {4700}), kShip);
    EXPECT_EQ(readOnly->windowTitle(), "SHIP (HULL.DAT) readonly");
    EXPECT_FALSE(Button(*readOnly, "ImportBmpButton")->isEnabled());
}

TEST_F(ShipWindowTest, ImportShowsThePictureOverThePanelColourAndDropsTheCaption) {
    auto* ship = Open<ShipEditorWindow>(MakeLibrary(EditorKind::Ship, "SHIP.DAT", {}), kShip);
    EXPECT_EQ(Panel(*ship)->Caption(), "180 x 180");
    EXPECT_EQ(Panel(*ship)->Colour(), ship->palette().color(QPalette::Button));

    test::WriteFileBytes(File("deep.bmp"), test::TrueColourBmp(180, 180));
    Import(*ship, File("deep.bmp"));
    EXPECT_EQ(dialogs_.events.mid(1), (QStringList{"beep",
                                                   "message: Format error: Must be a "
                                                   "valid 180 x 180 x 256 BMP"}));
    EXPECT_EQ(Panel(*ship)->Caption(), "180 x 180");
    EXPECT_FALSE(Button(*ship, "AddButton")->isEnabled());

    // Background index 3, which the picture also uses inside: all of it is see-through.
    Import(*ship, WriteBmp("ship.bmp", TestPicture(180, 180, 3)));
    EXPECT_TRUE(Button(*ship, "AddButton")->isEnabled());
    EXPECT_TRUE(Spin(*ship)->isEnabled());
    EXPECT_TRUE(Panel(*ship)->Caption().isEmpty());
    const QImage preview = Panel(*ship)->ShownPicture();
    ASSERT_EQ(preview.size(), QSize(180, 180));
    EXPECT_EQ(qAlpha(preview.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(preview.pixel(92, 102)), 0);  // 1 + (92 + 102) % 3 = index 3
    EXPECT_EQ(preview.pixel(90, 102), qRgb(255, 0, 0));

    ship->AddClick();
    EXPECT_TRUE(Panel(*ship)->ShownPicture().isNull());
    EXPECT_TRUE(Panel(*ship)->Caption().isEmpty());
}

TEST_F(ShipWindowTest, SwatchStripPicksThePanelColour) {
    auto* ship = Open<ShipEditorWindow>(MakeLibrary(EditorKind::Ship, "SHIP.DAT", {}), kShip);
    SwatchStrip* strip = Strip(*ship);
    ASSERT_EQ(strip->size(), QSize(193, 32));
    EXPECT_EQ(strip->cursor().shape(), Qt::PointingHandCursor);
    for (int x = 0; x <= 192; x += 32) {
        EXPECT_EQ(strip->PixelAt(x, 10), QColor(Qt::black)) << x;
    }
    EXPECT_EQ(strip->PixelAt(10, 0), QColor(Qt::black));
    EXPECT_EQ(strip->PixelAt(10, 31), QColor(Qt::black));

    const std::vector<std::pair<int, QColor>> swatches = {
        {0, QColor(255, 0, 0)}, {40, QColor(0, 255, 0)},      {64, QColor(0, 0, 255)},
        {100, QColor(0, 0, 0)}, {150, QColor(192, 192, 192)}, {191, QColor(255, 255, 255)}};
    for (const auto& [x, colour] : swatches) {
        ship->OnSwatchClicked(x);
        EXPECT_EQ(Panel(*ship)->Colour(), colour) << x;
    }
    // The last column and releases outside the strip leave the colour as it is.
    for (int x : {192, 300, -1}) {
        ship->OnSwatchClicked(x);
        EXPECT_EQ(Panel(*ship)->Colour(), QColor(255, 255, 255)) << x;
    }
    QTest::mouseRelease(strip, Qt::RightButton, {}, QPoint(70, 20));
    EXPECT_EQ(Panel(*ship)->Colour(), QColor(0, 0, 255));
}

TEST_F(ShipWindowTest, AddRebuildsTheLibraryAndKeepsTheOldOneAsShipTmp) {
    const std::string path = MakeLibrary(EditorKind::Ship, "SHIP.DAT", {20001});
    const Bytes before = ReadFileBytes(path);
    fs::copy_file(path, File("expected.dat"));
    auto* ship = Open<ShipEditorWindow>(path, kShip);
    const IndexedImage picture = TestPicture(180, 180, 2);
    Import(*ship, WriteBmp("ship.bmp", picture));
    Spin(*ship)->setValue(20100);
    ship->AddClick();

    ASSERT_EQ(MakeEditorLogic(EditorKind::Ship, File("expected.dat"), File("expected.tmp"))
                  ->AppendPicture(picture, 20100)
                  .result,
              WriteResult::Ok);
    EXPECT_EQ(ReadFileBytes(path), ReadFileBytes(File("expected.dat")));
    EXPECT_EQ(ReadFileBytes(ProgramFolder() / "SHIP.tmp"), before);
    EXPECT_EQ(GroupIds(path), (std::vector<int>{20001, 20100, 20001, 20100}));
    EXPECT_EQ(Column(*ship), (QStringList{"20001", "20100"}));
    EXPECT_EQ(Spin(*ship)->value(), 20101);
    EXPECT_FALSE(Button(*ship, "AddButton")->isEnabled());
    EXPECT_EQ(dialogs_.beeps, 0);
}

TEST_F(ShipWindowTest, RenameChangesTheGroupAndTheImageRecord) {
    const std::string path = MakeLibrary(EditorKind::Ship, "SHIP.DAT", {20001, 20002});
    auto* ship = Open<ShipEditorWindow>(path, kShip);
    ASSERT_TRUE(ship->OnCaptionEditing(1));
    for (const char* refused : {"20000", "20255", "x"}) {
        ship->OnCaptionEdited(1, refused);
        EXPECT_EQ(Column(*ship).at(1), "20002") << refused;
    }
    ship->OnCaptionEdited(1, "20100");
    EXPECT_EQ(Column(*ship).at(1), "20100");
    ship->OnRenameTimer();
    EXPECT_EQ(GroupIds(path), (std::vector<int>{20001, 20100, 20001, 20100}));
}

TEST_F(ShipWindowTest, ExportNamesFilesByIdentifier) {
    auto* ship =
        Open<ShipEditorWindow>(MakeLibrary(EditorKind::Ship, "SHIP.DAT", {20017, 20018}), kShip);
    SelectRows(*ship, {0});
    ship->ExportBmpClick();
    EXPECT_EQ(dialogs_.events, (QStringList{"beep", "message: Export: Picture exported"}));
    BmpPicture exported;
    ASSERT_TRUE(ReadBmpFile((OutputFolder() / "ship_20017.bmp").string(), exported));
    EXPECT_EQ(exported.indexed.width, 180);
    EXPECT_FALSE(fs::exists(OutputFolder() / "ship_20018.bmp"));
}

}  // namespace
}  // namespace vexlor::test
