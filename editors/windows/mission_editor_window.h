#pragma once

#include "editors/windows/swatch_editor_window.h"

class QLabel;

namespace vexlor {

// The editor window of BATTLE/MISSION libraries: three series of pictures in three sizes,
// listed by picture number within the series and appended under the series of the picture's
// width.
class MissionEditorWindow final : public SwatchEditorWindow {
    Q_OBJECT

  public:
    MissionEditorWindow(const QString& libraryPath, UserDialogs& dialogs,
                        QWidget* parent = nullptr);

  protected:
    // The spin edit is left alone; Import BMP suggests from the numbers in use.
    void ShowRefreshedList(const PictureList& list) override;
    void BeginImport() override;
    void ShowStagedPicture(const IndexedImage& picture) override;
    std::optional<Series> StagedSeries() const override;

  private:
    void FitPreviewTo(const IndexedImage& picture);

    QLabel* seriesLabel_;
    PictureList numbersInUse_;  // the highest number per series; no entries
};

}  // namespace vexlor
