#pragma once

#include <QDialog>
#include <QSize>

#include "browser/library_browser_edit.h"

class QComboBox;
class QLabel;
class QSpinBox;

namespace vexlor {

class ConversionChoices;

// Asks the GroupId and PictureId of a record and, for a picture to store, its format and size.
class RecordNameDialog final : public QDialog {
    Q_OBJECT

  public:
    RecordNameDialog(const QString& title, RecordName name, QWidget* parent = nullptr);

    // The group is the one the action was given; only the PictureId is asked.
    void KeepGroup();
    // The record keeps its name; only the picture is asked.
    void KeepName();
    // Adds the format (preset `format`) and the size (preset `size`) of the stored picture, and
    // the picture as it would be stored; the size of `source` is offered as a choice.
    void AskPicture(std::uint16_t format, QSize size, const RgbaPicture& source);

    RecordName Name() const;
    PictureChoice Choice() const;

  private:
    void ShowPreview();
    QSpinBox* NumberBox(const QString& name, int lowest, int highest, int value);

    QSpinBox* groupId_ = nullptr;
    QSpinBox* pictureId_ = nullptr;
    QComboBox* format_ = nullptr;
    QSpinBox* width_ = nullptr;
    QSpinBox* height_ = nullptr;
    ConversionChoices* choices_ = nullptr;
    QLabel* preview_ = nullptr;
    RgbaPicture source_;
};

}  // namespace vexlor
