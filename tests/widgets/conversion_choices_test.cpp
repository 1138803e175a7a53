#include "widgets/conversion_choices.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QSlider>
#include <QWidget>

namespace vexlor {
namespace {

// What the controls show is what the conversion is given; the options they do not concern pass
// through, and a picture with its own alpha never keeps a colour opaque by the box.
TEST(ConversionChoices, TheControlsMakeTheOptionsAndSayWhenTheyChange) {
    for (const bool hasAlpha : {false, true}) {
        QWidget dialog;
        auto* form = new QFormLayout(&dialog);
        ConversionChoices choices(hasAlpha, &dialog);
        choices.AddRows(*form);
        EXPECT_EQ(form->rowCount(), 3);
        int changes = 0;
        QObject::connect(&choices, &ConversionChoices::Changed, [&] { ++changes; });

        auto* fit = dialog.findChild<QComboBox*>(QStringLiteral("fit"));
        auto* dither = dialog.findChild<QSlider*>(QStringLiteral("dithering"));
        auto* opaque = dialog.findChild<QCheckBox*>(QStringLiteral("opaque"));
        ASSERT_TRUE(fit && dither && opaque);
        const ConversionOptions defaults;
        EXPECT_EQ(choices.Options().fit, defaults.fit);
        EXPECT_DOUBLE_EQ(choices.Options().dither, defaults.dither);

        fit->setCurrentIndex(fit->findData(static_cast<int>(Fit::Cover)));
        dither->setValue(25);
        opaque->setChecked(true);
        EXPECT_EQ(changes, 3);
        ConversionOptions base;
        base.shades = true;
        base.softAlpha = true;
        const ConversionOptions options = choices.Options(base);
        EXPECT_EQ(options.fit, Fit::Cover);
        EXPECT_DOUBLE_EQ(options.dither, 0.25);
        EXPECT_EQ(options.opaque, !hasAlpha);
        EXPECT_TRUE(options.shades && options.softAlpha);
        EXPECT_EQ(opaque->isEnabled(), !hasAlpha);
    }
}

}  // namespace
}  // namespace vexlor
