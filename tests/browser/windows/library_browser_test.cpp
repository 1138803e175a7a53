#include "browser/windows/library_browser_window.h"

#include <filesystem>
#include <memory>

#include <gtest/gtest.h>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "browser/library_browser_logic.h"
#include "browser/windows/library_browser_model.h"
#include "library/any_picture.h"
#include "library/byte_order.h"
#include "library/library_inspection.h"
#include "platform/folders.h"
#include "tests/support/picture_library.h"
#include "tests/support/test_files.h"
#include "tests/support_qt/fake_user_dialogs.h"
#include "tests/support_qt/scoped_state_folder.h"
#include "tests/support_qt/slashed_paths.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;
using test::PicturePlan;

constexpr std::uint16_t kOtherFormat = 25;

// Three groups; the last record's GroupId is patched to one that no group has.
const std::vector<PicturePlan> kThreeGroups = {
    {26000, 4700, kRunLengthFormat, 64, 64},   {26000, 4800, kIndexAlphaFormat, 64, 64},
    {14800, 17500, kIndexAlphaFormat, 32, 16}, {14800, 17600, kOtherFormat, 8, 8},
    {15210, 3, kRunLengthFormat, 40, 30},      {15210, 4, kRunLengthFormat, 40, 30}};
constexpr std::uint16_t kLooseGroupId = 999;

class LibraryBrowserTest : public ::testing::Test {
  protected:
    LibraryBrowserTest() {
        fs::create_directories(temp_.Path() / "program" / "OutPut");
        SetAppFolders({(temp_.Path() / "program").string() + "/", temp_.Path().string() + "/"});
    }
    ~LibraryBrowserTest() override { SetAppFolders({}); }

