#include <algorithm>

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include "editors/windows/conversion_dialog.h"

namespace vexlor {
namespace {

// Two colours, the top-left one filling the left half: that half is transparent unless kept.
RgbaPicture TwoColourPicture(int width, int height) {
    RgbaPicture picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = picture.Pixel(x, y);
            pixel[0] = x < width / 2 ? 255 : 0;
            pixel[2] = x < width / 2 ? 0 : 255;
            pixel[3] = 255;
        }
    }
    return picture;
}

ConversionTarget Hull() {
    return {{{QStringLiteral("HULL"), 32, 32}}, 0};
}

ConversionTarget Mission(int preselected) {
    return {{{QStringLiteral("BATTLE"), 510, 260},
             {QStringLiteral("MISSION"), 260, 260},
             {QStringLiteral("mission"), 100, 75}},
            preselected};
}

template <typename Control>
Control* Find(const ConversionDialog& dialog, const char* name) {
    return dialog.findChild<Control*>(QString::fromLatin1(name));
}

int TransparentPixels(const IndexedImage& image) {
    return static_cast<int>(std::count(image.indices.begin(), image.indices.end(), 0));
}

TEST(ConversionDialogTest, OkGivesTheConversionOfTheChoicesOnScreen) {
    ConversionDialog dialog(TwoColourPicture(32, 32), QStringLiteral("two.png"), Hull());
    EXPECT_EQ(Find<QComboBox>(dialog, "series"), nullptr) << "one size: no series to choose";
    EXPECT_EQ(dialog.ChosenSize(), 0);
    EXPECT_FALSE(dialog.Result()) << "nothing before OK";

    // The top-left colour's half is transparent until the box is checked.
    dialog.accept();
    ASSERT_TRUE(dialog.Result());
    EXPECT_EQ(TransparentPixels(dialog.Result()->image), 16 * 32);
    EXPECT_EQ(Find<QLabel>(dialog, "colours")->text(), "1 colour (exact)");

    // A slider move and a click just before OK, before the event loop has converted them.
    Find<QSlider>(dialog, "dithering")->setValue(40);
    Find<QCheckBox>(dialog, "opaque")->setChecked(true);
    dialog.accept();
    ASSERT_TRUE(dialog.Result());
    EXPECT_DOUBLE_EQ(dialog.Options().dither, 0.4);
    EXPECT_EQ(TransparentPixels(dialog.Result()->image), 0);
    EXPECT_EQ(dialog.Result()->colours, 2);

    dialog.reject();
    EXPECT_FALSE(dialog.Result()) << "nothing after Cancel";
}

TEST(ConversionDialogTest, AlphaPictureHasNoTopLeftRule) {
    RgbaPicture picture = TwoColourPicture(32, 32);
    picture.hasAlpha = true;
    picture.Pixel(0, 0)[3] = 0;
    ConversionDialog dialog(picture, QStringLiteral("alpha.png"), Hull());
    auto* opaque = Find<QCheckBox>(dialog, "opaque");
    EXPECT_FALSE(opaque->isEnabled());
    opaque->setChecked(true);
    EXPECT_FALSE(dialog.Options().opaque);
    dialog.accept();
    ASSERT_TRUE(dialog.Result());
    EXPECT_EQ(TransparentPixels(dialog.Result()->image), 1);
}

TEST(ConversionDialogTest, SeriesPreselectedAndChangedConvertAtTheirSizes) {
    ConversionDialog dialog(TwoColourPicture(100, 75), QStringLiteral("small.png"), Mission(2));
    auto* series = Find<QComboBox>(dialog, "series");
    ASSERT_NE(series, nullptr);
    EXPECT_EQ(series->currentIndex(), 2);
    EXPECT_EQ(dialog.ChosenSize(), 2);
    EXPECT_FALSE(Find<QComboBox>(dialog, "fit")->isEnabled()) << "the size already fits";

    series->setCurrentIndex(1);
    EXPECT_TRUE(Find<QComboBox>(dialog, "fit")->isEnabled());
    dialog.accept();
    ASSERT_TRUE(dialog.Result());
    EXPECT_EQ(dialog.ChosenSize(), 1);
    EXPECT_EQ(dialog.Result()->image.width, 260);
    EXPECT_EQ(dialog.Result()->image.height, 260);

    ConversionDialog beyond(TwoColourPicture(100, 75), QStringLiteral("small.png"), Mission(7));
    EXPECT_EQ(beyond.ChosenSize(), 2) << "a preselection beyond the sizes takes the last";
}

TEST(ConversionDialogTest, PictureThatCannotBeConvertedDisablesOk) {
    ConversionDialog dialog(RgbaPicture(), QStringLiteral("empty.png"), Hull());
    EXPECT_FALSE(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled());
    EXPECT_EQ(Find<QLabel>(dialog, "colours")->text(), "This picture cannot be converted");
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.Result());
}

}  // namespace
}  // namespace vexlor
