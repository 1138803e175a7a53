#pragma once

#include <optional>
#include <vector>

#include <QDialog>
#include <QString>

#include "editors/kind_constants.h"
#include "pictures/picture_conversion.h"
#include "pictures/rgba_picture.h"

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QImage;
class QPixmap;
class QTimer;

namespace vexlor {

class ConversionChoices;

// The sizes a library can store a picture at: one for HULL, MAP and SHIP, the three series of
// a BATTLE/MISSION library. The dialog offers a choice only when there are several.
struct ConversionTarget {
    struct Size {
        QString word;  // "HULL", "BATTLE", "mission", ...
        int width = 0;
        int height = 0;
    };
    std::vector<Size> sizes;
    int preselected = 0;  // index into sizes
    // HULL or MAP: converted for the shades the game shows, and drawn as the library's list
    // draws the stored picture.
    std::optional<EditorKind> shadedKind;
};

// "Import image": the picture file beside what the library will store, with the choices that
// shape the conversion. Each change converts again, so what the user accepts is what was shown.
class ConversionDialog final : public QDialog {
    Q_OBJECT

  public:
    ConversionDialog(RgbaPicture source, const QString& fileName, ConversionTarget target,
                     QWidget* parent = nullptr);

    // The conversion shown when the user pressed OK; nothing before that or after Cancel.
    std::optional<ConvertedPicture> Result() const;
    // The index into the target's sizes; -1 when the target has none.
    int ChosenSize() const;
    ConversionOptions Options() const;

    void accept() override;

  private:
    void BuildControls();
    QLayout* BuildViews();
    void ConnectControls();
    void ConvertSoon();
    void ConvertNow();
    void ShowConversion();
    void ShowFailure();
    void ShowRealSize(const QPixmap& picture);
    QImage StoredImage() const;
    QPixmap StoredView(const QImage& stored, int factor) const;
    void UpdateFitChoice();
    const ConversionTarget::Size* ChosenTargetSize() const;

    RgbaPicture source_;
    QString fileName_;
    ConversionTarget target_;
    std::optional<ConvertedPicture> converted_;

    QComboBox* series_ = nullptr;
    ConversionChoices* choices_ = nullptr;
    QLabel* colours_ = nullptr;
    QLabel* originalCaption_ = nullptr;
    QLabel* original_ = nullptr;
    QLabel* storedCaption_ = nullptr;
    QLabel* stored_ = nullptr;
    QLabel* realSizeCaption_ = nullptr;
    QLabel* realSize_ = nullptr;  // none when every size is shown at its real size
    QDialogButtonBox* buttons_ = nullptr;
    // Slider moves come faster than conversions; they share one conversion at the next turn of
    // the event loop.
    QTimer* pending_ = nullptr;
};

}  // namespace vexlor
