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
    previewPanel_->setToolTip(QStringLiteral("The staged picture, at twice its size"));
    // Every change of the text, also one that is no number yet (it counts as the minimum); the
    // spin box reports only acceptable texts, its text field only what the user types.
    connect(identifierSpin_, &QSpinBox::textChanged, this,
            &HullMapEditorWindow::OnIdentifierChanged);
    if (auto* text = identifierSpin_->findChild<QLineEdit*>()) {
        connect(text, &QLineEdit::textChanged, this, &HullMapEditorWindow::OnIdentifierChanged);
    }
}

// Closing the window takes the focus from a field holding a half-typed number, which then
// settles and changes: by then this part of the window is gone.
HullMapEditorWindow::~HullMapEditorWindow() {
    disconnect(identifierSpin_, nullptr, this, nullptr);
    if (auto* text = identifierSpin_->findChild<QLineEdit*>()) {
        disconnect(text, nullptr, this, nullptr);
    }
}

void HullMapEditorWindow::ArrangeControls() {
    auto* column = new QVBoxLayout;
    column->setContentsMargins(8, 8, 8, 8);
    for (QWidget* control : std::initializer_list<QWidget*>{
             refreshButton_, exportBmpButton_, exportPngButton_, importBmpButton_,
             importImageButton_, previewPanel_, identifierSpin_, addButton_, replaceButton_,
             deleteButton_}) {
        if (control != previewPanel_) {
            // "Import image..." takes the width its caption needs, which the column follows.
            control->setFixedWidth(std::max(kColumnWidth, control == importImageButton_
                                                              ? control->sizeHint().width()
                                                              : kColumnWidth));
        }
        column->addWidget(control, 0, Qt::AlignLeft);
    }
    column->addStretch(1);
    ArrangeWindow(column);
}

void HullMapEditorWindow::ShowStagedPicture(const IndexedImage& picture) {
    previewPanel_->ShowPicture(StagedIsConverted() ? ConvertedImage(picture)
                                                   : StagedImage(picture));
}

// While the spin edit is disabled (nothing staged, or just appended) its changes, such as
// Refresh's suggestion, leave "<- Add" alone.
void HullMapEditorWindow::OnIdentifierChanged() {
    if (!identifierSpin_->isEnabled()) {
        return;
    }
    RetestAdd();
}

}  // namespace vexlor