    std::string Write(const std::string& name, const test::Bytes& bytes) {
        test::WriteFileBytes(temp_.Path() / name, bytes);
        return temp_.File(name);
    }
    // The three groups with the last record moved out of every group.
    std::string ThreeGroups(const std::string& name = "BROWSE.DAT") {
        const std::string path = Write(name, test::BuildPictureLibrary(1, kThreeGroups));
        test::Bytes bytes = test::ReadFileBytes(path);
        const LibraryInspection inspection = InspectLibrary(path);
        PutU16(&bytes[inspection.images.back().offset + 10], kLooseGroupId);
        return Write(name, bytes);
    }
    LibraryBrowserWindow& Open(const std::string& path) {
        window_ = std::make_unique<LibraryBrowserWindow>(QString::fromStdString(path), dialogs_);
        window_->Reload();
        window_->show();
        return *window_;
    }
    template <class Control>
    Control* Find(const char* name) const {
        auto* control = window_->findChild<Control*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QString Text(const char* label) const { return Find<QLabel>(label)->text(); }

    test::TempDir temp_;
    test::ScopedStateFolder stateFolder_{temp_.Path() / "state"};
    test::FakeUserDialogs dialogs_;
    std::unique_ptr<LibraryBrowserWindow> window_;
};

TEST_F(LibraryBrowserTest, TheTreeHoldsTheGroupsTheirRecordsAndTheRecordsOfNoGroup) {
    auto logic = std::make_shared<LibraryBrowserLogic>(ThreeGroups(), "");
    logic->Load();
    LibraryBrowserModel model;
    model.Show(logic);

    ASSERT_EQ(model.rowCount(), 4);
    const QStringList expected[] = {{"Group 26000", "2 pictures"},
                                    {"Group 14800", "2 pictures"},
                                    {"Group 15210", "1 picture"},
                                    {"No group", "1 picture"}};
    for (int row = 0; row < 4; ++row) {
        const QModelIndex node = model.index(row, 0);
        EXPECT_EQ(node.data().toString(), expected[row][0]);
        EXPECT_EQ(model.index(row, LibraryBrowserModel::kSizeColumn).data().toString(),
                  expected[row][1]);
    }
    EXPECT_EQ(model.GroupAt(model.index(1, 0)), 1);
    EXPECT_EQ(model.GroupAt(model.index(3, 0)), -1);

    // Records below their groups in file order, each findable by its walk index.
    const QModelIndex second = model.index(1, 0);
    EXPECT_EQ(model.rowCount(second), 2);
    EXPECT_EQ(model.RecordAt(model.index(0, 0, second)), 2);
    EXPECT_EQ(model.index(0, LibraryBrowserModel::kSizeColumn, second).data().toString(),
              "32 x 16");
    EXPECT_EQ(model.index(1, LibraryBrowserModel::kFormatColumn, second).data().toString(), "25");
    EXPECT_EQ(model.RecordAt(model.index(0, 0, model.index(3, 0))), 5);
    for (int record = 0; record < 6; ++record) {
        EXPECT_EQ(model.RecordAt(model.RecordIndex(record)), record);
    }
    EXPECT_EQ(model.RecordsUnder(model.index(0, 0)), (std::vector<int>{0, 1}));
    EXPECT_EQ(model.rowCount(model.index(0, 0, second)), 0);

    const auto fields = logic->RecordFields(2);
    EXPECT_NE(std::find_if(fields.begin(), fields.end(),
                           [](const BrowserField& f) {
                               return f.label == "PictureId" && f.value == "17500";
                           }),
              fields.end());
    const auto header = logic->HeaderFields();
    EXPECT_EQ(header[1].label + " " + header[1].value, "Signature ok");
    EXPECT_EQ(header[2].label + " " + header[2].value, "GroupCount 3");
}

TEST_F(LibraryBrowserTest, ACutShortAndAnOtherFormatRecordAreMarkedAndDescribed) {
    test::Bytes bytes = test::BuildPictureLibrary(1, kThreeGroups);
    bytes.resize(bytes.size() - 100);
    LibraryBrowserWindow& window = Open(Write("CUT.DAT", bytes));
    const LibraryBrowserModel& model = window.Model();

    const QModelIndex cut = model.RecordIndex(5);
    EXPECT_TRUE(cut.data(Qt::ToolTipRole).toString().contains("cut short"));
    EXPECT_TRUE(cut.data(Qt::ForegroundRole).isValid());
    EXPECT_FALSE(model.RecordIndex(0).data(Qt::ToolTipRole).isValid());
    window.SelectRecord(5);
    EXPECT_TRUE(Text("RecordFields").contains("Problem: cut short"));
    EXPECT_FALSE(Text("DrawOutcome").isEmpty());
    EXPECT_NE(Find<QListWidget>("CheckList")->item(0)->text(), "ok");

    window.SelectRecord(3);
    tIMAGE other{};
    other.PictureFormat = kOtherFormat;
    EXPECT_EQ(Text("DrawOutcome").toStdString(),
              DescribeDrawOutcome(DrawOutcome::OtherFormat, other));
    EXPECT_TRUE(Text("RecordFields").contains("Format: 25"));
    EXPECT_TRUE(Text("PaletteText").isEmpty());

    // A drawn one: its size, its palette with the used entries counted.
    window.SelectRecord(0);
    EXPECT_EQ(Text("DrawOutcome"), "64 x 64");
    EXPECT_TRUE(Text("PaletteText").contains("used"));
    EXPECT_FALSE(model.RecordIndex(0).data(Qt::DecorationRole).value<QPixmap>().isNull());
}

TEST_F(LibraryBrowserTest, ClickingACheckLineSelectsWhatItIsAbout) {
    test::Bytes bytes = test::BuildPictureLibrary(1, kThreeGroups);
    PutU32(&bytes[34 + 24 + 4], 12345);  // the second group's ImageDataSize
    bytes.resize(bytes.size() - 100);
    const std::string path = Write("BAD.DAT", bytes);
    LibraryBrowserWindow& window = Open(path);
    const LibraryCheck check = CheckLibrary(path);
    auto* list = Find<QListWidget>("CheckList");
    ASSERT_EQ(list->count(), static_cast<int>(check.violations.size()));
    ASSERT_FALSE(check.Ok());

    bool sawRecord = false;
    bool sawGroup = false;
    for (int line = 0; line < list->count(); ++line) {
        QListWidgetItem* item = list->item(line);
        EXPECT_EQ(item->text().toStdString(), check.violations[static_cast<std::size_t>(line)]);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(item).center());
        const CheckSubject& subject = check.subjects[static_cast<std::size_t>(line)];
        const auto index = static_cast<int>(subject.index);
        if (subject.kind == CheckSubject::Kind::Record) {
            sawRecord = true;
            EXPECT_EQ(window.SelectedRecords(), std::vector<int>{index}) << line;
        } else if (subject.kind == CheckSubject::Kind::Group) {
            sawGroup = true;
            EXPECT_EQ(window.Model().RecordsUnder(window.Model().GroupIndex(index)),
                      window.SelectedRecords())
                << line;
            EXPECT_TRUE(Text("RecordFields").contains("GroupId"));
        }
    }
    EXPECT_TRUE(sawRecord);
    EXPECT_TRUE(sawGroup);
}

