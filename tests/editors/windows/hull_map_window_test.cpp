#include <filesystem>

#include <gtest/gtest.h>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "editors/windows/hull_editor_window.h"
#include "editors/windows/map_editor_window.h"
#include "tests/editors/windows/editor_window_fixture.h"
#include "tests/support_qt/slashed_paths.h"

namespace vexlor::test {
namespace {

namespace fs = std::filesystem;

const QString kHull = QStringLiteral("HULL (");
const QString kMap = QStringLiteral("MAP (");

std::vector<int> PictureIds(const std::string& path) {
    return test::PictureIds(EditorKind::Hull, path);
}

class HullMapWindowTest : public EditorWindowTest {};

TEST_F(HullMapWindowTest, RefreshListsInFileOrderAndSuggestsTheNextHundred) {
    auto* hull = Open<HullEditorWindow>(
        MakeLibrary(EditorKind::Hull, "HULL.DAT", {4700, 9900, 4800}), kHull);
    EXPECT_EQ(Column(*hull), (QStringList{"4700", "9900", "4800"}));
    EXPECT_EQ(List(*hull)->model()->headerData(0, Qt::Horizontal).toString(), "hulls");
    EXPECT_EQ(List(*hull)->model()->columnCount(), 1);
    EXPECT_EQ(hull->StatusText(), "3 pictures");
    EXPECT_EQ(Spin(*hull)->value(), 10000);
    EXPECT_EQ(hull->windowTitle(), "HULL (HULL.DAT)");
    EXPECT_TRUE(Button(*hull, "ImportBmpButton")->isEnabled());
    for (const char* name : {"ExportBmpButton", "AddButton"}) {
        EXPECT_FALSE(Button(*hull, name)->isEnabled()) << name;
    }
    EXPECT_FALSE(Spin(*hull)->isEnabled());
    EXPECT_EQ(hull->minimumWidth(), 225);

    // An empty library suggests the floor's next value; the spin edit clamps at its top.
    auto* map = Open<MapEditorWindow>(MakeLibrary(EditorKind::Map, "MAP.DAT", {}), kMap);
    EXPECT_TRUE(Column(*map).isEmpty());
    EXPECT_EQ(map->StatusText(), "0 pictures");
    EXPECT_EQ(Spin(*map)->value(), 17500);
    EXPECT_EQ(List(*map)->model()->headerData(0, Qt::Horizontal).toString(), "maps");
    auto* top = Open<HullEditorWindow>(MakeLibrary(EditorKind::Hull, "TOP.DAT", {65500}), kHull);
    EXPECT_EQ(Spin(*top)->value(), 65500);
    auto* low = Open<HullEditorWindow>(MakeLibrary(EditorKind::Hull, "LOW.DAT", {100}), kHull);
    EXPECT_EQ(Spin(*low)->value(), 4700);
}

TEST_F(HullMapWindowTest, ThumbnailsShowTheMaskedPaletteWithEntryZeroTransparent) {
    auto* hull = Open<HullEditorWindow>(MakeLibrary(EditorKind::Hull, "HULL.DAT", {4700}), kHull);
    const QImage hullThumbnail = Thumbnail(*hull, 0);
    ASSERT_EQ(hullThumbnail.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(hullThumbnail.pixel(0, 0)), 0);
    // TestPicture's (x + y) % 3 colours: index 1 red, 2 green (0, 200, 0), 3 (10, 20, 250).
    // Red through the green mask is black, palette entry 0's colour: transparent as well.
    EXPECT_EQ(qAlpha(hullThumbnail.pixel(16, 20)), 0);
    EXPECT_EQ(hullThumbnail.pixel(17, 20), qRgb(0, 200, 0));  // green
    EXPECT_EQ(hullThumbnail.pixel(18, 20), qRgb(0, 20, 0));
    EXPECT_EQ(List(*hull)->iconSize(), QSize(32, 32));

    auto* map = Open<MapEditorWindow>(MakeLibrary(EditorKind::Map, "MAP.DAT", {17500}), kMap);
    const QImage mapThumbnail = Thumbnail(*map, 0);
    ASSERT_EQ(mapThumbnail.size(), QSize(16, 16));
    EXPECT_EQ(qAlpha(mapThumbnail.pixel(0, 0)), 0);
    EXPECT_EQ(mapThumbnail.pixel(10, 8), qRgb(255, 0, 0));  // red kept
    EXPECT_EQ(mapThumbnail.pixel(9, 8), qRgb(10, 20, 0));
}

TEST_F(HullMapWindowTest, LibraryOfAnotherKindIsListedReadOnly) {
    const std::string path = MakeLibrary(EditorKind::Map, "map.dat", {17500, 17600});
    auto* hull = Open<HullEditorWindow>(path, kHull);
    EXPECT_EQ(hull->windowTitle(), "HULL (map.dat) readonly");
    EXPECT_EQ(Column(*hull), (QStringList{"17500", "17600"}));
    EXPECT_FALSE(Button(*hull, "ImportBmpButton")->isEnabled());
    EXPECT_FALSE(List(*hull)->model()->flags(List(*hull)->model()->index(0, 0)) &
                 Qt::ItemIsEditable);
    EXPECT_FALSE(hull->OnCaptionEditing(0));
    // A second Refresh does not repeat the suffix.
    hull->RefreshClick();
    EXPECT_EQ(hull->windowTitle(), "HULL (map.dat) readonly");

    SelectRows(*hull, {1});
    hull->ExportBmpClick();
    // Named as the HULL editor names its exports.
    EXPECT_TRUE(fs::exists(OutputFolder() / "hull_14800_17600.bmp"));
}

TEST_F(HullMapWindowTest, RefreshOfAVanishedLibraryOnlyEmptiesTheList) {
    const std::string path = MakeLibrary(EditorKind::Hull, "HULL.DAT", {9900});
    auto* hull = Open<HullEditorWindow>(path, kHull);
    fs::remove(path);
    hull->RefreshClick();
    EXPECT_TRUE(Column(*hull).isEmpty());
    EXPECT_EQ(hull->StatusText(), "1 pictures");
    EXPECT_EQ(Spin(*hull)->value(), 10000);
    EXPECT_EQ(hull->windowTitle(), "HULL (HULL.DAT)");
    EXPECT_TRUE(dialogs_.events.isEmpty());
}

TEST_F(HullMapWindowTest, ExportFollowsTheSelectionAndTellsWhatWasWritten) {
    auto* hull = Open<HullEditorWindow>(
        MakeLibrary(EditorKind::Hull, "HULL.DAT", {4700, 4800, 4900}), kHull);
    SelectRows(*hull, {0, 2});
    EXPECT_TRUE(Button(*hull, "ExportBmpButton")->isEnabled());
    hull->ExportBmpClick();
    EXPECT_EQ(dialogs_.events, (QStringList{"beep", "message: Export: Picture exported"}));
    EXPECT_TRUE(fs::exists(OutputFolder() / "hull_26000_4700.bmp"));
    EXPECT_FALSE(fs::exists(OutputFolder() / "hull_26000_4800.bmp"));
    BmpPicture exported;
    ASSERT_TRUE(ReadBmpFile((OutputFolder() / "hull_26000_4900.bmp").string(), exported));
    EXPECT_EQ(exported.bitsPerPixel, 8);
    EXPECT_EQ(exported.indexed.width, 32);

    List(*hull)->clearSelection();
    EXPECT_FALSE(Button(*hull, "ExportBmpButton")->isEnabled());
    // A Refresh forgets the selection.
    SelectRows(*hull, {1});
    hull->RefreshClick();
    EXPECT_FALSE(Button(*hull, "ExportBmpButton")->isEnabled());

    // Without the Output folder nothing can be written, and the message says which files.
    dialogs_.events.clear();
    fs::remove_all(OutputFolder());
    SelectRows(*hull, {1});
    hull->ExportBmpClick();
    ASSERT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.events.front(), "beep");
    EXPECT_EQ(dialogs_.messages.back().caption, "Export");
    EXPECT_TRUE(dialogs_.messages.back().text.startsWith("Could not write:\n"));
    EXPECT_TRUE(dialogs_.messages.back().text.contains("hull_26000_4800.bmp"));
}

TEST_F(HullMapWindowTest, ExportOfAVanishedLibrarySaysNothing) {
    const std::string path = MakeLibrary(EditorKind::Map, "MAP.DAT", {17500});
    auto* map = Open<MapEditorWindow>(path, kMap);
    SelectRows(*map, {0});
    fs::remove(path);
    map->ExportBmpClick();
    EXPECT_TRUE(dialogs_.events.isEmpty());
}

TEST_F(HullMapWindowTest, ImportStagesOnlyAnEightBitPictureOfTheKindsSize) {
    auto* hull = Open<HullEditorWindow>(MakeLibrary(EditorKind::Hull, "HULL.DAT", {4700}), kHull);
    const std::string good = WriteBmp("good.bmp", TestPicture(32, 32, 2));
    Import(*hull, good);
    EXPECT_TRUE(dialogs_.events == QStringList{"open dialog: Open BMP"});
    EXPECT_TRUE(Button(*hull, "AddButton")->isEnabled());
    EXPECT_TRUE(Spin(*hull)->isEnabled());
    const QImage preview = Panel(*hull)->ShownPicture();
    ASSERT_EQ(preview.size(), QSize(64, 64));
    EXPECT_EQ(preview.pixel(0, 0), qRgb(0, 200, 0));    // at twice its size, opaque
    EXPECT_EQ(preview.pixel(33, 41), qRgb(255, 0, 0));  // picture pixel (16, 20)

    const auto refused = [&](const std::string& path, const char* text) {
        dialogs_.events.clear();
        Import(*hull, path);
        EXPECT_EQ(dialogs_.events, (QStringList{"open dialog: Open BMP", "beep",
                                                QStringLiteral("message: Format error: ") + text}))
            << path;
        EXPECT_FALSE(Button(*hull, "AddButton")->isEnabled());
        EXPECT_FALSE(Spin(*hull)->isEnabled());
        // The preview keeps showing the last accepted picture.
        EXPECT_EQ(Panel(*hull)->ShownPicture(), preview);
    };
    test::WriteFileBytes(File("deep.bmp"), test::TrueColourBmp(32, 32));
    refused(File("deep.bmp"), "Must be a valid 32 x 32 x 256 BMP");
    const std::string small = WriteBmp("small.bmp", TestPicture(16, 16));
    refused(small, "Must be a valid 32 x 32 x 256 BMP");

    // The MAP editor takes the 16 x 16 picture.
    auto* map = Open<MapEditorWindow>(MakeLibrary(EditorKind::Map, "MAP.DAT", {}), kMap);
    Import(*map, small);
    EXPECT_TRUE(Button(*map, "AddButton")->isEnabled());
    EXPECT_EQ(Panel(*map)->ShownPicture().size(), QSize(32, 32));
    dialogs_.events.clear();
    test::WriteFileBytes(File("deep16.bmp"), test::TrueColourBmp(16, 16));
    Import(*map, File("deep16.bmp"));
    EXPECT_EQ(dialogs_.messages.back().text, "Must be a valid 16 x 16 x 256 BMP");
}

TEST_F(HullMapWindowTest, ImportOfAnUnreadableFileUnstagesSilentlyAndCancelChangesNothing) {
    auto* hull = Open<HullEditorWindow>(MakeLibrary(EditorKind::Hull, "HULL.DAT", {}), kHull);
    Import(*hull, WriteBmp("good.bmp", TestPicture(32, 32)));
    ASSERT_TRUE(Button(*hull, "AddButton")->isEnabled());
    Import(*hull, std::nullopt);
    EXPECT_TRUE(Button(*hull, "AddButton")->isEnabled());

    test::WriteFileBytes(File("broken.bmp"), Bytes{'B', 'M', 1, 2, 3});
    Import(*hull, File("broken.bmp"));
    EXPECT_FALSE(Button(*hull, "AddButton")->isEnabled());
    EXPECT_FALSE(Spin(*hull)->isEnabled());
    EXPECT_EQ(dialogs_.beeps, 0);
    EXPECT_TRUE(dialogs_.messages.empty());
    // Nothing staged: "<- Add" pressed anyway leaves the library alone.
    const Bytes before = ReadFileBytes(File("HULL.DAT"));
    hull->AddClick();
    EXPECT_EQ(ReadFileBytes(File("HULL.DAT")), before);
}

TEST_F(HullMapWindowTest, OpenBmpDialogStartsInInputThenAtTheLastChosenFile) {
    auto* hull = Open<HullEditorWindow>(MakeLibrary(EditorKind::Hull, "HULL.DAT", {}), kHull);
    Import(*hull, std::nullopt);
    Import(*hull, File("pictures/ship.bmp"));
    Import(*hull, std::nullopt);
    ASSERT_EQ(dialogs_.fileRequests.size(), 3u);
    const FileDialogRequest& first = dialogs_.fileRequests[0];
    EXPECT_EQ(first.title, "Open BMP");
    EXPECT_EQ(first.folder, "./input");
    EXPECT_TRUE(first.fileName.isEmpty());
    ASSERT_EQ(first.filters.size(), 1);
    EXPECT_EQ(first.filters[0].label, "Bitmaps (*.bmp)");
    EXPECT_EQ(first.filters[0].patterns, QStringList{"*.bmp"});
    EXPECT_EQ(first.defaultSuffix, "bmp");
    EXPECT_TRUE(first.mustExist);
    EXPECT_FALSE(first.changeCurrentFolder);
    // A cancelled dialog chose nothing; the next one still starts in ".\input".
    EXPECT_EQ(dialogs_.fileRequests[1].folder, "./input");
    EXPECT_EQ(test::SlashedPath(dialogs_.fileRequests[2].folder),
              test::SlashedPath(QString::fromStdString(File("pictures"))));
    EXPECT_EQ(dialogs_.fileRequests[2].fileName, "ship.bmp");
}

TEST_F(HullMapWindowTest, AddWaitsForAValidIdentifierInTheSpinEdit) {
    auto* hull = Open<HullEditorWindow>(MakeLibrary(EditorKind::Hull, "HULL.DAT", {4650}), kHull);
    EXPECT_EQ(Spin(*hull)->value(), 4750);
    // While nothing is staged the spin edit's changes leave "<- Add" alone.
    Spin(*hull)->setValue(4800);
    EXPECT_FALSE(Button(*hull, "AddButton")->isEnabled());
    Spin(*hull)->setValue(4750);

    Import(*hull, WriteBmp("good.bmp", TestPicture(32, 32)));
    EXPECT_TRUE(Spin(*hull)->isEnabled());
    EXPECT_FALSE(Button(*hull, "AddButton")->isEnabled());
    Spin(*hull)->setValue(4800);
    EXPECT_TRUE(Button(*hull, "AddButton")->isEnabled());
    Spin(*hull)->setValue(4750);
    EXPECT_FALSE(Button(*hull, "AddButton")->isEnabled());
    // What the user types counts; a text that is no number reads as 0, a valid identifier.
    QLineEdit* text = Spin(*hull)->findChild<QLineEdit*>();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->maxLength(), 5);
    text->setText("5000");
    EXPECT_TRUE(Button(*hull, "AddButton")->isEnabled());
    text->setText("50");
    EXPECT_FALSE(Button(*hull, "AddButton")->isEnabled());
    text->setText("");
    EXPECT_TRUE(Button(*hull, "AddButton")->isEnabled());
}

