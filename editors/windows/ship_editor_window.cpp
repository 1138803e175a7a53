#include "editors/windows/ship_editor_window.h"

namespace vexlor {
namespace {

constexpr int kListWidth = 170;
constexpr int kMinimumWidth = 394;

// The 180 x 180 preview with a margin of 8 pixels all round.
const LibraryEditorWindow::WindowShape kShape = {kListWidth, kMinimumWidth, QSize(196, 196),
                                                 QSize(kMinimumWidth, 520)};

}  // namespace

ShipEditorWindow::ShipEditorWindow(const QString& libraryPath, UserDialogs& dialogs,
                                   QWidget* parent)
    : SwatchEditorWindow(EditorKind::Ship, libraryPath, dialogs, kShape, parent) {
    ArrangeControls(nullptr);
}

void ShipEditorWindow::ShowStagedPicture(const IndexedImage& picture) {
    ShowTransparentPicture(picture);
}

}  // namespace vexlor
