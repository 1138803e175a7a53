#pragma once

#include "editors/windows/library_editor_window.h"

class QLabel;

namespace vexlor {

class SwatchStrip;

// The SHIP and BATTLE/MISSION editors: the buttons in two columns, the staged picture shown with
// its top-left pixel's colour see-through over the panel's colour, and the swatch strip below
// the panel that picks that colour.
class SwatchEditorWindow : public LibraryEditorWindow {
    Q_OBJECT

  public:
    // A mouse button released over the swatch strip at `x` pixels from its left edge.
    void OnSwatchClicked(int x);

  protected:
    SwatchEditorWindow(EditorKind kind, const QString& libraryPath, UserDialogs& dialogs,
                       const WindowShape& shape, QWidget* parent);

    // Refresh, Export BMP, Import BMP and Delete in a first column; `spinLabel` (if any) and
    // the spin edit beside Export BMP, "<- Add" beside Import BMP, Replace beside Delete; below
    // them the panel, the strip 8 pixels under the panel.
    void ArrangeControls(QLabel* spinLabel);
    // The panel's caption goes with the first staged picture and does not come back.
    void ShowTransparentPicture(const IndexedImage& picture);

    SwatchStrip* swatchStrip_ = nullptr;
};

}  // namespace vexlor