TEST_F(HullMapWindowTest, AddAppendsTheStagedPictureAndRefreshes) {
    const std::string path = MakeLibrary(EditorKind::Hull, "HULL.DAT", {4700});
    const Bytes before = ReadFileBytes(path);
    fs::copy_file(path, File("expected.dat"));
    auto* hull = Open<HullEditorWindow>(path, kHull);
    const IndexedImage picture = TestPicture(32, 32, 3);
    Import(*hull, WriteBmp("good.bmp", picture));
    Spin(*hull)->setValue(5200);
    hull->AddClick();

    // The same bytes that the logic writes, and nothing but the header, the group and the end
    // of the file changed.
    ASSERT_EQ(MakeEditorLogic(EditorKind::Hull, File("expected.dat"), "")
                  ->AppendPicture(picture, 5200)
                  .result,
              WriteResult::Ok);
    const Bytes after = ReadFileBytes(path);
    EXPECT_EQ(after, ReadFileBytes(File("expected.dat")));
    ASSERT_GT(after.size(), before.size());
    EXPECT_TRUE(std::equal(before.begin() + 58, before.end(), after.begin() + 58));
    EXPECT_EQ(PictureIds(path), (std::vector<int>{4700, 5200}));

    EXPECT_EQ(Column(*hull), (QStringList{"4700", "5200"}));
    EXPECT_EQ(hull->StatusText(), "2 pictures");
    EXPECT_EQ(Spin(*hull)->value(), 5300);
    EXPECT_FALSE(Button(*hull, "AddButton")->isEnabled());
    EXPECT_FALSE(Spin(*hull)->isEnabled());
    EXPECT_TRUE(Panel(*hull)->ShownPicture().isNull());
    EXPECT_EQ(Panel(*hull)->Caption(), "32 x 32");
    EXPECT_TRUE(dialogs_.beeps == 0);
}

