// Pictures from any image file in the library editors: Import image, the drop of a picture file,
// and what the conversion dialog is asked.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include "editors/editor_messages.h"
#include "editors/picture_import.h"
#include "editors/windows/library_editor_window.h"
#include "library/bmp_file.h"
#include "pictures/picture_files.h"
#include "platform/path_resolver.h"
#include "platform/qt_dropped_files.h"
#include "platform/qt_file_filters.h"

namespace vexlor {

namespace {

std::optional<ConvertedPicture> RunConversionDialog(const RgbaPicture& source,
                                                    const QString& fileName,
                                                    const ConversionTarget& target,
                                                    QWidget* parent) {
    ConversionDialog dialog(source, fileName, target, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Result();
}

}  // namespace

void LibraryEditorWindow::ImportImageClick() {
    const std::optional<QString> path = dialogs_.AskOpenFile(ImageImportRequest());
    if (path) {
        StageImageFile(*path);
    }
}

FileDialogRequest LibraryEditorWindow::ImageImportRequest() const {
    FileDialogRequest request = ImportRequest();
    request.title = QStringLiteral("Import image");
    request.filters = PictureFileFilters(ReadablePicturePatterns());
    request.defaultSuffix.clear();
    return request;
}

void LibraryEditorWindow::StagePictureFile(const QString& path) {
    BmpPicture bitmap;
    if (ReadBmpFile(QFile::encodeName(path).toStdString(), bitmap) &&
        logic_->CheckStagedBmp(bitmap)) {
        // What Import BMP does with this file once read and accepted.
        BeginStaging(path);
        Stage(ImageToAdd(std::move(bitmap.indexed)));
    } else {
        StageImageFile(path);
    }
}

void LibraryEditorWindow::StageImageFile(const QString& path) {
    BeginStaging(path);
    RgbaPicture source;
    std::string error;
    if (!ReadPictureFile(QFile::encodeName(path).toStdString(), source, error)) {
        ShowStatusMessage(QString::fromStdString(error));
        dialogs_.Beep();
        return;
    }
    const ConversionAsker& ask = askConversion_ ? askConversion_ : RunConversionDialog;
    const std::optional<ConvertedPicture> converted =
        ask(source, QFileInfo(path).fileName(), TargetFor(source), this);
    if (converted) {
        Stage(StageConverted(*converted));
    }
}

// BATTLE/MISSION offers its three series, preselected by the picture's size; the other kinds
// their one size.
ConversionTarget LibraryEditorWindow::TargetFor(const RgbaPicture& source) const {
    ConversionTarget target;
    const EditorKind kind = logic_->Constants().kind;
    if (kind != EditorKind::Mission) {
        const ImportSize size = ImportSizeFor(kind, std::nullopt, source.width, source.height);
        target.sizes.push_back(
            {QString::fromLatin1(CommandNameOf(kind)).toUpper(), size.width, size.height});
        if (kind == EditorKind::Hull || kind == EditorKind::Map) {
            target.shadedKind = kind;
        }
        return target;
    }
    const Series preselected = SeriesForPictureSize(source.width, source.height);
    for (Series series : {Series::Battle, Series::Mission, Series::MissionLower}) {
        if (series == preselected) {
            target.preselected = static_cast<int>(target.sizes.size());
        }
        const SeriesInfo& info = InfoOf(series);
        target.sizes.push_back({QString::fromLatin1(info.word), info.width, info.height});
    }
    return target;
}

void LibraryEditorWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!importImageButton_->isEnabled() || DroppedPicturePath(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

// The file is staged once the drop has ended: the program it came from waits for the drop to
// end, and the conversion dialog would hold it up.
void LibraryEditorWindow::dropEvent(QDropEvent* event) {
    const QString path = DroppedPicturePath(event->mimeData());
    if (!importImageButton_->isEnabled() || path.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    QMetaObject::invokeMethod(
        this, [this, path] { StagePictureFile(path); }, Qt::QueuedConnection);
}

}  // namespace vexlor
