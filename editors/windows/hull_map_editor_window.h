#pragma once

#include "editors/windows/library_editor_window.h"

namespace vexlor {

// The HULL and MAP editors: one column of controls beside the list, the staged picture shown
// at twice its size, and "<- Add" following the identifier rule as the spin edit changes.
class HullMapEditorWindow : public LibraryEditorWindow {
    Q_OBJECT

  public:
    ~HullMapEditorWindow() override;

    // Re-tests "<- Add" against the identifier rule while a picture is staged.
    void OnIdentifierChanged();

  protected:
    HullMapEditorWindow(EditorKind kind, const QString& libraryPath, UserDialogs& dialogs,
                        QWidget* parent);

    void ShowStagedPicture(const IndexedImage& picture) override;

  private:
    void ArrangeControls();
};

}  // namespace vexlor
