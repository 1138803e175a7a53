#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "editors/windows/hull_editor_window.h"
#include "editors/windows/mission_editor_window.h"
#include "editors/windows/ship_editor_window.h"
#include "pictures/picture_files.h"
#include "tests/editors/windows/editor_window_fixture.h"

namespace vexlor::test {
namespace {

// A picture of `width` x `height` with an opaque ellipse in two colours on a clear ground.
RgbaPicture Ellipse(int width, int height) {
    RgbaPicture picture(width, height);
    picture.hasAlpha = true;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double dx = (x - width / 2.0) / (width / 2.0);
            const double dy = (y - height / 2.0) / (height / 2.0);
            std::uint8_t* p = picture.Pixel(x, y);
            p[0] = x < width / 2 ? 200 : 20;
            p[1] = 90;
            p[3] = dx * dx + dy * dy < 0.8 ? 255 : 0;
        }
    }
    return picture;
}

class PictureImportTest : public EditorWindowTest {
  protected:
    // The conversion dialog's stand-in: records what it was asked and converts with the
    // preselected size, or cancels.
    void AnswerConversion(LibraryEditorWindow& window, bool accept = true) {
        window.SetConversionAsker([this, accept](const RgbaPicture& source, const QString& name,
                                                 const ConversionTarget& target, QWidget*) {
            asked_.push_back(name);
            target_ = target;
            const auto& size = target.sizes[static_cast<std::size_t>(target.preselected)];
            return accept ? ConvertPicture(source, size.width, size.height, {})
                          : std::optional<ConvertedPicture>();
        });
    }
    std::string WritePng(const std::string& name, const RgbaPicture& picture) {
        const std::string path = File(name);
        EXPECT_TRUE(WritePngFile(path, picture));
        return path;
    }
    static bool Drop(QWidget& target, const std::string& file) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &drop);
        QCoreApplication::sendPostedEvents();
        return enter.isAccepted() && drop.isAccepted();
    }

    QStringList asked_;
    ConversionTarget target_;
};

TEST_F(PictureImportTest, ImportImageStagesTheConversionAndExportPngGivesItsTransparency) {
    auto* ship = Open<ShipEditorWindow>(MakeLibrary(EditorKind::Ship, "SHIP.DAT", {20001}),
                                        QStringLiteral("SHIP ("));
    AnswerConversion(*ship);
    dialogs_.fileAnswers.push_back(
        QString::fromStdString(WritePng("render.png", Ellipse(300, 200))));
    ship->ImportImageClick();
    EXPECT_EQ(dialogs_.fileRequests.back().title, QStringLiteral("Import image"));
    ASSERT_EQ(asked_, QStringList{"render.png"});
    ASSERT_EQ(target_.sizes.size(), 1u);
    EXPECT_EQ(target_.sizes[0].width, 180);
    EXPECT_TRUE(Button(*ship, "AddButton")->isEnabled());
    Spin(*ship)->setValue(20002);
    ship->AddClick();
    EXPECT_EQ(Column(*ship), (QStringList{"20001", "20002"}));

    SelectRows(*ship, {1});
    ship->OnPictureSelected();
    ASSERT_TRUE(Button(*ship, "ExportPngButton")->isEnabled());
    ship->ExportPngClick();
    RgbaPicture exported;
    std::string error;
    ASSERT_TRUE(ReadPictureFile((OutputFolder() / "ship_20002.png").string(), exported, error))
        << error;
    EXPECT_EQ(exported.Pixel(0, 0)[3], 0);      // the contain margin and the clear ground
    EXPECT_EQ(exported.Pixel(90, 90)[3], 255);  // the ellipse
    EXPECT_EQ(exported.Pixel(40, 90)[0], 200);
}

TEST_F(PictureImportTest, MissionPreselectsTheSeriesAndCancelStagesNothing) {
    auto* mission = Open<MissionEditorWindow>(MakeMissionLibrary("MISSION.DAT", {}),
                                              QStringLiteral("MISSION ("));
    AnswerConversion(*mission, false);
    dialogs_.fileAnswers.push_back(QString::fromStdString(WritePng("small.png", Ellipse(120, 90))));
    mission->ImportImageClick();
    ASSERT_EQ(target_.sizes.size(), 3u);
    EXPECT_EQ(target_.sizes[static_cast<std::size_t>(target_.preselected)].word, "mission");
    EXPECT_FALSE(Button(*mission, "AddButton")->isEnabled());
}

// A BMP that Import BMP takes goes its way; any other picture file to the conversion; library
// files are not the editor's to take.
TEST_F(PictureImportTest, DroppedFilesAreStagedByWhatTheyAre) {
    auto* hull = Open<HullEditorWindow>(MakeLibrary(EditorKind::Hull, "HULL.DAT", {4700}),
                                        QStringLiteral("HULL ("));
    AnswerConversion(*hull);
    EXPECT_TRUE(Drop(*hull, WriteBmp("exact.bmp", TestPicture(32, 32))));
    EXPECT_TRUE(asked_.isEmpty());
    EXPECT_TRUE(Button(*hull, "AddButton")->isEnabled());
    EXPECT_TRUE(Drop(*hull, WriteBmp("large.bmp", TestPicture(64, 64))));
    EXPECT_EQ(asked_, QStringList{"large.bmp"});
    EXPECT_TRUE(Drop(*hull, WritePng("p.png", Ellipse(32, 32))));
    EXPECT_EQ(asked_.size(), 2);
    EXPECT_FALSE(Drop(*hull, MakeLibrary(EditorKind::Map, "MAP.DAT", {})));
    test::WriteFileBytes(File("broken.png"), {0x89, 'P', 'N', 'G'});
    EXPECT_TRUE(Drop(*hull, File("broken.png")));
    EXPECT_EQ(asked_.size(), 2);
    EXPECT_TRUE(hull->StatusMessage().startsWith("Cannot read the picture broken.png"));
}

}  // namespace
}  // namespace vexlor::test
