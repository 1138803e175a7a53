#pragma once

#include <vector>

#include <QImage>
#include <QWidget>

#include "library/images.h"

namespace vexlor {

// A picture drawn at a scale over the checkerboard. It paints only what is exposed, so even
// 4:1 of a large picture costs no more memory than the picture itself.
class PictureCanvas final : public QWidget {
    Q_OBJECT

  public:
    explicit PictureCanvas(QWidget* parent = nullptr);

    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }
    void SetScale(double scale);
    double Scale() const { return scale_; }
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage picture_;
    double scale_ = 1.0;
};

// A palette as a grid of swatches, sixteen a row; the entries that the picture uses carry a
// mark. Entries past 256 are counted, not shown: pixels are bytes and cannot use them.
class PaletteSwatches final : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kColumns = 16;
    static constexpr int kShownEntries = 256;

    explicit PaletteSwatches(QWidget* parent = nullptr);

    void SetPalette(const tPAL& palette, const std::vector<bool>& used);
    int ShownCount() const { return static_cast<int>(colours_.size()); }
    int UsedCount() const;
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<Colour> colours_;
    std::vector<bool> used_;
};

}  // namespace vexlor
