#include "editors/windows/mission_editor_window.h"
#include "editors/windows/identifier_spin_box.h"

#include <QLabel>
#include <QLayout>

#include "editors/mission_editor_logic.h"
#include "editors/windows/preview_panel.h"

namespace vexlor {
namespace {

constexpr int kListWidth = 257;
constexpr int kPreviewWidth = 204;

const LibraryEditorWindow::WindowShape kShape = {kListWidth, 0, QSize(223, 221), QSize(500, 520)};

}  // namespace

MissionEditorWindow::MissionEditorWindow(const QString& libraryPath, UserDialogs& dialogs,
                                         QWidget* parent)
    : SwatchEditorWindow(EditorKind::Mission, libraryPath, dialogs, kShape, parent),
      seriesLabel_(new QLabel(QStringLiteral("         "), this)) {
    seriesLabel_->setObjectName(QStringLiteral("SeriesLabel"));
    seriesLabel_->setToolTip(QStringLiteral("The series that the staged picture is added to"));
    ArrangeControls(seriesLabel_);
}

void MissionEditorWindow::ShowRefreshedList(const PictureList& list) {
    numbersInUse_.highest = list.highest;
}

void MissionEditorWindow::BeginImport() {
    seriesLabel_->clear();
}

void MissionEditorWindow::ShowStagedPicture(const IndexedImage& picture) {
    const Series series = StagedSeries().value_or(Series::Mission);
    const SeriesInfo& info = InfoOf(series);
    FitPreviewTo(picture);
    ShowTransparentPicture(picture);
    seriesLabel_->setText(QString::fromLatin1(info.spinLabel));
    identifierSpin_->setMaximum(info.maximumNumber);
    identifierSpin_->setValue(MissionEditorLogic::SuggestedNumber(numbersInUse_, series));
}

// The image keeps its width and takes the picture's shape; the panel and the strip below it
// follow.
void MissionEditorWindow::FitPreviewTo(const IndexedImage& picture) {
    const int height = (2 * kPreviewWidth * picture.height + picture.width) / (2 * picture.width);
    previewPanel_->FitImageHeight(height);
    layout()->activate();
}

std::optional<Series> MissionEditorWindow::StagedSeries() const {
    const IndexedImage* staged = StagedPicture();
    return staged != nullptr ? SeriesOfWidth(staged->width) : std::nullopt;
}

}  // namespace vexlor