TEST_F(HullMapWindowTest, AddToALibraryThatCannotBeOpenedEndsQuietly) {
    const std::string path = MakeLibrary(EditorKind::Map, "MAP.DAT", {17500});
    auto* map = Open<MapEditorWindow>(path, kMap);
    Import(*map, WriteBmp("good.bmp", TestPicture(16, 16)));
    fs::remove(path);
    map->AddClick();
    EXPECT_EQ(dialogs_.beeps, 0);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(Column(*map), QStringList{"17500"});
    EXPECT_FALSE(Button(*map, "AddButton")->isEnabled());
}

class HullMapRenameTest : public HullMapWindowTest {
  protected:
    void SetUp() override {
        path_ = MakeLibrary(EditorKind::Hull, "HULL.DAT", {4700, 4800, 4900});
        hull_ = Open<HullEditorWindow>(path_, kHull);
    }

    // F2 released on the list, the text typed into the caption editor, Enter.
    void RenameFirstSelected(const QString& text) {
        QTest::keyRelease(List(*hull_), Qt::Key_F2);
        auto* editor = List(*hull_)->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text(), Column(*hull_).at(FirstSelectedRow()));
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        // The commit is queued, and the closed editor goes only when deleted.
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    int FirstSelectedRow() const {
        int first = -1;
        for (const QModelIndex& index : List(*hull_)->selectionModel()->selectedRows()) {
            first = first < 0 ? index.row() : std::min(first, index.row());
        }
        return first;
    }

