#include "widgets/fixed_pitch_font.h"

#include <QFontDatabase>
#include <QFontMetrics>

namespace vexlor {
namespace {

bool HasFixedPitch(const QFont& font) {
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(QLatin1Char('i')) ==
           metrics.horizontalAdvance(QLatin1Char('W'));
}

}  // namespace

QFont FixedPitchFont(int pixelSize) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!HasFixedPitch(font)) {
        font.setFamily(QStringLiteral("monospace"));
        font.setStyleHint(QFont::TypeWriter);
    }
    font.setPixelSize(pixelSize);
    return font;
}

}  // namespace vexlor
