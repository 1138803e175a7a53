#include <filesystem>
#include <memory>

#include <gtest/gtest.h>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPixmap>
#include <QSlider>
#include <QSpinBox>
#include <QTreeView>

#include "browser/library_browser_edit.h"
#include "browser/library_browser_logic.h"
#include "browser/windows/library_browser_model.h"
#include "browser/windows/library_browser_window.h"
#include "library/library_inspection.h"
#include "pictures/picture_files.h"
#include "platform/folders.h"
#include "tests/support/picture_library.h"
#include "tests/support/test_files.h"
#include "tests/support_qt/fake_user_dialogs.h"
#include "tests/support_qt/scoped_state_folder.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;
using test::PicturePlan;

// Three sound groups of mixed formats.
const std::vector<PicturePlan> kMixedGroups = {{26000, 4700, kRunLengthFormat, 64, 64},
                                               {26000, 4800, kIndexAlphaFormat, 64, 64},
                                               {14800, 17500, kIndexAlphaFormat, 32, 16},
                                               {15210, 3, kRunLengthFormat, 40, 30},
                                               {15210, 4, kRunLengthFormat, 40, 30}};

class LibraryBrowserEditTest : public ::testing::Test {
  protected:
    LibraryBrowserEditTest() {
        fs::create_directories(temp_.Path() / "program");
        SetAppFolders({(temp_.Path() / "program").string() + "/", temp_.Path().string() + "/"});
        path_ = temp_.File("EDIT.DAT");
        test::WriteFileBytes(path_, test::BuildPictureLibrary(1, kMixedGroups));
        original_ = test::ReadFileBytes(path_);
        window_ = std::make_unique<LibraryBrowserWindow>(QString::fromStdString(path_), dialogs_);
        window_->Reload();
        window_->show();
    }
    ~LibraryBrowserEditTest() override { SetAppFolders({}); }

