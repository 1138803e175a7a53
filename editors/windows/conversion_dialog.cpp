#include "editors/windows/conversion_dialog.h"

#include <algorithm>
#include <utility>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "editors/hull_map_editor_logic.h"
#include "editors/windows/picture_images.h"
#include "widgets/conversion_choices.h"

namespace vexlor {
namespace {

// The enlarged views fill about this many pixels on their longer side.
constexpr int kViewExtent = 520;
constexpr int kCheckerSquare = 8;
const QColor kCheckerLight(204, 204, 204);
const QColor kCheckerDark(153, 153, 153);

// The largest whole factor that keeps the picture within the view: pixels stay square and
// sharp, so single pixels of the palette can be judged.
int EnlargementFactor(int width, int height) {
    const int longer = std::max({width, height, 1});
    return std::max(1, kViewExtent / longer);
}

QSize LargestView(const ConversionTarget& target) {
    QSize largest(0, 0);
    for (const ConversionTarget::Size& size : target.sizes) {
        const int factor = EnlargementFactor(size.width, size.height);
        largest = largest.expandedTo(QSize(size.width * factor, size.height * factor));
    }
    return largest;
}

// The real-size view is there for the sizes that the enlarged view shows larger.
QSize LargestRealSizeView(const ConversionTarget& target) {
    QSize largest(0, 0);
    for (const ConversionTarget::Size& size : target.sizes) {
        if (EnlargementFactor(size.width, size.height) > 1) {
            largest = largest.expandedTo(QSize(size.width, size.height));
        }
    }
    return largest;
}

QImage ImageOf(const RgbaPicture& picture) {
    if (picture.IsEmpty() || picture.rgba.size() < picture.PixelCount() * 4) {
        return QImage();
    }
    return QImage(picture.rgba.data(), picture.width, picture.height, picture.width * 4,
                  QImage::Format_RGBA8888)
        .copy();
}

// Index 0 is the library's transparent colour, whatever colour the palette gives it.
QImage ImageOf(const IndexedImage& picture) {
    QImage image(picture.width, picture.height, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t index = picture.Index(x, y);
            line[x] = index == 0 ? qRgba(0, 0, 0, 0) : ToRgb(picture.PaletteColour(index));
        }
    }
    return image;
}

// The picture enlarged without smoothing over a grey checkerboard, which shows where it is
// transparent.
QPixmap OverCheckerboard(const QImage& picture, int factor) {
    const QSize size = picture.size() * factor;
    QImage canvas(size, QImage::Format_ARGB32);
    QPainter painter(&canvas);
    for (int y = 0; y < size.height(); y += kCheckerSquare) {
        for (int x = 0; x < size.width(); x += kCheckerSquare) {
            const bool light = (x / kCheckerSquare + y / kCheckerSquare) % 2 == 0;
            painter.fillRect(x, y, kCheckerSquare, kCheckerSquare,
                             light ? kCheckerLight : kCheckerDark);
        }
    }
    painter.drawImage(0, 0, picture.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    painter.end();
    return QPixmap::fromImage(canvas);
}

// The list's black background, where the see-through pixels of a thumbnail show.
QPixmap OverBlack(const QImage& picture, int factor) {
    const QSize size = picture.size() * factor;
    QImage canvas(size, QImage::Format_ARGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    painter.drawImage(0, 0, picture.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    painter.end();
    return QPixmap::fromImage(canvas);
}

QString ShadesNote(EditorKind kind) {
    return kind == EditorKind::Hull
               ? QStringLiteral(
                     "HULL pictures are shown in shades: each colour becomes its "
                     "brightness, drawn in green as the list draws it")
               : QStringLiteral(
                     "MAP pictures are shown in shades: each colour becomes its "
                     "brightness, drawn in yellow as the list draws it");
}

QString SourceDescription(const QString& fileName, const RgbaPicture& source) {
    return QStringLiteral("%1: %2 x %3 pixels, %4")
        .arg(fileName)
        .arg(source.width)
        .arg(source.height)
        .arg(source.hasAlpha ? QStringLiteral("with an alpha channel")
                             : QStringLiteral("without an alpha channel"));
}

QLabel* NewView(QSize size, QWidget* parent) {
    auto* view = new QLabel(parent);
    view->setAlignment(Qt::AlignCenter);
    view->setMinimumSize(size);
    view->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    return view;
}

}  // namespace

ConversionDialog::ConversionDialog(RgbaPicture source, const QString& fileName,
                                   ConversionTarget target, QWidget* parent)
    : QDialog(parent),
      source_(std::move(source)),
      fileName_(fileName),
      target_(std::move(target)),
      pending_(new QTimer(this)) {
    setWindowTitle(QStringLiteral("Import image"));
    if (!target_.sizes.empty()) {
        target_.preselected =
            std::clamp(target_.preselected, 0, static_cast<int>(target_.sizes.size()) - 1);
    }
    pending_->setSingleShot(true);
    pending_->setInterval(0);
    BuildControls();
    ConnectControls();
    UpdateFitChoice();
    ConvertNow();
}

std::optional<ConvertedPicture> ConversionDialog::Result() const {
    return result() == QDialog::Accepted ? converted_ : std::nullopt;
}

int ConversionDialog::ChosenSize() const {
    if (target_.sizes.empty()) {
        return -1;
    }
    return series_ != nullptr ? series_->currentIndex() : target_.preselected;
}

ConversionOptions ConversionDialog::Options() const {
    ConversionOptions options;
    options.shades = target_.shadedKind.has_value();
    return choices_->Options(options);
}

// OK takes the conversion of the choices on screen, even when a slider move has not been
// converted yet.
void ConversionDialog::accept() {
    if (pending_->isActive()) {
        pending_->stop();
        ConvertNow();
    }
    if (converted_) {
        QDialog::accept();
    }
}

void ConversionDialog::BuildControls() {
    choices_ = new ConversionChoices(source_.hasAlpha, this);

    colours_ = new QLabel(this);
    colours_->setObjectName(QStringLiteral("colours"));
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* form = new QFormLayout;
    if (target_.sizes.size() > 1) {
        series_ = new QComboBox(this);
        series_->setObjectName(QStringLiteral("series"));
        for (const ConversionTarget::Size& size : target_.sizes) {
            series_->addItem(
                QStringLiteral("%1 (%2 x %3)").arg(size.word).arg(size.width).arg(size.height));
        }
        series_->setCurrentIndex(target_.preselected);
        form->addRow(QStringLiteral("Series:"), series_);
    }
    choices_->AddRows(*form);
    form->addRow(QString(), colours_);

    // The choices stand under the original, as wide as it, clear of the buttons.
    auto* choices = new QWidget(this);
    choices->setLayout(form);
    form->setContentsMargins(0, 0, 0, 0);
    choices->setFixedWidth(LargestView(target_).width());
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(choices);
    bottom->addStretch(1);
    bottom->addWidget(buttons_, 0, Qt::AlignBottom);

    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(SourceDescription(fileName_, source_), this));
    if (target_.shadedKind) {
        auto* note = new QLabel(ShadesNote(*target_.shadedKind), this);
        note->setObjectName(QStringLiteral("shades"));
        column->addWidget(note);
    }
    column->addLayout(BuildViews());
    column->addLayout(bottom);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

QLayout* ConversionDialog::BuildViews() {
    const QSize largest = LargestView(target_);
    originalCaption_ = new QLabel(QStringLiteral("Before the palette"), this);
    original_ = NewView(largest, this);
    storedCaption_ = new QLabel(this);
    stored_ = NewView(largest, this);
    stored_->setObjectName(QStringLiteral("stored"));

    auto* row = new QGridLayout;
    row->addWidget(originalCaption_, 0, 0);
    row->addWidget(original_, 1, 0);
    row->addWidget(storedCaption_, 0, 1);
    row->addWidget(stored_, 1, 1);
    const QSize largestReal = LargestRealSizeView(target_);
    if (!largestReal.isEmpty()) {
        realSizeCaption_ = new QLabel(this);
        realSize_ = new QLabel(this);
        realSize_->setObjectName(QStringLiteral("realSize"));
        realSize_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        realSize_->setMinimumSize(largestReal);
        row->addWidget(realSizeCaption_, 0, 2);
        row->addWidget(realSize_, 1, 2, Qt::AlignTop);
    }
    return row;
}

void ConversionDialog::ConnectControls() {
    connect(pending_, &QTimer::timeout, this, &ConversionDialog::ConvertNow);
    connect(choices_, &ConversionChoices::Changed, this, &ConversionDialog::ConvertSoon);
    if (series_ != nullptr) {
        connect(series_, &QComboBox::currentIndexChanged, this, [this] {
            UpdateFitChoice();
            ConvertSoon();
        });
    }
    connect(buttons_, &QDialogButtonBox::accepted, this, &ConversionDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &ConversionDialog::reject);
}

void ConversionDialog::ConvertSoon() {
    pending_->start();
}

void ConversionDialog::ConvertNow() {
    const ConversionTarget::Size* size = ChosenTargetSize();
    converted_.reset();
    if (size != nullptr) {
        converted_ = ConvertPicture(source_, size->width, size->height, Options());
    }
    if (converted_) {
        ShowConversion();
    } else {
        ShowFailure();
    }
}

void ConversionDialog::ShowConversion() {
    const IndexedImage& image = converted_->image;
    const int factor = EnlargementFactor(image.width, image.height);
    original_->setPixmap(OverCheckerboard(ImageOf(converted_->fitted), factor));
    storedCaption_->setText(
        factor > 1 ? QStringLiteral("As stored: %1 x %2, shown %3 times as large")
                         .arg(image.width)
                         .arg(image.height)
                         .arg(factor)
                   : QStringLiteral("As stored: %1 x %2").arg(image.width).arg(image.height));
    const QImage stored = StoredImage();
    stored_->setPixmap(StoredView(stored, factor));
    if (realSize_ != nullptr) {
        ShowRealSize(factor > 1 ? StoredView(stored, 1) : QPixmap());
    }
    colours_->setText(QStringLiteral("%1 colour%2%3")
                          .arg(converted_->colours)
                          .arg(converted_->colours == 1 ? "" : "s")
                          .arg(converted_->exact ? QStringLiteral(" (exact)") : QString()));
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(true);
}

QImage ConversionDialog::StoredImage() const {
    if (target_.shadedKind) {
        const std::optional<Thumbnail> look = StoredLook(*target_.shadedKind, converted_->image);
        return look ? ThumbnailImage(look->image, look->transparent) : QImage();
    }
    return ImageOf(converted_->image);
}

QPixmap ConversionDialog::StoredView(const QImage& stored, int factor) const {
    if (stored.isNull()) {
        return {};
    }
    return target_.shadedKind ? OverBlack(stored, factor) : OverCheckerboard(stored, factor);
}

void ConversionDialog::ShowFailure() {
    original_->clear();
    stored_->clear();
    storedCaption_->setText(QStringLiteral("As stored"));
    if (realSize_ != nullptr) {
        ShowRealSize(QPixmap());
    }
    colours_->setText(QStringLiteral("This picture cannot be converted"));
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(false);
}

// At the factor 1 the enlarged view is the real size already; the view keeps its place so that
// the dialog does not change its size with the series.
void ConversionDialog::ShowRealSize(const QPixmap& picture) {
    realSizeCaption_->setText(picture.isNull() ? QString() : QStringLiteral("Real size"));
    realSize_->setPixmap(picture);
}

// A picture of the library's size is taken as it is, whatever the fit says.
void ConversionDialog::UpdateFitChoice() {
    const ConversionTarget::Size* size = ChosenTargetSize();
    const bool sameSize =
        size != nullptr && size->width == source_.width && size->height == source_.height;
    choices_->SetFitEnabled(!sameSize,
                            sameSize ? QStringLiteral("The picture has the library's size already")
                                     : QStringLiteral("How the picture is brought to the "
                                                      "library's size"));
}

const ConversionTarget::Size* ConversionDialog::ChosenTargetSize() const {
    const int chosen = ChosenSize();
    return chosen < 0 ? nullptr : &target_.sizes[static_cast<std::size_t>(chosen)];
}

}  // namespace vexlor
