#pragma once

#include <QObject>

#include "pictures/picture_conversion.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QSlider;
class QWidget;

namespace vexlor {

// The choices of every conversion of a picture file, as the editors' and the browser's dialogs
// offer them: how the picture fits the size ("fit"), how much the palette dithers
// ("dithering"), and whether a picture without alpha keeps its top-left colour opaque
// ("opaque"); the controls' object names in brackets.
class ConversionChoices final : public QObject {
    Q_OBJECT

  public:
    ConversionChoices(bool pictureHasAlpha, QWidget* parent);

    // Adds the rows "Fit:", "Dithering:" and "Transparency:", at the end or from row `row`.
    void AddRows(QFormLayout& form, int row = -1) const;
    // The choices on screen; the options they do not concern are left as `base` has them.
    ConversionOptions Options(ConversionOptions base = {}) const;
    // For a picture that has the size already, where fitting does nothing.
    void SetFitEnabled(bool enabled, const QString& toolTip);

  signals:
    void Changed();

  private:
    void ShowDither();

    bool pictureHasAlpha_;
    QComboBox* fit_ = nullptr;
    QSlider* dither_ = nullptr;
    QLabel* ditherValue_ = nullptr;
    QCheckBox* opaque_ = nullptr;
};

}  // namespace vexlor