TEST_F(LibraryBrowserTest, ExtractWritesTheChosenRecordsIntoTheChosenFolder) {
    LibraryBrowserWindow& window = Open(ThreeGroups());
    const fs::path folder = temp_.Path() / "pictures";

    // A group's row stands for its records.
    window.findChild<QTreeView*>("BrowserTree")
        ->selectionModel()
        ->select(window.Model().index(1, 0),
                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    dialogs_.fileAnswers.push_back(QString::fromStdString(folder.string()));
    window.ExtractSelectedClick();
    EXPECT_TRUE(fs::exists(folder / "14800_17500.bmp"));
    EXPECT_FALSE(fs::exists(folder / "14800_17600.bmp"));  // format 25 is not drawn
    ASSERT_EQ(dialogs_.messages.size(), 1U);
    EXPECT_TRUE(dialogs_.messages[0].text.startsWith("1 files written to "));
    EXPECT_TRUE(dialogs_.messages[0].text.contains("1 not extracted:\n14800_17600"));
    EXPECT_EQ(
        test::SlashedPath(dialogs_.folderRequests.at(0).folder),
        test::SlashedPath(QString::fromStdString((temp_.Path() / "program" / "OutPut").string())));

    Find<QComboBox>("ExtractFormat")->setCurrentIndex(1);
    dialogs_.fileAnswers.push_back(QString::fromStdString(folder.string()));
    window.ExtractAllClick();
    for (const char* name :
         {"26000_04700", "26000_04800", "14800_17500", "15210_00003", "00999_00004"}) {
        EXPECT_TRUE(fs::exists(folder / (std::string(name) + ".png"))) << name;
    }
    EXPECT_TRUE(dialogs_.messages.back().text.startsWith("5 files written"));

    // A cancelled folder dialog writes nothing.
    dialogs_.fileAnswers.push_back(std::nullopt);
    window.ExtractAllClick();
    EXPECT_EQ(dialogs_.messages.size(), 2U);
}

// Any file gives a result: what can be read is shown, nothing is guessed.
TEST_F(LibraryBrowserTest, DamagedFilesShowWhatCanBeRead) {
    test::Bytes huge = test::BuildPictureLibrary(
        1, {{26000, 1, kRunLengthFormat, 8, 8}, {26000, 2, kIndexAlphaFormat, 8, 8}});
    const std::size_t first = test::ImageDataOffset(huge);
    PutU32(&huge[first + 34], 65535);  // BlockWidth
    PutU32(&huge[first + 38], 65535);  // BlockHeight
    const LibraryInspection inspection = InspectLibrary(Write("HUGE.DAT", huge));
    PutU32(&huge[inspection.images.at(1).offset + 58], 0xFFFFFFFFu);  // ColourCount
    test::Bytes counts = test::BuildPictureLibrary(1, {{26000, 1, kRunLengthFormat, 8, 8}});
    PutU16(&counts[10], 60000);  // GroupCount
    PutU16(&counts[12], 65535);  // ImageCount

    const std::vector<std::pair<std::string, test::Bytes>> files = {
        {"EMPTY.DAT", {}},
        {"SHORT.DAT", {0x57, 0x23, 0x06, 0x57, 1, 2, 3}},
        {"HUGE.DAT", huge},
        {"COUNTS.DAT", counts}};
    for (const auto& [name, bytes] : files) {
        LibraryBrowserWindow& window = Open(Write(name, bytes));
        EXPECT_FALSE(Text("HeaderFields").isEmpty()) << name;
        EXPECT_GE(Find<QListWidget>("CheckList")->count(), 1) << name;
        for (int record = 0; window.Model().RecordIndex(record).isValid(); ++record) {
            window.SelectRecord(record);
            window.Model().RecordIndex(record).data(Qt::DecorationRole);
        }
        window.SelectRecord(0);
        window.SetZoom(LibraryBrowserWindow::Zoom::Quadruple);
    }
    EXPECT_TRUE(Text("HeaderFields").contains("GroupCount: 60000 (the file holds"));
    Open(temp_.File("HUGE.DAT")).SelectRecord(0);
    EXPECT_FALSE(Text("DrawOutcome").isEmpty());
    EXPECT_NE(Text("DrawOutcome"), "65535 x 65535");
}

// The model makes no row until a view asks, and draws a thumbnail only for a painted row.
TEST_F(LibraryBrowserTest, ALibraryOf65535RecordsOpensWithoutAWidgetOrThumbnailPerRow) {
    const std::vector<PicturePlan> many(kMaxLibraryRecords,
                                        PicturePlan{kHullGroupId, 1, kOtherFormat, 1, 1});
    LibraryBrowserWindow& window = Open(Write("MANY.DAT", test::BuildPictureLibrary(1, many)));
    QCoreApplication::processEvents();
    const LibraryBrowserModel& model = window.Model();
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 65535);
    EXPECT_LT(model.ThumbnailsDrawn(), 200);
    EXPECT_LT(window.findChildren<QWidget*>().size(), 200);
    window.SelectRecord(65534);
    EXPECT_EQ(window.SelectedRecords(), std::vector<int>{65534});
}

}  // namespace
}  // namespace vexlor