    std::string path_;
    HullEditorWindow* hull_ = nullptr;
};

TEST_F(HullMapRenameTest, OnlyF2EditsAndTheFileIsWrittenByTheTimer) {
    SelectRows(*hull_, {2, 1});
    QTest::mouseDClick(List(*hull_)->viewport(), Qt::LeftButton, {},
                       List(*hull_)->visualRect(List(*hull_)->model()->index(1, 0)).center());
    EXPECT_EQ(List(*hull_)->findChild<QLineEdit*>(), nullptr);
    SelectRows(*hull_, {2, 1});

    RenameFirstSelected("5000");
    EXPECT_EQ(Column(*hull_), (QStringList{"4700", "5000", "4900"}));
    EXPECT_EQ(PictureIds(path_), (std::vector<int>{4700, 4800, 4900}));
    EXPECT_TRUE(hull_->findChild<QTimer*>("RenameTimer")->isActive());
    QTest::qWait(300);
    EXPECT_EQ(PictureIds(path_), (std::vector<int>{4700, 5000, 4900}));
    // No Refresh follows: the suggestion and the status text stay.
    EXPECT_EQ(Spin(*hull_)->value(), 5000);
    EXPECT_EQ(hull_->StatusText(), "3 pictures");
}

TEST_F(HullMapRenameTest, InvalidIdentifiersRevertTheCaption) {
    const Bytes before = ReadFileBytes(path_);
    SelectRows(*hull_, {0});
    for (const char* text : {"4750", "-100", "65600", "abc"}) {
        RenameFirstSelected(text);
        EXPECT_EQ(Column(*hull_).front(), "4700") << text;
        EXPECT_FALSE(hull_->findChild<QTimer*>("RenameTimer")->isActive()) << text;
    }
    EXPECT_EQ(ReadFileBytes(path_), before);
    RenameFirstSelected("65500");
    EXPECT_EQ(Column(*hull_).front(), "65500");
}

