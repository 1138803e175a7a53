#include "editors/windows/hull_map_editor_window.h"

#include "editors/windows/identifier_spin_box.h"

#include <algorithm>

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editors/windows/picture_images.h"
#include "editors/windows/preview_panel.h"

namespace vexlor {
namespace {

constexpr int kListWidth = 120;
constexpr int kMinimumWidth = 225;
constexpr int kColumnWidth = 89;

LibraryEditorWindow::WindowShape ShapeOf(EditorKind kind) {
    const KindConstants& constants = ConstantsOf(kind);
    // The preview image with a margin of 8 pixels all round.
    const QSize panel(constants.previewWidth + 16, constants.previewHeight + 16);
    return {kListWidth, kMinimumWidth, panel, QSize(kMinimumWidth, 400)};
}

}  // namespace

HullMapEditorWindow::HullMapEditorWindow(EditorKind kind, const QString& libraryPath,
                                         UserDialogs& dialogs, QWidget* parent)
    : LibraryEditorWindow(kind, libraryPath, dialogs, ShapeOf(kind), parent) {
    ArrangeControls();
    Panel1->setToolTip(QStringLiteral("The staged picture, at twice its size"));
    // Every change of the text, also one that is no number yet (it counts as the minimum); the
    // spin box reports only acceptable texts, its text field only what the user types.
    connect(Spin1, &QSpinBox::textChanged, this, &HullMapEditorWindow::Spin1Change);
    if (auto* text = Spin1->findChild<QLineEdit*>()) {
        connect(text, &QLineEdit::textChanged, this, &HullMapEditorWindow::Spin1Change);
    }
}

// Closing the window takes the focus from a field holding a half-typed number, which then
// settles and changes: by then this part of the window is gone.
HullMapEditorWindow::~HullMapEditorWindow() {
    disconnect(Spin1, nullptr, this, nullptr);
    if (auto* text = Spin1->findChild<QLineEdit*>()) {
        disconnect(text, nullptr, this, nullptr);
    }
}

void HullMapEditorWindow::ArrangeControls() {
    auto* column = new QVBoxLayout;
    column->setContentsMargins(8, 8, 8, 8);
    for (QWidget* control :
         std::initializer_list<QWidget*>{Button1, Button2, Button8, Button3, Button7, Panel1, Spin1,
                                         Button4, Button6, Button5}) {
        if (control != Panel1) {
            // "Import image..." takes the width its caption needs, which the column follows.
            control->setFixedWidth(std::max(
                kColumnWidth, control == Button7 ? control->sizeHint().width() : kColumnWidth));
        }
        column->addWidget(control, 0, Qt::AlignLeft);
    }
    column->addStretch(1);
    ArrangeWindow(column);
}

void HullMapEditorWindow::ShowStagedPicture(const IndexedImage& picture) {
    Panel1->ShowPicture(StagedIsConverted() ? ConvertedImage(picture) : StagedImage(picture));
}

// While the spin edit is disabled (nothing staged, or just appended) its changes, such as
// Refresh's suggestion, leave "<- Add" alone.
void HullMapEditorWindow::Spin1Change() {
    if (!Spin1->isEnabled()) {
        return;
    }
    RetestAdd();
}

}  // namespace vexlor
