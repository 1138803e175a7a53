#include "editors/windows/swatch_editor_window.h"
#include "editors/windows/identifier_spin_box.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "editors/windows/picture_images.h"
#include "editors/windows/preview_panel.h"
#include "editors/windows/swatch_strip.h"

namespace vexlor {
namespace {

constexpr int kButtonWidth = 89;
constexpr int kSpinWidth = 89;
constexpr int kSwatchPitch = 32;
constexpr int kSwatchesWidth = 6 * kSwatchPitch;
// Inside the swatch, clear of the frame and the separators.
constexpr int kSampleInset = 2;
constexpr int kPanelToStripGap = 8;

}  // namespace

SwatchEditorWindow::SwatchEditorWindow(EditorKind kind, const QString& libraryPath,
                                       UserDialogs& dialogs, const WindowShape& shape,
                                       QWidget* parent)
    : LibraryEditorWindow(kind, libraryPath, dialogs, shape, parent),
      swatchStrip_(new SwatchStrip(this)) {
    connect(swatchStrip_, &SwatchStrip::Released, this, &SwatchEditorWindow::OnSwatchClicked);
    swatchStrip_->setToolTip(QStringLiteral("Click a colour to show it behind the staged picture"));
    previewPanel_->setToolTip(
        QStringLiteral("The staged picture; where it has its top-left pixel's "
                       "colour, the colour chosen below shows through"));
    QFont bold = statusBar_->font();
    bold.setBold(true);
    statusBar_->setFont(bold);
}

void SwatchEditorWindow::ArrangeControls(QLabel* spinLabel) {
    auto* buttons = new QGridLayout;
    buttons->addWidget(refreshButton_, 0, 0);
    if (spinLabel != nullptr) {
        buttons->addWidget(spinLabel, 0, 1, Qt::AlignBottom);
    }
    buttons->addWidget(exportBmpButton_, 1, 0);
    buttons->addWidget(identifierSpin_, 1, 1);
    buttons->addWidget(importBmpButton_, 2, 0);
    buttons->addWidget(addButton_, 2, 1);
    buttons->addWidget(deleteButton_, 3, 0);
    buttons->addWidget(replaceButton_, 3, 1);
    buttons->addWidget(exportPngButton_, 4, 0);
    buttons->addWidget(importImageButton_, 4, 1);
    buttons->setColumnStretch(2, 1);
    // "Import image..." takes the width it needs, and its column follows.
    for (QPushButton* button : {refreshButton_, exportBmpButton_, importBmpButton_, addButton_,
                                deleteButton_, replaceButton_, exportPngButton_}) {
        button->setFixedWidth(kButtonWidth);
    }
    identifierSpin_->setFixedWidth(kSpinWidth);

    auto* column = new QVBoxLayout;
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(kPanelToStripGap);
    column->addLayout(buttons);
    column->addWidget(previewPanel_, 0, Qt::AlignLeft);
    column->addWidget(swatchStrip_, 0, Qt::AlignLeft);
    column->addStretch(1);
    ArrangeWindow(column);
}

void SwatchEditorWindow::ShowTransparentPicture(const IndexedImage& picture) {
    previewPanel_->SetCaption(QString());
    previewPanel_->ShowPicture(StagedIsConverted()
                                   ? ConvertedImage(picture)
                                   : WithTopLeftColourTransparent(StagedImage(picture)));
}

// The last pixel column and anything beyond the strip name no swatch; such a release, which
// follows a press on the strip, changes nothing.
void SwatchEditorWindow::OnSwatchClicked(int x) {
    if (x < 0 || x >= kSwatchesWidth) {
        return;
    }
    previewPanel_->SetColour(
        swatchStrip_->PixelAt(kSwatchPitch * (x / kSwatchPitch) + kSampleInset, kSampleInset));
}

}  // namespace vexlor