TEST_F(HullMapRenameTest, OneSlotOnlyTheLastAcceptedEditIsWritten) {
    ASSERT_TRUE(hull_->OnCaptionEditing(0));
    hull_->OnCaptionEdited(0, "100");
    ASSERT_TRUE(hull_->OnCaptionEditing(2));
    hull_->OnCaptionEdited(2, "0");
    hull_->OnRenameTimer();
    EXPECT_EQ(PictureIds(path_), (std::vector<int>{4700, 4800, 0}));
    EXPECT_EQ(Column(*hull_), (QStringList{"100", "4800", "0"}));

    // A duplicate identifier is written too.
    ASSERT_TRUE(hull_->OnCaptionEditing(1));
    hull_->OnCaptionEdited(1, "4700");
    hull_->OnRenameTimer();
    EXPECT_EQ(PictureIds(path_), (std::vector<int>{4700, 4700, 0}));
}

TEST_F(HullMapRenameTest, ARenamedRowKeepsItsThumbnail) {
    ASSERT_TRUE(hull_->OnCaptionEditing(1));
    hull_->OnCaptionEdited(1, "5000");
    hull_->OnRenameTimer();
    // The record now differs from the one listed; its picture is still shown.
    EXPECT_EQ(Thumbnail(*hull_, 1).pixel(17, 20), qRgb(0, 200, 0));
}

