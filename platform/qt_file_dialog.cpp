#include "platform/qt_file_dialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include "platform/qt_file_filters.h"
#include "platform/typed_path.h"

namespace vexlor {
namespace {

// A starting folder that does not exist would end up as a file name in the dialog; like the
// system's own dialogs, start in the current folder instead.
QString StartingFolder(const QString& folder) {
    return QFileInfo(folder).isDir() ? folder : QDir::currentPath();
}

QAbstractButton* AcceptButtonOf(const QFileDialog& dialog) {
    const auto* box = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    if (box == nullptr) {
        return nullptr;
    }
    for (QAbstractButton* button : box->buttons()) {
        if (box->buttonRole(button) == QDialogButtonBox::AcceptRole) {
            return button;
        }
    }
    return nullptr;
}

}  // namespace

RequestFileDialog::RequestFileDialog(const FileDialogRequest& request, AcceptMode mode,
                                     QWidget* parent)
    : QFileDialog(parent, request.title, StartingFolder(request.folder)) {
    // Set first: the widgets that the rest configures exist only in Qt's own dialog.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(mode);
    setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    setDefaultSuffix(request.defaultSuffix);
    ApplyFilters(request);
    if (!request.fileName.isEmpty()) {
        selectFile(request.fileName);
    }
    nameEdit_ = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    acceptButton_ = AcceptButtonOf(*this);
    if (acceptButton_ != nullptr && nameEdit_ != nullptr) {
        // Qt disables "Open" for a name that it cannot find as typed, on every change of the
        // name and whenever it looks again; both are answered after Qt's own handling.
        connect(nameEdit_, &QLineEdit::textChanged, this, [this] { EnableAcceptForMatch(); });
        acceptButton_->installEventFilter(this);
    }
}

void RequestFileDialog::ApplyFilters(const FileDialogRequest& request) {
    // Labels carry their own pattern text, such as "HULLs  (hull*.dat)".
    setOption(QFileDialog::HideNameFilterDetails, true);
    const QStringList filters = QtNameFilters(request.filters);
    setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size()) {
        selectNameFilter(filters.at(request.filterIndex - 1));
    }
    // Qt chooses and reports filters by their position, so the shown texts may differ from
    // its own; they are set last, as selectNameFilter() looks them up by Qt's text.
    auto* types = findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    if (types == nullptr || types->count() != request.filters.size()) {
        return;
    }
    for (int i = 0; i < types->count(); ++i) {
        types->setItemText(i, request.filters.at(i).label);
    }
}

std::optional<QString> RequestFileDialog::ChosenPath() const {
    if (result() != QDialog::Accepted || selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return selectedFiles().constFirst();
}

void RequestFileDialog::accept() {
    if (const std::optional<QString> matched = CaseMatchedPath()) {
        // Qt's own checks (existence, the replace question, folders) then see the real name.
        nameEdit_->setText(TypedFormOf(*matched));
    }
    QFileDialog::accept();
}

bool RequestFileDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == acceptButton_ && event->type() == QEvent::EnabledChange) {
        EnableAcceptForMatch();
    }
    return QFileDialog::eventFilter(watched, event);
}

void RequestFileDialog::EnableAcceptForMatch() {
    if (!acceptButton_->isEnabled() && CaseMatchedPath()) {
        acceptButton_->setEnabled(true);
    }
}

// The typed name as it is to be read, when it differs from the dialog's reading only in case.
std::optional<QString> RequestFileDialog::CaseMatchedPath() const {
#ifdef Q_OS_WIN
    return std::nullopt;
#else
    if (nameEdit_ == nullptr || nameEdit_->text().isEmpty() ||
        nameEdit_->text().contains(QLatin1Char('"'))) {
        return std::nullopt;
    }
    const QStringList files = selectedFiles();
    if (files.size() != 1 || QFileInfo::exists(files.constFirst())) {
        return std::nullopt;
    }
    const TypedPathUse use =
        fileMode() == QFileDialog::AnyFile ? TypedPathUse::Save : TypedPathUse::Open;
    const std::optional<std::string> matched =
        MatchTypedPath(QFile::encodeName(files.constFirst()).toStdString(), use);
    if (!matched) {
        return std::nullopt;
    }
    return QFile::decodeName(matched->c_str());
#endif
}

// `path` written as the user wrote the name: relative to the dialog's folder when it was.
QString RequestFileDialog::TypedFormOf(const QString& path) const {
    if (QDir::isAbsolutePath(nameEdit_->text())) {
        return path;
    }
    QString folder = directory().absolutePath();
    if (!folder.endsWith(QLatin1Char('/'))) {
        folder += QLatin1Char('/');
    }
    return path.startsWith(folder) ? path.mid(folder.size()) : path;
}

}  // namespace vexlor
