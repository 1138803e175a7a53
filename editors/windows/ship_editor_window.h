#pragma once

#include "editors/windows/swatch_editor_window.h"

namespace vexlor {

// The editor window of SHIP libraries: 180 x 180 craft pictures, one group each.
class ShipEditorWindow final : public SwatchEditorWindow {
    Q_OBJECT

  public:
    ShipEditorWindow(const QString& libraryPath, UserDialogs& dialogs, QWidget* parent = nullptr);

  protected:
    void ShowStagedPicture(const IndexedImage& picture) override;
};

}  // namespace vexlor
