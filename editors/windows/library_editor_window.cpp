#include "editors/windows/library_editor_window.h"

#include <algorithm>
#include <functional>

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>

#include "editors/editor_messages.h"
#include "editors/windows/caption_edit_delegate.h"
#include "editors/windows/identifier_spin_box.h"
#include "editors/windows/picture_images.h"
#include "editors/windows/picture_list_model.h"
#include "editors/windows/preview_panel.h"
#include "editors/windows/status_progress.h"
#include "platform/folders.h"
#include "platform/path_resolver.h"

namespace vexlor {
namespace {

// The rename is written once the list's caption edit has surely finished.
constexpr int kRenameDelayMs = 150;
constexpr int kTypeColumnWidth = 79;
constexpr int kCaptionColumnWidthWithType = 160;
// Long enough to be read, short enough to give way to the picture count soon.
constexpr int kStatusMessageMs = 10000;

const QKeySequence kUndoShortcut(Qt::CTRL | Qt::Key_Z);
const QList<QKeySequence> kRedoShortcuts{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                         QKeySequence(Qt::CTRL | Qt::Key_Y)};

const QString kAddToolTip =
    QStringLiteral("Append the staged picture to the library under the number in the field");

std::string ToFilePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString FromFilePath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// A menu item's text: an ampersand of the logic's words is no mnemonic.
QString ItemText(const QString& command, const std::string& what) {
    if (what.empty()) {
        return command;
    }
    return command + QLatin1Char(' ') +
           QString::fromStdString(what).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

QString UndoItemText(const std::string& next) {
    return ItemText(QStringLiteral("&Undo"), next);
}

QString RedoItemText(const std::string& next) {
    return ItemText(QStringLiteral("&Redo"), next);
}

const QKeySequence& UndoShortcut() {
    return kUndoShortcut;
}

const QList<QKeySequence>& RedoShortcuts() {
    return kRedoShortcuts;
}

LibraryEditorWindow::LibraryEditorWindow(EditorKind kind, const QString& libraryPath,
                                         UserDialogs& dialogs, const WindowShape& shape,
                                         QWidget* parent)
    : QWidget(parent),
      dialogs_(dialogs),
      libraryPath_(libraryPath),
      logic_(MakeEditorLogic(kind, ToFilePath(libraryPath),
                             ResolvePath(AppFolders().working, "SHIP.tmp"))) {
    CreateControls(shape);
    ApplyWindowShape(shape);
    // A picture file dropped on the window is staged; library files go on to the main window.
    setAcceptDrops(true);
}

LibraryEditorWindow::~LibraryEditorWindow() {
    OnDestroy();
}

EditorKind LibraryEditorWindow::Kind() const {
    return logic_->Constants().kind;
}

QString LibraryEditorWindow::StatusText() const {
    return statusText_->text();
}

QString LibraryEditorWindow::StatusMessage() const {
    return statusMessage_->text();
}

// In the status bar's place of the picture count, wrapped: the HULL and MAP windows are narrow.
void LibraryEditorWindow::ShowStatusMessage(const QString& text) {
    statusMessage_->setText(text);
    statusText_->hide();
    statusMessage_->show();
    statusMessageTimer_->start();
}

void LibraryEditorWindow::ClearStatusMessage() {
    statusMessageTimer_->stop();
    statusMessage_->clear();
    statusMessage_->hide();
    statusText_->show();
}

QString LibraryEditorWindow::FileName() const {
    return QFileInfo(libraryPath_).fileName();
}

QSize LibraryEditorWindow::sizeHint() const {
    return defaultSize_.expandedTo(minimumSizeHint());
}

void LibraryEditorWindow::CreateControls(const WindowShape& shape) {
    const KindConstants& constants = logic_->Constants();
    CreateListView(shape.listWidth);
    refreshButton_ = CreateButton(QStringLiteral("Refresh"), QStringLiteral("RefreshButton"),
                                  &LibraryEditorWindow::RefreshClick);
    refreshButton_->setToolTip(QStringLiteral("Read the library again and list its pictures"));
    exportBmpButton_ = CreateButton(QStringLiteral("Export BMP"), QStringLiteral("ExportBmpButton"),
                                    &LibraryEditorWindow::ExportBmpClick);
    exportBmpButton_->setToolTip(
        QStringLiteral("Write the selected pictures as BMP files into the Output folder"));
    importBmpButton_ = CreateButton(QStringLiteral("Import BMP"), QStringLiteral("ImportBmpButton"),
                                    &LibraryEditorWindow::ImportBmpClick);
    importBmpButton_->setToolTip(
        QStringLiteral("Choose a 256-colour %1 BMP to stage for \"<- Add\"")
            .arg(QString::fromStdString(logic_->StagedSizes())));
    importImageButton_ =
        CreateButton(QStringLiteral("Import image..."), QStringLiteral("ImportImageButton"),
                     &LibraryEditorWindow::ImportImageClick);
    importImageButton_->setToolTip(
        QStringLiteral("Choose any picture file (PNG, JPEG, GIF, TIFF, WebP, BMP...) and convert "
                       "it to %1 and 255 colours to stage for \"<- Add\"")
            .arg(QString::fromStdString(logic_->StagedSizes())));
    exportPngButton_ = CreateButton(QStringLiteral("Export PNG"), QStringLiteral("ExportPngButton"),
                                    &LibraryEditorWindow::ExportPngClick);
    exportPngButton_->setToolTip(QStringLiteral(
        "Write the selected pictures as PNG files with transparency into the Output folder"));
    addButton_ = CreateButton(QStringLiteral("<- Add"), QStringLiteral("AddButton"),
                              &LibraryEditorWindow::AddClick);
    ShowAddToolTip(true);
    deleteButton_ = CreateButton(QStringLiteral("Delete"), QStringLiteral("DeleteButton"),
                                 &LibraryEditorWindow::DeleteClick);
    deleteButton_->setToolTip(
        QStringLiteral("Delete the selected pictures from the library (Del); Undo brings them "
                       "back"));
    replaceButton_ = CreateButton(QStringLiteral("Replace"), QStringLiteral("ReplaceButton"),
                                  &LibraryEditorWindow::ReplaceClick);
    replaceButton_->setToolTip(
        QStringLiteral("Put the staged picture in place of the selected one, keeping its number"));
    CreateSpinEdit();
    CreateListMenu();
    previewPanel_ = new PreviewPanel(QString::fromLatin1(constants.previewCaption), shape.panelSize,
                                     QSize(constants.previewWidth, constants.previewHeight), this);
    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar"));
    statusBar_->setSizeGripEnabled(false);
    statusText_ = new QLabel(statusBar_);
    statusBar_->addWidget(statusText_, 1);
    statusMessage_ = new QLabel(statusBar_);
    statusMessage_->setObjectName(QStringLiteral("StatusMessage"));
    statusMessage_->setWordWrap(true);
    statusMessage_->hide();
    statusBar_->addWidget(statusMessage_, 1);
    statusMessageTimer_ = new QTimer(this);
    statusMessageTimer_->setSingleShot(true);
    statusMessageTimer_->setInterval(kStatusMessageMs);
    connect(statusMessageTimer_, &QTimer::timeout, this, &LibraryEditorWindow::ClearStatusMessage);
    renameTimer_ = new QTimer(this);
    renameTimer_->setObjectName(QStringLiteral("RenameTimer"));
    renameTimer_->setSingleShot(true);
    renameTimer_->setInterval(kRenameDelayMs);
    connect(renameTimer_, &QTimer::timeout, this, &LibraryEditorWindow::OnRenameTimer);
}

void LibraryEditorWindow::CreateListView(int width) {
    const KindConstants& constants = logic_->Constants();
    pictureList_ = new QTreeView(this);
    pictureList_->setObjectName(QStringLiteral("PictureList"));
    pictureList_->setFixedWidth(width);
    pictureList_->setRootIsDecorated(false);
    pictureList_->setItemsExpandable(false);
    pictureList_->setUniformRowHeights(true);
    pictureList_->setSortingEnabled(false);
    pictureList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    pictureList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Captions are edited through F2 alone, and only as OnCaptionEditing allows.
    pictureList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pictureList_->setIconSize(QSize(constants.thumbnailSize, constants.thumbnailSize));
    QPalette colours = pictureList_->palette();
    colours.setColor(QPalette::Base, Qt::black);
    colours.setColor(QPalette::Text, QColor(ToRgb(constants.textColour)));
    pictureList_->setPalette(colours);
    QFont bold = pictureList_->font();
    bold.setBold(true);
    pictureList_->setFont(bold);

    model_ = new PictureListModel(logic_, this);
    pictureList_->setModel(model_);
    pictureList_->setItemDelegate(new CaptionEditDelegate(
        [this](int row) { return OnCaptionEditing(row); },
        [this](int row, const QString& text) { OnCaptionEdited(row, text); }, pictureList_));
    if (model_->columnCount() > 1) {
        pictureList_->header()->setStretchLastSection(false);
        pictureList_->header()->resizeSection(0, kCaptionColumnWidthWithType);
        pictureList_->header()->resizeSection(1, kTypeColumnWidth);
    }
    connect(pictureList_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LibraryEditorWindow::OnPictureSelected);
    pictureList_->installEventFilter(this);
    ShowListToolTip(false);
}

void LibraryEditorWindow::CreateListMenu() {
    listMenu_ = new QMenu(this);
    listMenu_->setObjectName(QStringLiteral("ListMenu"));
    deleteItem_ = AddListMenuItem(QStringLiteral("&Delete"), QStringLiteral("ListDelete"),
                                  &LibraryEditorWindow::DeleteClick);
    deleteItem_->setShortcut(QKeySequence(Qt::Key_Delete));
    replaceItem_ = AddListMenuItem(QStringLiteral("Re&place"), QStringLiteral("ListReplace"),
                                   &LibraryEditorWindow::ReplaceClick);
    listMenu_->addSeparator();
    undoItem_ = AddListMenuItem(UndoItemText({}), QStringLiteral("ListUndo"),
                                &LibraryEditorWindow::UndoClick);
    undoItem_->setShortcut(kUndoShortcut);
    redoItem_ = AddListMenuItem(RedoItemText({}), QStringLiteral("ListRedo"),
                                &LibraryEditorWindow::RedoClick);
    redoItem_->setShortcuts(kRedoShortcuts);
    pictureList_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pictureList_, &QWidget::customContextMenuRequested, this,
            &LibraryEditorWindow::ShowListMenu);
}

// The keys are shown as a reminder; they work in the list (Delete) and the main window.
QAction* LibraryEditorWindow::AddListMenuItem(const QString& caption, const QString& name,
                                              void (LibraryEditorWindow::*handler)()) {
    QAction* item = listMenu_->addAction(caption);
    item->setObjectName(name);
    item->setShortcutContext(Qt::WidgetShortcut);
    connect(item, &QAction::triggered, this, handler);
    return item;
}

void LibraryEditorWindow::ShowListMenu(const QPoint& position) {
    ShowEditStates();
    ShowUndoRedoItems();
    listMenu_->popup(pictureList_->viewport()->mapToGlobal(position));
}

void LibraryEditorWindow::ShowUndoRedoItems() {
    const std::string undo = NextUndo();
    const std::string redo = NextRedo();
    undoItem_->setText(UndoItemText(undo));
    undoItem_->setEnabled(!undo.empty());
    redoItem_->setText(RedoItemText(redo));
    redoItem_->setEnabled(!redo.empty());
}

void LibraryEditorWindow::ShowEditStates() {
    const bool canDelete = CanDelete();
    const bool canReplace = CanReplace();
    deleteButton_->setEnabled(canDelete);
    deleteItem_->setEnabled(canDelete);
    replaceButton_->setEnabled(canReplace);
    replaceItem_->setEnabled(canReplace);
}

bool LibraryEditorWindow::CanDelete() const {
    return model_->List().editable && pictureList_->selectionModel()->hasSelection();
}

bool LibraryEditorWindow::CanReplace() const {
    return model_->List().editable && staged_ &&
           pictureList_->selectionModel()->selectedRows().size() == 1;
}

std::string LibraryEditorWindow::NextUndo() const {
    return model_->List().editable ? logic_->InListWords(logic_->NextUndo()) : std::string();
}

std::string LibraryEditorWindow::NextRedo() const {
    return model_->List().editable ? logic_->InListWords(logic_->NextRedo()) : std::string();
}

void LibraryEditorWindow::ShowListToolTip(bool editable) {
    const QString pictures = QStringLiteral(
        "The library's pictures in file order; Ctrl or Shift with a click selects several");
    pictureList_->setToolTip(pictures +
                             (editable ? QStringLiteral("\nF2: renumber the first selected picture")
                                       : QStringLiteral("\nRead-only: renumbering is off")));
}

void LibraryEditorWindow::ShowAddToolTip(bool valid) {
    addButton_->setToolTip(valid ? kAddToolTip
                                 : QString::fromStdString(logic_->IdentifierRule(StagedSeries())));
}

QPushButton* LibraryEditorWindow::CreateButton(const QString& caption, const QString& name,
                                               void (LibraryEditorWindow::*handler)()) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

void LibraryEditorWindow::CreateSpinEdit() {
    const KindConstants& constants = logic_->Constants();
    identifierSpin_ = new IdentifierSpinBox(this);
    identifierSpin_->setObjectName(QStringLiteral("IdentifierSpin"));
    identifierSpin_->setRange(constants.spinMinimum, constants.spinMaximum);
    identifierSpin_->setSingleStep(constants.spinStep);
    identifierSpin_->setValue(constants.spinMinimum);
    identifierSpin_->SetMaxLength(constants.spinMaxLength);
    ShowSpinToolTip();
}

void LibraryEditorWindow::ShowSpinToolTip() {
    identifierSpin_->setToolTip(
        QStringLiteral("The number for \"<- Add\": type it or use the arrows; Enter settles it\n"
                       "%1")
            .arg(QString::fromStdString(logic_->IdentifierRule(StagedSeries()))));
}

void LibraryEditorWindow::ArrangeWindow(QLayout* controls) {
    auto* columns = new QHBoxLayout;
    columns->setContentsMargins(0, 0, 0, 0);
    columns->addWidget(pictureList_);
    columns->addLayout(controls, 1);
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    rows->addLayout(columns, 1);
    rows->addWidget(statusBar_);
}

void LibraryEditorWindow::ApplyWindowShape(const WindowShape& shape) {
    setAttribute(Qt::WA_DeleteOnClose);
    if (shape.minimumWidth > 0) {
        setMinimumWidth(shape.minimumWidth);
    }
    defaultSize_ = shape.defaultSize;
    resize(defaultSize_);
    staged_.reset();
    exportBmpButton_->setEnabled(false);
    importBmpButton_->setEnabled(false);
    importImageButton_->setEnabled(false);
    exportPngButton_->setEnabled(false);
    addButton_->setEnabled(false);
    deleteButton_->setEnabled(false);
    replaceButton_->setEnabled(false);
    identifierSpin_->setEnabled(false);
}

void LibraryEditorWindow::closeEvent(QCloseEvent* event) {
    OnClose();
    event->accept();
}

// A rename accepted just before the window closes is still written: the user saw it accepted.
void LibraryEditorWindow::OnClose() {
    FlushPendingRename();
}

void LibraryEditorWindow::OnDestroy() {
    FlushPendingRename();
    staged_.reset();
}

void LibraryEditorWindow::RefreshClick() {
    StatusProgress progress(this, QStringLiteral("Reading"));
    // The old list goes first: two lists of 65,535 pictures need not be held at once.
    model_->ShowList({});
    PictureList list = logic_->LoadPictureList(std::ref(progress));
    const bool opened = list.opened;
    const bool editable = list.editable;
    model_->ShowList(std::move(list));
    OnPictureSelected();
    ShowRefreshProblems(model_->List());
    if (!opened) {
        emit LibraryChanged();
        return;
    }
    model_->SetCaptionsEditable(editable);
    ShowListToolTip(editable);
    if (editable) {
        importBmpButton_->setEnabled(true);
        importImageButton_->setEnabled(true);
    } else {
        ShowReadOnlyCaption();
    }
    statusText_->setText(QStringLiteral("%1 pictures").arg(model_->List().PictureCount()));
    ShowRefreshedList(model_->List());
    emit LibraryChanged();
}

// An older message is about a list that is gone.
void LibraryEditorWindow::ShowRefreshProblems(const PictureList& list) {
    ClearStatusMessage();
    if (!list.opened) {
        ShowStatusMessage(QString::fromStdString(CannotOpenText(FileName().toStdString())));
    } else if (list.status != ReadStatus::Ok) {
        ShowStatusMessage(QString::fromStdString(PartlyListedText(
            FileName().toStdString(), list.PictureCount(), DescribeReadStatus(list.status))));
    }
}

void LibraryEditorWindow::ShowReadOnlyCaption() {
    setWindowTitle(QString::fromLatin1(logic_->Constants().captionPrefix) +
                   QFileInfo(libraryPath_).fileName() + QStringLiteral(") readonly"));
}

void LibraryEditorWindow::ShowRefreshedList(const PictureList& list) {
    identifierSpin_->setValue(logic_->SuggestedIdentifier(list));
}

void LibraryEditorWindow::ExportBmpClick() {
    ExportSelected(ExportFormat::Bmp);
}

void LibraryEditorWindow::ExportPngClick() {
    ExportSelected(ExportFormat::Png);
}

void LibraryEditorWindow::ExportSelected(ExportFormat format) {
    const std::string outputFolder = ResolvePath(AppFolders().working, "Output");
    const QList<int> rows = SelectedRows();
    StatusProgress progress(this, QStringLiteral("Exporting: looked at"));
    const ExportResult result = logic_->ExportPictures(std::vector<int>(rows.begin(), rows.end()),
                                                       outputFolder, std::ref(progress), format);
    if (result.opened) {
        ShowExportOutcome(result);
    } else {
        ShowStatusMessage(QString::fromStdString(
            CannotOpenText(FileName().toStdString(), "nothing was exported")));
    }
}

// "Picture exported" only when it is true; otherwise the user learns which files are missing.
void LibraryEditorWindow::ShowExportOutcome(const ExportResult& result) {
    dialogs_.Beep();
    if (result.failed.empty()) {
        dialogs_.ShowMessage(QStringLiteral("Picture exported"), QStringLiteral("Export"));
        return;
    }
    QString text = QStringLiteral("Could not write:");
    for (const std::string& failed : result.failed) {
        text += QLatin1Char('\n') + FromFilePath(failed);
    }
    dialogs_.ShowMessage(text, QStringLiteral("Export"));
}

QList<int> LibraryEditorWindow::SelectedRows() const {
    QList<int> rows;
    for (const QModelIndex& index : pictureList_->selectionModel()->selectedRows()) {
        rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void LibraryEditorWindow::ImportBmpClick() {
    const std::optional<QString> path = dialogs_.AskOpenFile(ImportRequest());
    if (path) {
        StageBmpFile(*path);
    }
}

void LibraryEditorWindow::BeginStaging(const QString& path) {
    lastImportPath_ = path;
    BeginImport();
    addButton_->setEnabled(false);
    ShowAddToolTip(true);
    identifierSpin_->setEnabled(false);
    staged_.reset();
    ShowEditStates();
}

void LibraryEditorWindow::StageBmpFile(const QString& path) {
    BeginStaging(path);
    const std::string fileName = QFileInfo(path).fileName().toStdString();
    BmpPicture bitmap;
    if (!ReadBmpFile(ToFilePath(path), bitmap)) {
        ShowStatusMessage(QString::fromStdString(UnloadableBmpText(fileName)));
        return;
    }
    if (!logic_->CheckStagedBmp(bitmap)) {
        // Said before the box, so that it stands while the box is up.
        ShowStatusMessage(QString::fromStdString(logic_->DescribeRefusedBmp(fileName, bitmap)));
        dialogs_.Beep();
        dialogs_.ShowMessage(QString::fromLatin1(logic_->Constants().rejectionText),
                             QStringLiteral("Format error"));
        return;
    }
    Stage(ImageToAdd(std::move(bitmap.indexed)));
}

void LibraryEditorWindow::Stage(ImageToAdd picture) {
    staged_ = std::move(picture);
    ShowStagedPicture(staged_->image);
    identifierSpin_->setEnabled(true);
    ShowSpinToolTip();
    // The suggestion may break the identifier rule; "<- Add" waits for a valid number then.
    RetestAdd();
    ShowEditStates();
}

void LibraryEditorWindow::RetestAdd() {
    const bool valid = logic_->IsValidIdentifier(SpinValue(), StagedSeries());
    addButton_->setEnabled(valid);
    ShowAddToolTip(valid);
}

FileDialogRequest LibraryEditorWindow::ImportRequest() const {
    FileDialogRequest request;
    request.title = QStringLiteral("Open BMP");
    request.filters = {{QStringLiteral("Bitmaps (*.bmp)"), {QStringLiteral("*.bmp")}}};
    request.filterIndex = 1;
    request.defaultSuffix = QStringLiteral("bmp");
    request.mustExist = true;
    if (lastImportPath_.isEmpty()) {
        request.folder = FromFilePath(ResolvePath("./", "input"));
    } else {
        const QFileInfo last(lastImportPath_);
        request.folder = last.path();
        request.fileName = last.fileName();
    }
    return request;
}

int LibraryEditorWindow::SpinValue() const {
    return identifierSpin_->TypedValue();
}

void LibraryEditorWindow::AddClick() {
    // The edit ends here at the latest, so that the number written is the one the field shows
    // and the rule tested.
    const int value = identifierSpin_->SettledValue();
    if (staged_ && !logic_->IsValidIdentifier(value, StagedSeries())) {
        RetestAdd();
        ShowStatusMessage(QString::fromStdString("Not added: " +
                                                 logic_->IdentifierRefusal(value, StagedSeries())));
        return;
    }
    const std::optional<ImageToAdd> staged = std::move(staged_);
    SpendStagedPicture();
    if (!staged) {
        return;
    }
    const AppendOutcome outcome = logic_->AppendPicture(*staged, value);
    const WriteResult result = outcome.result;
    // The journal's and the lock's refusals are the logic's to word.
    const QString failure = QString::fromStdString(
        !outcome.message.empty() ? outcome.message
                                 : AppendFailureText(result, FileName().toStdString(),
                                                     Kind() == EditorKind::Ship ? "SHIP.tmp" : ""));
    if (result == WriteResult::CannotOpen) {
        ShowStatusMessage(failure);  // nothing changed: the list stays as it is
        return;
    }
    // A failed append has left the library as it was; the list shows what the file holds.
    if (result != WriteResult::Ok) {
        dialogs_.Beep();
    }
    RefreshClick();
    if (result != WriteResult::Ok) {
        ShowStatusMessage(failure);
    } else {
        const int last = model_->List().PictureCount() - 1;
        SelectRow(last);
        if (const std::string shared = SharedIdentifierNotice(model_->List(), last);
            !shared.empty()) {
            ShowStatusAfterRefresh(shared);
        }
    }
}

void LibraryEditorWindow::SpendStagedPicture() {
    previewPanel_->ClearPicture();
    identifierSpin_->setEnabled(false);
    addButton_->setEnabled(false);
    ShowAddToolTip(true);
    staged_.reset();
    ShowEditStates();
}

std::string LibraryEditorWindow::SharedIdentifierNotice(const PictureList& list, int row) const {
    if (row < 0 || row >= list.PictureCount()) {
        return {};
    }
    const int identifier = logic_->IdentifierOf(list.entries[static_cast<size_t>(row)].image);
    const auto count = std::count_if(list.entries.begin(), list.entries.end(),
                                     [this, identifier](const PictureEntry& entry) {
                                         return logic_->IdentifierOf(entry.image) == identifier;
                                     });
    return count > 1 ? SharedIdentifierText(PictureName(row), static_cast<int>(count))
                     : std::string();
}

std::string LibraryEditorWindow::PictureName(int row) const {
    const QString word = model_->TypeWord(row);
    return (word.isEmpty() ? model_->Caption(row) : word + QLatin1Char(' ') + model_->Caption(row))
        .toStdString();
}

std::vector<std::string> LibraryEditorWindow::PictureNames(const QList<int>& rows) const {
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(rows.size()));
    for (int row : rows) {
        names.push_back(PictureName(row));
    }
    return names;
}

void LibraryEditorWindow::DeleteClick() {
    FlushPendingRename();
    if (!CanDelete()) {
        return;
    }
    const QList<int> rows = SelectedRows();
    const std::vector<std::string> names = PictureNames(rows);
    if (!dialogs_.Confirm(
            QString::fromStdString(DeleteQuestionText(names, FileName().toStdString())),
            QStringLiteral("Delete"))) {
        return;
    }
    if (!ListStillMatches(rows)) {
        ShowChangeRefused(ChangedSinceListedText(FileName().toStdString(), "nothing was deleted"));
        return;
    }
    ShowChangeDone(logic_->DeletePictures(std::vector<int>(rows.begin(), rows.end())),
                   DeletedText(names));
}

void LibraryEditorWindow::ReplaceClick() {
    FlushPendingRename();
    if (!CanReplace()) {
        return;
    }
    const QList<int> rows = SelectedRows();
    const std::string name = PictureName(rows.front());
    if (!ListStillMatches(rows)) {
        ShowChangeRefused(ChangedSinceListedText(FileName().toStdString(), "nothing was replaced"));
        return;
    }
    const ChangeOutcome outcome = logic_->ReplacePicture(rows.front(), *staged_);
    if (outcome.done) {
        SpendStagedPicture();
    }
    ShowChangeDone(outcome, ReplacedText(name));
}

void LibraryEditorWindow::UndoClick() {
    ApplyUndoOrRedo(&LibraryEditorLogic::UndoChange, &UndidText);
}

void LibraryEditorWindow::RedoClick() {
    ApplyUndoOrRedo(&LibraryEditorLogic::RedoChange, &RedidText);
}

// A rename waiting for its timer is a change made before this one, and is written first.
void LibraryEditorWindow::ApplyUndoOrRedo(ChangeOutcome (LibraryEditorLogic::*change)() const,
                                          std::string (*done)(const std::string&)) {
    FlushPendingRename();
    if (!model_->List().editable) {
        return;
    }
    const ChangeOutcome outcome = ((*logic_).*change)();
    ShowChangeDone(outcome, done(logic_->InListWords(outcome.what)));
}

// Compared by caption, which shows an accepted rename: a rename that was not written leaves a
// row that the file no longer matches.
bool LibraryEditorWindow::ListStillMatches(const QList<int>& rows) {
    StatusProgress progress(this, QStringLiteral("Checking"));
    const PictureList now = logic_->LoadPictureList(std::ref(progress));
    const PictureList& shown = model_->List();
    if (!now.opened || now.PictureCount() != shown.PictureCount()) {
        return false;
    }
    return std::all_of(rows.begin(), rows.end(), [&](int row) {
        const PictureEntry& entry = now.entries[static_cast<size_t>(row)];
        return entry.offset == shown.entries[static_cast<size_t>(row)].offset &&
               QString::fromStdString(logic_->CaptionOf(entry.image)) == model_->Caption(row) &&
               QString::fromStdString(logic_->TypeWordOf(entry.image)) == model_->TypeWord(row);
    });
}

void LibraryEditorWindow::ShowChangeRefused(const std::string& message) {
    dialogs_.Beep();
    dialogs_.ShowMessage(QString::fromStdString(message), QStringLiteral("Error"));
    emit LibraryChanged();
}

void LibraryEditorWindow::ShowChangeDone(const ChangeOutcome& outcome, const std::string& done) {
    if (!outcome.done) {
        ShowChangeRefused(outcome.message);
        return;
    }
    RefreshClick();
    SelectRow(outcome.row);
    ShowStatusAfterRefresh(done);
}

void LibraryEditorWindow::SelectRow(int row) {
    const int count = model_->rowCount();
    if (row < 0 || count == 0) {
        return;
    }
    const QModelIndex index = model_->index(std::min(row, count - 1), 0);
    pictureList_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    pictureList_->scrollTo(index);
}

void LibraryEditorWindow::ShowStatusAfterRefresh(const std::string& text) {
    const QString problem = StatusMessage();
    ShowStatusMessage(problem.isEmpty()
                          ? QString::fromStdString(text)
                          : QString::fromStdString(text) + QStringLiteral(". ") + problem);
}

void LibraryEditorWindow::OnPictureSelected() {
    exportBmpButton_->setEnabled(pictureList_->selectionModel()->hasSelection());
    exportPngButton_->setEnabled(exportBmpButton_->isEnabled());
    ShowEditStates();
}

bool LibraryEditorWindow::OnListKeyUp(int key) {
    if (key != Qt::Key_F2) {
        return false;
    }
    const QList<int> rows = SelectedRows();
    if (!rows.isEmpty()) {
        const QModelIndex first = model_->index(rows.front(), 0);
        pictureList_->scrollTo(first);
        pictureList_->edit(first);
    }
    return true;
}

bool LibraryEditorWindow::OnCaptionEditing(int row) {
    if (!model_->CaptionsEditable()) {
        return false;
    }
    oldCaption_ = model_->Caption(row);
    return true;
}

void LibraryEditorWindow::OnCaptionEdited(int row, const QString& text) {
    const std::optional<PendingRename> rename = logic_->AcceptRename(
        row, oldCaption_.toStdString(), text.toStdString(), model_->TypeWord(row).toStdString());
    if (!rename) {
        // The caption stays as it was.
        ShowStatusMessage(QStringLiteral("Not renumbered: ") +
                          QString::fromStdString(logic_->RenameRefusal(
                              text.toStdString(), model_->TypeWord(row).toStdString())));
        return;
    }
    model_->SetCaption(row, text);
    // One slot: a later edit overwrites it, and a running timer is not started again.
    pendingRename_ = *rename;
    if (rename->startTimer && !renameTimer_->isActive()) {
        renameTimer_->start();
    }
}

void LibraryEditorWindow::OnRenameTimer() {
    renameTimer_->stop();
    if (!pendingRename_) {
        return;
    }
    const PendingRename rename = *pendingRename_;
    pendingRename_.reset();
    const RenumberResult result =
        logic_->WritePictureId(rename.position, rename.oldIdentifier, rename.newIdentifier);
    if (result != RenumberResult::Written) {
        ShowStatusMessage(QString::fromStdString(RenumberFailureText(
            result, FileName().toStdString(), rename.position, rename.oldCaption)));
        return;
    }
    if (const std::string shared =
            SharedIdentifierNotice(logic_->LoadPictureList(), rename.position - 1);
        !shared.empty()) {
        ShowStatusMessage(QString::fromStdString(shared));
    }
    emit LibraryChanged();
}

void LibraryEditorWindow::FlushPendingRename() {
    if (renameTimer_ != nullptr && renameTimer_->isActive()) {
        OnRenameTimer();
    }
}

bool LibraryEditorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pictureList_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            if (!key->isAutoRepeat()) {
                DeleteClick();
            }
            return true;
        }
    }
    if (watched == pictureList_ && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat() && OnListKeyUp(key->key())) {
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vexlor
