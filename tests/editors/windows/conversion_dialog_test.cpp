#include <algorithm>
#include <cmath>
#include <utility>

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QImage>
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
    return {{{QStringLiteral("HULL"), 32, 32}}, 0, EditorKind::Hull};
}

ConversionTarget Map() {
    return {{{QStringLiteral("MAP"), 16, 16}}, 0, EditorKind::Map};
}

ConversionTarget Mission(int preselected) {
    return {{{QStringLiteral("BATTLE"), 510, 260},
             {QStringLiteral("MISSION"), 260, 260},
             {QStringLiteral("mission"), 100, 75}},
            preselected,
            std::nullopt};
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

QImage ViewImage(const ConversionDialog& dialog, const char* name) {
    return Find<QLabel>(dialog, name)->pixmap().toImage();
}

// Red at the left to blue at the right, over a white ground that the top-left rule takes away.
RgbaPicture RedToBlueDisc(int side) {
    RgbaPicture picture(side, side);
    const double centre = (side - 1) / 2.0;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            std::uint8_t* pixel = picture.Pixel(x, y);
            const bool inside = std::hypot(x - centre, y - centre) < side * 0.45;
            const int blue = 255 * x / (side - 1);
            pixel[0] = static_cast<std::uint8_t>(inside ? 255 - blue : 255);
            pixel[1] = static_cast<std::uint8_t>(inside ? 0 : 255);
            pixel[2] = static_cast<std::uint8_t>(inside ? blue : 255);
            pixel[3] = 255;
        }
    }
    return picture;
}

// What the list will show: HULL the shade's level in green, MAP in red and green, on the list's
// black where the picture is transparent; the full-colour kinds keep their colours.
TEST(ConversionDialogTest, HullAndMapAreShownInTheShadesTheListDraws) {
    for (const auto& [target, mask] :
         {std::pair{Hull(), QRgb{0x00FF00}}, std::pair{Map(), QRgb{0xFFFF00}}}) {
        const int side = target.sizes.front().width;
        ConversionDialog dialog(RedToBlueDisc(side), QStringLiteral("disc.png"), target);
        ASSERT_NE(Find<QLabel>(dialog, "shades"), nullptr);
        EXPECT_TRUE(Find<QLabel>(dialog, "shades")->text().contains(QStringLiteral("shades")));
        Find<QSlider>(dialog, "dithering")->setValue(0);
        dialog.accept();
        ASSERT_TRUE(dialog.Result());
        const IndexedImage image = dialog.Result()->image;
        const QImage real = ViewImage(dialog, "realSize");
        const QImage stored = ViewImage(dialog, "stored");
        ASSERT_EQ(real.size(), QSize(side, side));
        const int factor = stored.width() / side;
        int previous = 256;
        for (int x = 0; x < side; ++x) {
            const QRgb shown = real.pixel(x, side / 2);
            EXPECT_EQ(stored.pixel(x * factor, side / 2 * factor), shown) << x;
            if (image.Index(x, side / 2) == 0) {
                EXPECT_EQ(shown & 0xFFFFFF, 0u) << x;
                continue;
            }
            const Colour colour = image.PixelColour(x, side / 2);
            EXPECT_EQ(RedOf(colour), GreenOf(colour)) << "stored as a grey";
            EXPECT_EQ(RedOf(colour), BlueOf(colour));
            EXPECT_EQ(shown & 0xFFFFFF,
                      qRgb(static_cast<int>(RedOf(colour)), static_cast<int>(GreenOf(colour)),
                           static_cast<int>(BlueOf(colour))) &
                          mask);
            // Red is brighter than blue: the disc darkens to the right instead of staying flat.
            EXPECT_LE(qGreen(shown), previous) << x;
            previous = qGreen(shown);
        }
        EXPECT_LT(previous, 128);
        EXPECT_GT(qGreen(real.pixel(side / 8, side / 2)), 200);
    }
    ConversionDialog mission(TwoColourPicture(100, 75), QStringLiteral("small.png"), Mission(2));
    EXPECT_EQ(Find<QLabel>(mission, "shades"), nullptr);
    EXPECT_FALSE(mission.Options().shades);
}

}  // namespace
}  // namespace vexlor
