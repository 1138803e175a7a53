#pragma once

#include <QFrame>

class QLabel;

namespace vexlor {

// A sunken panel whose caption stands in its middle, behind the picture,
// and whose colour shows through the picture's see-through pixels.
class PreviewPanel final : public QFrame {
    Q_OBJECT

  public:
    // The image stands 8 pixels in from the panel's top-left corner.
    PreviewPanel(const QString& caption, QSize panelSize, QSize imageSize,
                 QWidget* parent = nullptr);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    QColor Colour() const;
    void SetColour(const QColor& colour);

    QLabel* Image() const { return image_; }
    // Resizes the image; the panel becomes the image's height plus 16 pixels high.
    void FitImageHeight(int height);
    // Shows `picture` stretched to the image's size, pixel for pixel without smoothing.
    void ShowPicture(const QImage& picture);
    void ClearPicture();
    // What the image shows, at the image's size; null when it is clear.
    QImage ShownPicture() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString caption_;
    QLabel* image_;
};

}  // namespace vexlor
