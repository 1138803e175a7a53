#pragma once

#include <QImage>
#include <QLabel>

namespace vexlor {

// Six colour swatches in a 193 x 32 strip with a black frame and black separators
// every 32 pixels. A mouse button released over it reports where.
class SwatchStrip final : public QLabel {
    Q_OBJECT

  public:
    explicit SwatchStrip(QWidget* parent = nullptr);

    // The strip's pixel; invalid outside the strip.
    QColor PixelAt(int x, int y) const;

  signals:
    void Released(int x);

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QImage strip_;
};

}  // namespace vexlor
