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
      Image2(new SwatchStrip(this)) {
    connect(Image2, &SwatchStrip::Released, this, &SwatchEditorWindow::Image2MouseUp);
    Image2->setToolTip(QStringLiteral("Click a colour to show it behind the staged picture"));
    Panel1->setToolTip(
        QStringLiteral("The staged picture; where it has its top-left pixel's "
                       "colour, the colour chosen below shows through"));
    QFont bold = StatusBar1->font();
    bold.setBold(true);
    StatusBar1->setFont(bold);
}

void SwatchEditorWindow::ArrangeControls(QLabel* spinLabel) {
    auto* buttons = new QGridLayout;
    buttons->addWidget(Button1, 0, 0);
    if (spinLabel != nullptr) {
        buttons->addWidget(spinLabel, 0, 1, Qt::AlignBottom);
    }
    buttons->addWidget(Button2, 1, 0);
    buttons->addWidget(Spin1, 1, 1);
    buttons->addWidget(Button3, 2, 0);
    buttons->addWidget(Button4, 2, 1);
    buttons->addWidget(Button5, 3, 0);
    buttons->addWidget(Button6, 3, 1);
    buttons->addWidget(Button8, 4, 0);
    buttons->addWidget(Button7, 4, 1);
    buttons->setColumnStretch(2, 1);
    // "Import image..." takes the width it needs, and its column follows.
    for (QPushButton* button : {Button1, Button2, Button3, Button4, Button5, Button6, Button8}) {
        button->setFixedWidth(kButtonWidth);
    }
    Spin1->setFixedWidth(kSpinWidth);

    auto* column = new QVBoxLayout;
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(kPanelToStripGap);
    column->addLayout(buttons);
    column->addWidget(Panel1, 0, Qt::AlignLeft);
    column->addWidget(Image2, 0, Qt::AlignLeft);
    column->addStretch(1);
    ArrangeWindow(column);
}

void SwatchEditorWindow::ShowTransparentPicture(const IndexedImage& picture) {
    Panel1->SetCaption(QString());
    Panel1->ShowPicture(StagedIsConverted() ? ConvertedImage(picture)
                                            : WithTopLeftColourTransparent(StagedImage(picture)));
}

// The last pixel column and anything beyond the strip name no swatch; such a release, which
// follows a press on the strip, changes nothing.
void SwatchEditorWindow::Image2MouseUp(int x) {
    if (x < 0 || x >= kSwatchesWidth) {
        return;
    }
    Panel1->SetColour(
        Image2->PixelAt(kSwatchPitch * (x / kSwatchPitch) + kSampleInset, kSampleInset));
}

}  // namespace vexlor
