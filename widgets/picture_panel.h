#pragma once

#include <QFrame>

class QLabel;

namespace vexlor {

// A black panel with a picture area in its middle. Its caption stands behind the area in bold
// red, so it shows until a picture covers it; a picture is drawn at the area's top left in its
// own size and cut off at the area's edges.
class PicturePanel final : public QFrame {
    Q_OBJECT

  public:
    PicturePanel(QSize panelSize, QSize areaSize, QWidget* parent);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);

    QLabel* Image() const { return image_; }
    void ShowPicture(const QImage& picture);
    void ClearPicture();
    // What the area shows; null when it is clear.
    QImage ShownPicture() const;
    // Bold, and small enough for the caption to fit the panel's width.
    QFont CaptionFont() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    static constexpr int kCaptionMargin = 1;
    static constexpr qreal kSmallestCaptionPoints = 4;

    QString caption_;
    QLabel* image_;
};

}  // namespace vexlor