    // A picture with soft edges: alpha rising across it.
    QString SoftPicture(const std::string& name, int width, int height) {
        RgbaPicture picture(width, height);
        picture.hasAlpha = true;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                std::uint8_t* pixel = picture.Pixel(x, y);
                pixel[0] = static_cast<std::uint8_t>(x * 7);
                pixel[1] = static_cast<std::uint8_t>(y * 11);
                pixel[2] = 90;
                pixel[3] = static_cast<std::uint8_t>(255 * x / (width - 1));
            }
        }
        const std::string file = temp_.File(name);
        EXPECT_TRUE(WritePngFile(file, picture));
        return QString::fromStdString(file);
    }
    // Answers the next dialog with the given fields (-1 leaves a field as it is) and OK.
    void AnswerRecordDialog(int groupId, int pictureId, int formatIndex = -1, int width = -1,
                            int height = -1) {
        dialogs_.modalAnswers.push_back([=](QDialog& dialog) {
            const auto set = [&dialog](const char* name, int value) {
                if (value >= 0) {
                    dialog.findChild<QSpinBox*>(QString::fromLatin1(name))->setValue(value);
                }
            };
            set("GroupId", groupId);
            set("PictureId", pictureId);
            set("PictureWidth", width);
            set("PictureHeight", height);
            if (formatIndex >= 0) {
                dialog.findChild<QComboBox*>(QStringLiteral("PictureFormat"))
                    ->setCurrentIndex(formatIndex);
            }
            return static_cast<int>(QDialog::Accepted);
        });
    }
    void SelectGroup(int group) {
        auto* tree = window_->findChild<QTreeView*>(QStringLiteral("BrowserTree"));
        tree->selectionModel()->setCurrentIndex(
            window_->Model().GroupIndex(group),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    int RecordNamed(std::uint16_t groupId, std::uint16_t pictureId) const {
        const LibraryInspection inspection = InspectLibrary(path_);
        for (std::size_t i = 0; i < inspection.images.size(); ++i) {
            if (inspection.images[i].image.GroupId == groupId &&
                inspection.images[i].image.PictureId == pictureId) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    void ExpectSound() const {
        const LibraryCheck check = CheckLibrary(path_);
        EXPECT_TRUE(check.Ok()) << (check.violations.empty() ? "" : check.violations.front());
    }

    test::TempDir temp_;
    test::ScopedStateFolder stateFolder_{temp_.Path() / "state"};
    test::FakeUserDialogs dialogs_;
    std::string path_;
    test::Bytes original_;
    std::unique_ptr<LibraryBrowserWindow> window_;
};

TEST_F(LibraryBrowserEditTest, EachEditLeavesTheLibrarySoundAndUndoGivesTheFileBack) {
    const QString soft = SoftPicture("soft.png", 20, 12);

    // A new group, soft alpha kept in format 24.
    dialogs_.fileAnswers.push_back(soft);
    AnswerRecordDialog(500, 1, 1);
    window_->NewGroupClick();
    ExpectSound();
    const int added = RecordNamed(500, 1);
    ASSERT_GE(added, 0);
    EXPECT_EQ(InspectLibrary(path_).images[static_cast<std::size_t>(added)].image.PictureFormat,
              kIndexAlphaFormat);
    EXPECT_EQ(window_->Model().rowCount(), 4);
    EXPECT_EQ(window_->StatusText(), QStringLiteral("Added 500 1"));
    EXPECT_EQ(window_->SelectedRecords(), std::vector<int>{added}) << "the new record is shown";

    // Replaced at another size than the record's.
    window_->SelectRecord(RecordNamed(26000, 4700));
    dialogs_.fileAnswers.push_back(soft);
    AnswerRecordDialog(-1, -1, -1, 30, 10);
    window_->ReplacePictureClick();
    ExpectSound();
    const tIMAGE replaced =
        InspectLibrary(path_).images[static_cast<std::size_t>(RecordNamed(26000, 4700))].image;
    EXPECT_EQ(replaced.BlockWidth, 30u);
    EXPECT_EQ(replaced.BlockHeight, 10u);
    EXPECT_EQ(replaced.PictureFormat, kRunLengthFormat);

    // Moved into another group.
    window_->SelectRecord(RecordNamed(26000, 4800));
    AnswerRecordDialog(15210, 9);
    window_->RenameClick();
    ExpectSound();
    EXPECT_GE(RecordNamed(15210, 9), 0);
    EXPECT_LT(RecordNamed(26000, 4800), 0);
    EXPECT_EQ(window_->SelectedRecords(), std::vector<int>{RecordNamed(15210, 9)})
        << "the selection follows the record to its new place";

    // The last record of its group: the group leaves the table.
    window_->SelectRecord(RecordNamed(14800, 17500));
    dialogs_.confirmAnswers.push_back(true);
    window_->DeleteClick();
    ExpectSound();
    EXPECT_EQ(InspectLibrary(path_).header.GroupCount, 3);

    EXPECT_EQ(window_->NextUndo(), "remove 14800 17500");
    for (int step = 0; step < 4; ++step) {
        window_->UndoClick();
        ExpectSound();
    }
    EXPECT_EQ(test::ReadFileBytes(path_), original_);
    EXPECT_TRUE(window_->NextUndo().empty());
    EXPECT_EQ(window_->Model().rowCount(), 3);
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(LibraryBrowserEditTest, RefusedOrCancelledEditsChangeNothing) {
    // A name already taken: the journal's refusal is shown.
    window_->SelectRecord(RecordNamed(15210, 3));
    AnswerRecordDialog(15210, 4);
    window_->RenameClick();
    ASSERT_EQ(dialogs_.messages.size(), 1u);

    // A file that is not a picture.
    const std::string notPicture = temp_.File("notes.png");
    test::WriteFileBytes(notPicture, test::Bytes{'n', 'o'});
    SelectGroup(0);
    dialogs_.fileAnswers.push_back(QString::fromStdString(notPicture));
    window_->AddPictureClick();
    EXPECT_EQ(dialogs_.messages.size(), 2u);

    // A size the run-length row cannot hold is refused by the encoder, not stored cut.
    window_->SelectRecord(RecordNamed(15210, 3));
    dialogs_.fileAnswers.push_back(SoftPicture("wide.png", 16, 4));
    AnswerRecordDialog(-1, -1, 0, 16384, 1);
    const test::FakeUserDialogs::ModalAnswer setFields = dialogs_.modalAnswers.back();
    dialogs_.modalAnswers.pop_back();
    QString preview;
    dialogs_.modalAnswers.push_back([&setFields, &preview](QDialog& dialog) {
        const int result = setFields(dialog);
        preview = dialog.findChild<QLabel*>(QStringLiteral("PicturePreview"))->text();
        return result;
    });
    window_->ReplacePictureClick();
    // The dialog said so before the change was tried.
    EXPECT_TRUE(preview.contains(QStringLiteral("24"))) << preview.toStdString();
    ASSERT_EQ(dialogs_.messages.size(), 3u);
    EXPECT_TRUE(dialogs_.messages.back().text.contains(QStringLiteral("24")))
        << dialogs_.messages.back().text.toStdString();

    // Delete answered No, the file dialog and the record dialog cancelled.
    dialogs_.confirmAnswers.push_back(false);
    window_->DeleteClick();
    dialogs_.fileAnswers.push_back(std::nullopt);
    window_->AddPictureClick();
    dialogs_.fileAnswers.push_back(SoftPicture("soft.png", 8, 8));
    window_->AddPictureClick();  // no modal answer: Cancel

    EXPECT_EQ(test::ReadFileBytes(path_), original_);
    EXPECT_TRUE(window_->NextUndo().empty());
}

TEST_F(LibraryBrowserEditTest, ADropOnAGroupAddsAndOnARecordReplaces) {
    const QString soft = SoftPicture("drop.png", 10, 10);
    bool previewShown = false;
    dialogs_.modalAnswers.push_back([&previewShown](QDialog& dialog) {
        const QPixmap preview =
            dialog.findChild<QLabel*>(QStringLiteral("PicturePreview"))->pixmap();
        previewShown = !preview.isNull();
        dialog.findChild<QSpinBox*>(QStringLiteral("PictureId"))->setValue(77);
        return static_cast<int>(QDialog::Accepted);
    });
    window_->DropPictureFile(soft, window_->Model().GroupIndex(1));
    ExpectSound();
    EXPECT_TRUE(previewShown);
    const int added = RecordNamed(14800, 77);
    ASSERT_GE(added, 0);
    // The group's records share format 24, which the add keeps.
    EXPECT_EQ(InspectLibrary(path_).images[static_cast<std::size_t>(added)].image.PictureFormat,
              kIndexAlphaFormat);

    // Group 26000 mixes 23 and 24: the add offers 23.
    AnswerRecordDialog(-1, 78);
    window_->DropPictureFile(soft, window_->Model().GroupIndex(0));
    const int mixed = RecordNamed(26000, 78);
    ASSERT_GE(mixed, 0);
    EXPECT_EQ(InspectLibrary(path_).images[static_cast<std::size_t>(mixed)].image.PictureFormat,
              kRunLengthFormat);

    AnswerRecordDialog(-1, -1);
    window_->DropPictureFile(soft, window_->Model().RecordIndex(RecordNamed(15210, 4)));
    ExpectSound();
    EXPECT_EQ(window_->NextUndo(), "set 15210 4");
}

// The dialog's fit and dithering are what the record is made with: the same change through the
// shared storing code with those options gives the same file, and the defaults another one.
TEST_F(LibraryBrowserEditTest, TheDialogsConversionChoicesMakeTheRecord) {
    const QString wide = SoftPicture("wide.png", 40, 10);
    const RecordName name{15210, 3};
    const auto madeWith = [&](const ConversionOptions& options) {
        const std::string copy = temp_.File("copy.dat");
        test::WriteFileBytes(copy, original_);
        const PictureChoice choice{kRunLengthFormat, 20, 20, options};
        EXPECT_TRUE(SetPictureFile((temp_.Path() / "journal").string(), copy, name,
                                   wide.toStdString(), choice)
                        .done);
        return test::ReadFileBytes(copy);
    };
    dialogs_.modalAnswers.push_back([](QDialog& dialog) {
        auto* fit = dialog.findChild<QComboBox*>(QStringLiteral("fit"));
        fit->setCurrentIndex(fit->findData(static_cast<int>(Fit::Stretch)));
        dialog.findChild<QSlider*>(QStringLiteral("dithering"))->setValue(0);
        dialog.findChild<QSpinBox*>(QStringLiteral("PictureWidth"))->setValue(20);
        dialog.findChild<QSpinBox*>(QStringLiteral("PictureHeight"))->setValue(20);
        return static_cast<int>(QDialog::Accepted);
    });
    window_->DropPictureFile(wide, window_->Model().RecordIndex(RecordNamed(15210, 3)));
    ConversionOptions chosen;
    chosen.fit = Fit::Stretch;
    chosen.dither = 0.0;
    EXPECT_EQ(test::ReadFileBytes(path_), madeWith(chosen));
    EXPECT_NE(test::ReadFileBytes(path_), madeWith({}));
}

}  // namespace
}  // namespace vexlor