TEST_F(HullMapRenameTest, ARecordChangedMeanwhileIsLeftAlone) {
    ASSERT_TRUE(MakeEditorLogic(EditorKind::Hull, path_, "")->WritePictureId(1, 4700, 6000) ==
                RenumberResult::Written);
    const Bytes before = ReadFileBytes(path_);
    ASSERT_TRUE(hull_->OnCaptionEditing(0));
    hull_->OnCaptionEdited(0, "7000");
    hull_->OnRenameTimer();
    EXPECT_EQ(ReadFileBytes(path_), before);
    EXPECT_EQ(Column(*hull_).front(), "7000");
}

TEST_F(HullMapRenameTest, ClosingTheWindowWritesAnAcceptedRename) {
    QMdiArea area;
    QMdiSubWindow* frame = area.addSubWindow(hull_);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    area.show();
    QPointer<HullEditorWindow> watched(hull_);
    ASSERT_TRUE(hull_->OnCaptionEditing(1));
    hull_->OnCaptionEdited(1, "9000");
    frame->close();
    EXPECT_EQ(PictureIds(path_), (std::vector<int>{4700, 9000, 4900}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull());
}

// Closing the main window destroys its editors without closing them first.
TEST_F(HullMapRenameTest, DestroyingTheWindowWritesAnAcceptedRename) {
    ASSERT_TRUE(hull_->OnCaptionEditing(0));
    hull_->OnCaptionEdited(0, "9000");
    delete hull_;
    EXPECT_EQ(PictureIds(path_), (std::vector<int>{9000, 4800, 4900}));
}

}  // namespace
}  // namespace vexlor::test
