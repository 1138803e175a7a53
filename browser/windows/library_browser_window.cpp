#include "browser/windows/library_browser_window.h"

#include <algorithm>
#include <set>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include "browser/library_browser_edit.h"
#include "browser/library_browser_logic.h"
#include "browser/library_extract.h"
#include "browser/windows/library_browser_model.h"
#include "browser/windows/library_browser_pictures.h"
#include "browser/windows/library_browser_views.h"
#include "browser/windows/record_name_dialog.h"
#include "pictures/picture_files.h"
#include "platform/folders.h"
#include "platform/path_resolver.h"
#include "platform/qt_background_work.h"
#include "platform/qt_dropped_files.h"
#include "platform/qt_file_filters.h"
#include "platform/state_folder.h"
#include "platform/user_dialogs.h"

namespace vexlor {
namespace {

constexpr int kLargestFitScale = 8;
constexpr int kFailuresShown = 20;
constexpr int kProgressDelayMs = 400;
const QSize kDefaultSize(980, 640);
const QString kErrorCaption = QStringLiteral("Error");

std::string ToFilePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The library walked and checked anew; touches no widget, so it may run on any thread.
std::shared_ptr<const LibraryBrowserLogic> LoadedLogic(const std::string& path,
                                                       const std::string& journalFolder) {
    auto logic = std::make_shared<LibraryBrowserLogic>(path, journalFolder);
    logic->Load();
    return logic;
}

QString FromFilePath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QString FieldsText(const std::vector<BrowserField>& fields) {
    QStringList lines;
    for (const BrowserField& field : fields) {
        lines << QString::fromStdString(field.label + ": " + field.value);
    }
    return lines.join(QLatin1Char('\n'));
}

// A record has more fields than the box beside the picture has lines, so they stand in two
// columns; problems follow across both.
QString FieldsInColumns(const std::vector<BrowserField>& fields,
                        const std::vector<std::string>& problems = {}) {
    const std::size_t rows = (fields.size() + 1) / 2;
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\">");
    const auto cell = [&fields](std::size_t i) {
        return i < fields.size() ? QString::fromStdString(fields[i].label + ": " + fields[i].value)
                                       .toHtmlEscaped()
                                 : QString();
    };
    for (std::size_t row = 0; row < rows; ++row) {
        html += QStringLiteral("<tr><td>") + cell(row) +
                QStringLiteral("</td><td style=\"padding-left: 16px\">") + cell(row + rows) +
                QStringLiteral("</td></tr>");
    }
    for (const std::string& problem : problems) {
        html += QStringLiteral("<tr><td colspan=\"2\">") +
                QString::fromStdString("Problem: " + problem).toHtmlEscaped() +
                QStringLiteral("</td></tr>");
    }
    return html + QStringLiteral("</table>");
}

QGroupBox* Boxed(const QString& title, QWidget* content) {
    auto* box = new QGroupBox(title);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(content);
    return box;
}

QLabel* FieldsLabel(const QString& name) {
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

RecordName NameOf(const tIMAGE& image) {
    return {image.GroupId, image.PictureId};
}

double ZoomScale(LibraryBrowserWindow::Zoom zoom) {
    switch (zoom) {
        case LibraryBrowserWindow::Zoom::Double:
            return 2.0;
        case LibraryBrowserWindow::Zoom::Quadruple:
            return 4.0;
        case LibraryBrowserWindow::Zoom::Fit:
        case LibraryBrowserWindow::Zoom::Actual:
            break;
    }
    return 1.0;
}

}  // namespace

LibraryBrowserWindow::LibraryBrowserWindow(const QString& libraryPath, UserDialogs& dialogs,
                                           QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), libraryPath_(libraryPath) {
    setObjectName(QStringLiteral("LibraryBrowser"));
    model_ = new LibraryBrowserModel(this);
    CreateControls();
}

LibraryBrowserWindow::~LibraryBrowserWindow() = default;

QSize LibraryBrowserWindow::sizeHint() const {
    return kDefaultSize;
}

QString LibraryBrowserWindow::FileName() const {
    return QFileInfo(libraryPath_).fileName();
}

void LibraryBrowserWindow::CreateControls() {
    auto* sides = new QSplitter(Qt::Horizontal);
    sides->addWidget(CreateLeftSide());
    sides->addWidget(CreateRightSide());
    sides->setStretchFactor(0, 3);
    sides->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(sides, 1);
    layout->addWidget(CreateButtonRow());
    CreateEditActions();
}

// The edits are the window's actions, so their keys work wherever the focus is in it, and the
// tree's context menu and the Edit button offer the same ones.
void LibraryBrowserWindow::CreateEditActions() {
    const QList<QAction*> actions = {
        CreateAction(QStringLiteral("Add picture..."), QStringLiteral("AddPicture"),
                     QKeySequence(Qt::Key_Insert), &LibraryBrowserWindow::AddPictureClick),
        CreateAction(QStringLiteral("New group..."), QStringLiteral("NewGroup"),
                     QKeySequence(Qt::CTRL | Qt::Key_G), &LibraryBrowserWindow::NewGroupClick),
        CreateAction(QStringLiteral("Replace picture..."), QStringLiteral("ReplacePicture"),
                     QKeySequence(Qt::CTRL | Qt::Key_R),
                     &LibraryBrowserWindow::ReplacePictureClick),
        CreateAction(QStringLiteral("Rename..."), QStringLiteral("RenameRecord"),
                     QKeySequence(Qt::Key_F2), &LibraryBrowserWindow::RenameClick),
        CreateAction(QStringLiteral("Delete"), QStringLiteral("DeleteRecords"),
                     QKeySequence::Delete, &LibraryBrowserWindow::DeleteClick)};
    tree_->setContextMenuPolicy(Qt::ActionsContextMenu);
    tree_->addActions(actions);
    auto* menu = new QMenu(this);
    menu->addActions(actions);
    auto* edit = findChild<QToolButton*>(QStringLiteral("EditMenu"));
    edit->setMenu(menu);
    tree_->setAcceptDrops(true);
    tree_->viewport()->setAcceptDrops(true);
    tree_->viewport()->installEventFilter(this);
}

QAction* LibraryBrowserWindow::CreateAction(const QString& caption, const QString& name,
                                            const QKeySequence& keys,
                                            void (LibraryBrowserWindow::*handler)()) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(action, &QAction::triggered, this, handler);
    addAction(action);
    return action;
}

// The header above the tree, the check's lines below it.
QWidget* LibraryBrowserWindow::CreateLeftSide() {
    headerFields_ = FieldsLabel(QStringLiteral("HeaderFields"));
    tree_ = new QTreeView;
    tree_->setObjectName(QStringLiteral("BrowserTree"));
    tree_->setModel(model_);
    tree_->setUniformRowHeights(true);
    tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree_->setIconSize(
        QSize(LibraryBrowserModel::kThumbnailSide, LibraryBrowserModel::kThumbnailSide));
    tree_->header()->setStretchLastSection(false);
    tree_->setColumnWidth(LibraryBrowserModel::kItemColumn, 190);
    tree_->setColumnWidth(LibraryBrowserModel::kSizeColumn, 110);
    connect(tree_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LibraryBrowserWindow::ShowSelection);
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &LibraryBrowserWindow::ShowSelection);

    checkList_ = new QListWidget;
    checkList_->setObjectName(QStringLiteral("CheckList"));
    connect(checkList_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { SelectCheckLine(checkList_->row(item)); });
    connect(checkList_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { SelectCheckLine(checkList_->row(item)); });

    auto* side = new QSplitter(Qt::Vertical);
    side->addWidget(Boxed(QStringLiteral("Header"), headerFields_));
    side->addWidget(tree_);
    side->addWidget(Boxed(QStringLiteral("Check"), checkList_));
    side->setStretchFactor(1, 4);
    side->setStretchFactor(2, 1);
    return side;
}

// The selected record's fields, its picture with the zoom, and its palette.
QWidget* LibraryBrowserWindow::CreateRightSide() {
    recordFields_ = FieldsLabel(QStringLiteral("RecordFields"));
    recordFields_->setTextFormat(Qt::RichText);
    drawOutcome_ = FieldsLabel(QStringLiteral("DrawOutcome"));
    zoom_ = new QComboBox;
    zoom_->setObjectName(QStringLiteral("Zoom"));
    zoom_->addItems({QStringLiteral("Fit"), QStringLiteral("1:1"), QStringLiteral("2:1"),
                     QStringLiteral("4:1")});
    connect(zoom_, &QComboBox::currentIndexChanged, this, &LibraryBrowserWindow::ApplyZoom);
    canvas_ = new PictureCanvas;
    pictureView_ = new QScrollArea;
    pictureView_->setObjectName(QStringLiteral("PictureView"));
    pictureView_->setWidget(canvas_);
    pictureView_->setAlignment(Qt::AlignCenter);
    pictureView_->setMinimumSize(200, 160);
    pictureView_->viewport()->installEventFilter(this);
    palette_ = new PaletteSwatches;
    palette_->setObjectName(QStringLiteral("PaletteGrid"));
    paletteText_ = FieldsLabel(QStringLiteral("PaletteText"));

    auto* zoomRow = new QHBoxLayout;
    zoomRow->addWidget(drawOutcome_, 1);
    zoomRow->addWidget(new QLabel(QStringLiteral("Zoom")));
    zoomRow->addWidget(zoom_);
    auto* paletteBox = new QWidget;
    auto* paletteLayout = new QHBoxLayout(paletteBox);
    paletteLayout->setContentsMargins(0, 0, 0, 0);
    paletteLayout->addWidget(palette_);
    paletteLayout->addWidget(paletteText_, 1);

    auto* side = new QWidget;
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Boxed(QStringLiteral("Record"), recordFields_));
    layout->addLayout(zoomRow);
    layout->addWidget(pictureView_, 1);
    layout->addWidget(Boxed(QStringLiteral("Palette"), paletteBox));
    return side;
}

QWidget* LibraryBrowserWindow::CreateButtonRow() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    extractSelected_ =
        CreateButton(QStringLiteral("Extract selected..."), QStringLiteral("ExtractSelected"),
                     &LibraryBrowserWindow::ExtractSelectedClick);
    extractSelected_->setToolTip(
        QStringLiteral("Write the selected pictures, or those of the selected groups, to files"));
    CreateButton(QStringLiteral("Extract all..."), QStringLiteral("ExtractAll"),
                 &LibraryBrowserWindow::ExtractAllClick)
        ->setToolTip(QStringLiteral("Write every picture of the library to files"));
    extractFormat_ = new QComboBox;
    extractFormat_->setObjectName(QStringLiteral("ExtractFormat"));
    extractFormat_->addItems({QStringLiteral("BMP"), QStringLiteral("PNG")});
    repair_ = CreateButton(QStringLiteral("Repair..."), QStringLiteral("Repair"),
                           &LibraryBrowserWindow::RepairClick);
    auto* edit = new QToolButton;
    edit->setObjectName(QStringLiteral("EditMenu"));
    edit->setText(QStringLiteral("Edit"));
    edit->setPopupMode(QToolButton::InstantPopup);
    edit->setToolTip(QStringLiteral("Add, replace, rename or delete pictures; Undo takes it back"));
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("StatusText"));
    layout->addWidget(extractSelected_);
    layout->addWidget(findChild<QPushButton*>(QStringLiteral("ExtractAll")));
    layout->addWidget(extractFormat_);
    layout->addSpacing(12);
    layout->addWidget(repair_);
    layout->addWidget(edit);
    layout->addSpacing(12);
    layout->addWidget(status_, 1);
    return row;
}

QPushButton* LibraryBrowserWindow::CreateButton(const QString& caption, const QString& name,
                                                void (LibraryBrowserWindow::*handler)()) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

void LibraryBrowserWindow::Reload() {
    ShowLogic(LoadedLogic(ToFilePath(libraryPath_), JournalFolder()), SelectedRow());
}

int LibraryBrowserWindow::SelectedRow() const {
    const std::vector<int> selected = SelectedRecords();
    return selected.empty() ? -1 : selected.front();
}

void LibraryBrowserWindow::ShowLogic(std::shared_ptr<const LibraryBrowserLogic> logic, int record) {
    logic_ = std::move(logic);
    model_->Show(logic_);
    ShowLibrary();
    SelectRecord(record);
    ShowSelection();
}

void LibraryBrowserWindow::ShowLibrary() {
    headerFields_->setText(FieldsText(logic_->HeaderFields()));
    tree_->expandAll();
    ShowCheckLines();
    ShowRepairState();
    const std::size_t problems = logic_->Check().violations.size();
    ShowStatus(QStringLiteral("%1 groups, %2 records%3")
                   .arg(logic_->GroupCount())
                   .arg(logic_->RecordCount())
                   .arg(problems == 0 ? QString() : QStringLiteral(", %1 problems").arg(problems)));
}

void LibraryBrowserWindow::ShowCheckLines() {
    checkList_->clear();
    for (const std::string& line : logic_->CheckLines()) {
        checkList_->addItem(QString::fromStdString(line));
    }
}

// A sound library leaves Repair disabled; one that cannot be repaired says why in its tooltip.
void LibraryBrowserWindow::ShowRepairState() {
    const RepairPlan& plan = logic_->Plan();
    repair_->setEnabled(plan.Needed());
    if (plan.Needed()) {
        repair_->setToolTip(
            QStringLiteral("Recompute the header's and groups' counts, sizes and "
                           "offsets from the records; Undo takes it back"));
    } else if (!plan.possible) {
        repair_->setToolTip(QStringLiteral("Cannot be repaired: ") +
                            QString::fromStdString(plan.reason));
    } else {
        repair_->setToolTip(QStringLiteral("The library needs no repair"));
    }
}

std::vector<int> LibraryBrowserWindow::SelectedRecords() const {
    std::set<int> records;
    for (const QModelIndex& row : tree_->selectionModel()->selectedRows()) {
        for (int record : model_->RecordsUnder(row)) {
            records.insert(record);
        }
    }
    return {records.begin(), records.end()};
}

void LibraryBrowserWindow::SelectRecord(int record) {
    const QModelIndex index = model_->RecordIndex(record);
    if (!index.isValid()) {
        return;
    }
    tree_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    tree_->scrollTo(index);
}

void LibraryBrowserWindow::SelectCheckLine(int line) {
    if (logic_ == nullptr) {
        return;
    }
    const std::vector<CheckSubject>& subjects = logic_->Check().subjects;
    if (line < 0 || static_cast<std::size_t>(line) >= subjects.size()) {
        return;
    }
    const CheckSubject& subject = subjects[static_cast<std::size_t>(line)];
    const int index = static_cast<int>(subject.index);
    if (subject.kind == CheckSubject::Kind::Record) {
        SelectRecord(index);
    } else if (subject.kind == CheckSubject::Kind::Group) {
        const QModelIndex group = model_->GroupIndex(index);
        tree_->selectionModel()->setCurrentIndex(
            group, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        tree_->scrollTo(group);
    } else {
        tree_->clearSelection();
    }
}

void LibraryBrowserWindow::ShowSelection() {
    if (logic_ == nullptr) {
        return;
    }
    extractSelected_->setEnabled(!SelectedRecords().empty());
    const QModelIndex current = tree_->currentIndex();
    const int record = model_->RecordAt(current);
    if (record >= 0) {
        ShowRecord(record);
        return;
    }
    const int group = model_->GroupAt(current);
    recordFields_->setText(FieldsInColumns(logic_->GroupFields(group)));
    ClearPicture(QString());
}

void LibraryBrowserWindow::ShowRecord(int record) {
    recordFields_->setText(
        FieldsInColumns(logic_->RecordFields(record), logic_->RecordProblems(record)));
    AnyPicture picture;
    const DrawOutcome outcome = logic_->DrawRecord(record, picture);
    const tIMAGE& image = ImageOf(record);
    if (outcome != DrawOutcome::Drawn) {
        ClearPicture(QString::fromStdString(DescribeDrawOutcome(outcome, image)));
        return;
    }
    const std::vector<bool> used =
        UsedPaletteIndices(picture, image.PictureFormat == kRunLengthFormat);
    palette_->SetPalette(picture.palette, used);
    paletteText_->setText(QStringLiteral("%1 colours\n%2 used (marked)")
                              .arg(picture.palette.size())
                              .arg(palette_->UsedCount()));
    drawOutcome_->setText(QStringLiteral("%1 x %2").arg(picture.width).arg(picture.height));
    canvas_->SetPicture(AnyPictureImage(picture));
    ApplyZoom();
}

void LibraryBrowserWindow::ClearPicture(const QString& outcome) {
    drawOutcome_->setText(outcome);
    canvas_->SetPicture(QImage());
    palette_->SetPalette({}, {});
    paletteText_->clear();
}

void LibraryBrowserWindow::SetZoom(Zoom zoom) {
    zoom_->setCurrentIndex(static_cast<int>(zoom));
    ApplyZoom();
}

// Fit enlarges a small picture too, up to a point where single pixels still read as such.
void LibraryBrowserWindow::ApplyZoom() {
    const auto zoom = static_cast<Zoom>(std::max(zoom_->currentIndex(), 0));
    const QImage& picture = canvas_->Picture();
    if (zoom != Zoom::Fit || picture.isNull()) {
        canvas_->SetScale(ZoomScale(zoom));
        return;
    }
    const QSize room = pictureView_->viewport()->size();
    const double scale = std::min({static_cast<double>(room.width()) / picture.width(),
                                   static_cast<double>(room.height()) / picture.height(),
                                   static_cast<double>(kLargestFitScale)});
    canvas_->SetScale(scale);
}

bool LibraryBrowserWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tree_->viewport() &&
        (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove)) {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        const bool onRow = tree_->indexAt(drag->position().toPoint()).isValid();
        if (onRow && !DroppedPicturePath(drag->mimeData()).isEmpty()) {
            drag->acceptProposedAction();
        } else {
            drag->ignore();
        }
        return true;
    }
    if (watched == tree_->viewport() && event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = DroppedPicturePath(drop->mimeData());
        const QPersistentModelIndex target(tree_->indexAt(drop->position().toPoint()));
        if (path.isEmpty() || !target.isValid()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        // The program the file came from waits for the drop to end; the dialog would hold it.
        QMetaObject::invokeMethod(
            this, [this, path, target] { DropPictureFile(path, target); }, Qt::QueuedConnection);
        return true;
    }
    if (watched == pictureView_->viewport() && event->type() == QEvent::Resize &&
        zoom_->currentIndex() == static_cast<int>(Zoom::Fit)) {
        ApplyZoom();
    }
    return QWidget::eventFilter(watched, event);
}

void LibraryBrowserWindow::ExtractSelectedClick() {
    Extract(SelectedRecords());
}

void LibraryBrowserWindow::ExtractAllClick() {
    if (logic_ == nullptr) {
        return;
    }
    std::vector<int> records(static_cast<std::size_t>(logic_->RecordCount()));
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i] = static_cast<int>(i);
    }
    Extract(records);
}

void LibraryBrowserWindow::Extract(const std::vector<int>& records) {
    if (logic_ == nullptr || records.empty()) {
        dialogs_.Beep();
        ShowStatus(QStringLiteral("There are no pictures to extract"));
        return;
    }
    const FolderDialogRequest request{QStringLiteral("Extract pictures to"),
                                      FromFilePath(ResolvePath(AppFolders().working, "OutPut"))};
    const std::optional<QString> folder = dialogs_.AskFolder(request);
    if (!folder) {
        return;
    }
    const ExtractFormat format =
        extractFormat_->currentIndex() == 1 ? ExtractFormat::Png : ExtractFormat::Bmp;
    QProgressDialog progress(QStringLiteral("Extracting pictures from ") + FileName(),
                             QStringLiteral("Cancel"), 0, static_cast<int>(records.size()), this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kProgressDelayMs);
    const ExtractResult result =
        ExtractRecords(logic_->Path(), logic_->Walk(), records, ToFilePath(*folder), format,
                       [&progress](int done, int total) {
                           progress.setMaximum(total);
                           progress.setValue(done);
                           return !progress.wasCanceled();
                       });
    progress.reset();
    ShowExtractOutcome(result, *folder);
}

void LibraryBrowserWindow::ShowExtractOutcome(const ExtractResult& result, const QString& folder) {
    if (!result.opened) {
        dialogs_.Beep();
        dialogs_.ShowMessage(
            QStringLiteral("Cannot read ") + FileName() + QStringLiteral("; nothing was extracted"),
            kErrorCaption);
        return;
    }
    QString text = QStringLiteral("%1 files written to %2")
                       .arg(result.written.size())
                       .arg(QDir::toNativeSeparators(folder));
    if (result.cancelled) {
        text += QStringLiteral("\nCancelled before the end");
    }
    if (!result.failures.empty()) {
        text += QStringLiteral("\n\n%1 not extracted:").arg(result.failures.size());
        const std::size_t shown = std::min<std::size_t>(result.failures.size(), kFailuresShown);
        for (std::size_t i = 0; i < shown; ++i) {
            text += QLatin1Char('\n') + QString::fromStdString(result.failures[i]);
        }
        if (shown < result.failures.size()) {
            text += QStringLiteral("\n... and %1 more").arg(result.failures.size() - shown);
        }
    }
    dialogs_.ShowMessage(text, QStringLiteral("Extract"));
}

void LibraryBrowserWindow::RepairClick() {
    if (logic_ == nullptr) {
        return;
    }
    const RepairPlan& plan = logic_->Plan();
    if (!plan.Needed()) {
        dialogs_.Beep();
        ShowStatus(QString::fromStdString(logic_->Repair().message));
        return;
    }
    if (!dialogs_.Confirm(QString::fromStdString(RepairQuestionText(logic_->FileName(), plan)),
                          QStringLiteral("Repair"))) {
        return;
    }
    MakeChange(
        [logic = logic_](const std::string&, const std::string&) { return logic->Repair(); });
}

void LibraryBrowserWindow::UndoClick() {
    if (logic_ == nullptr) {
        return;
    }
    MakeChange([logic = logic_](const std::string&, const std::string&) { return logic->Undo(); });
}

void LibraryBrowserWindow::RedoClick() {
    if (logic_ == nullptr) {
        return;
    }
    MakeChange([logic = logic_](const std::string&, const std::string&) { return logic->Redo(); });
}

std::string LibraryBrowserWindow::NextUndo() const {
    return logic_ != nullptr ? logic_->NextUndo() : std::string();
}

std::string LibraryBrowserWindow::NextRedo() const {
    return logic_ != nullptr ? logic_->NextRedo() : std::string();
}

std::optional<std::uint16_t> LibraryBrowserWindow::CurrentGroupId() const {
    const QModelIndex current = tree_->currentIndex();
    const int record = model_->RecordAt(current);
    const auto& walk = logic_->Walk();
    if (record >= 0) {
        return walk.records[static_cast<std::size_t>(record)].record.image.GroupId;
    }
    const int group = model_->GroupAt(current);
    if (group >= 0 && static_cast<std::size_t>(group) < walk.groups.size()) {
        return walk.groups[static_cast<std::size_t>(group)].group.GroupId;
    }
    return std::nullopt;
}

std::optional<QString> LibraryBrowserWindow::AskPictureFile() {
    FileDialogRequest request;
    request.title = QStringLiteral("Picture to store");
    request.folder = QFileInfo(libraryPath_).absolutePath();
    request.mustExist = true;
    request.filters = PictureFileFilters(ReadablePicturePatterns());
    return dialogs_.AskOpenFile(request);
}

// The size offered is the picture's own; the format the group's when its records share one.
void LibraryBrowserWindow::AddPictureToGroup(std::uint16_t groupId, bool groupAsked,
                                             const QString& file) {
    RgbaPicture picture;
    std::string error;
    if (!ReadPictureFile(ToFilePath(file), picture, error)) {
        dialogs_.Beep();
        dialogs_.ShowMessage(QString::fromStdString(error), kErrorCaption);
        return;
    }
    const std::uint16_t format = SharedFormat(logic_->Walk(), groupId).value_or(kRunLengthFormat);
    RecordNameDialog dialog(
        groupAsked ? QStringLiteral("New group") : QStringLiteral("Add picture"),
        {groupId, NextPictureId(logic_->Walk(), groupId)}, this);
    if (!groupAsked) {
        dialog.KeepGroup();
    }
    const QSize own(picture.width, picture.height);
    dialog.AskPicture(format, own, picture);
    if (dialogs_.RunModal(dialog) != QDialog::Accepted) {
        return;
    }
    const RecordName name = dialog.Name();
    const PictureChoice choice = dialog.Choice();
    MakeChange([&](const std::string& path, const std::string& journal) {
        return AddPictureFile(journal, path, name, ToFilePath(file), choice);
    });
}

// The size offered is the record's; the picture's own is a button away.
void LibraryBrowserWindow::ReplaceRecordPicture(int record, const QString& file) {
    RgbaPicture picture;
    std::string error;
    if (!ReadPictureFile(ToFilePath(file), picture, error)) {
        dialogs_.Beep();
        dialogs_.ShowMessage(QString::fromStdString(error), kErrorCaption);
        return;
    }
    const tIMAGE& image = ImageOf(record);
    RecordNameDialog dialog(QStringLiteral("Replace picture"), NameOf(image), this);
    dialog.KeepName();
    dialog.AskPicture(
        image.PictureFormat,
        QSize(static_cast<int>(image.BlockWidth), static_cast<int>(image.BlockHeight)), picture);
    if (dialogs_.RunModal(dialog) != QDialog::Accepted) {
        return;
    }
    const RecordName name = NameOf(image);
    const PictureChoice choice = dialog.Choice();
    MakeChange([&](const std::string& path, const std::string& journal) {
        return SetPictureFile(journal, path, name, ToFilePath(file), choice);
    });
}

const tIMAGE& LibraryBrowserWindow::ImageOf(int record) const {
    return logic_->Walk().records[static_cast<std::size_t>(record)].record.image;
}

// The record under the tree's cursor; none, with a beep and `hint` in the status bar, when the
// cursor is on a group or nowhere.
std::optional<int> LibraryBrowserWindow::CurrentRecordOr(const QString& hint) {
    const int record = model_->RecordAt(tree_->currentIndex());
    if (record < 0) {
        dialogs_.Beep();
        ShowStatus(hint);
        return std::nullopt;
    }
    return record;
}

void LibraryBrowserWindow::AddPictureClick() {
    if (logic_ == nullptr) {
        return;
    }
    const auto groupId = CurrentGroupId();
    if (!groupId) {
        dialogs_.Beep();
        ShowStatus(QStringLiteral("Select a group or a record to add a picture to"));
        return;
    }
    if (const auto file = AskPictureFile()) {
        AddPictureToGroup(*groupId, false, *file);
    }
}

void LibraryBrowserWindow::NewGroupClick() {
    if (logic_ == nullptr) {
        return;
    }
    if (const auto file = AskPictureFile()) {
        AddPictureToGroup(UnusedGroupId(logic_->Walk()), true, *file);
    }
}

void LibraryBrowserWindow::ReplacePictureClick() {
    if (logic_ == nullptr) {
        return;
    }
    const auto record =
        CurrentRecordOr(QStringLiteral("Select the record whose picture to replace"));
    if (!record) {
        return;
    }
    if (const auto file = AskPictureFile()) {
        ReplaceRecordPicture(*record, *file);
    }
}

void LibraryBrowserWindow::DeleteClick() {
    if (logic_ == nullptr) {
        return;
    }
    std::vector<RecordName> names;
    for (int record : SelectedRecords()) {
        names.push_back(NameOf(ImageOf(record)));
    }
    if (names.empty()) {
        dialogs_.Beep();
        ShowStatus(QStringLiteral("Select the records to delete"));
        return;
    }
    const QString question =
        names.size() == 1
            ? QStringLiteral("Delete record %1 from %2?")
                  .arg(QString::fromStdString(NameText(names.front())), FileName())
            : QStringLiteral("Delete %1 records from %2?").arg(names.size()).arg(FileName());
    if (!dialogs_.Confirm(question + QStringLiteral("\nUndo takes it back."),
                          QStringLiteral("Delete"))) {
        return;
    }
    MakeChange([&](const std::string& path, const std::string& journal) {
        return RemoveNamedRecords(journal, path, names);
    });
}

void LibraryBrowserWindow::RenameClick() {
    if (logic_ == nullptr) {
        return;
    }
    const auto record = CurrentRecordOr(QStringLiteral("Select the record to rename"));
    if (!record) {
        return;
    }
    const RecordName from = NameOf(ImageOf(*record));
    RecordNameDialog dialog(QStringLiteral("Rename record"), from, this);
    if (dialogs_.RunModal(dialog) != QDialog::Accepted || dialog.Name() == from) {
        return;
    }
    const RecordName to = dialog.Name();
    MakeChange([&](const std::string& path, const std::string& journal) {
        return RenameNamedRecord(journal, path, from, to);
    });
}

void LibraryBrowserWindow::DropPictureFile(const QString& file, const QModelIndex& target) {
    if (logic_ == nullptr) {
        return;
    }
    const int record = model_->RecordAt(target);
    if (record >= 0) {
        ReplaceRecordPicture(record, file);
        return;
    }
    const int group = model_->GroupAt(target);
    const auto& groups = logic_->Walk().groups;
    if (group >= 0 && static_cast<std::size_t>(group) < groups.size()) {
        AddPictureToGroup(groups[static_cast<std::size_t>(group)].group.GroupId, false, file);
    }
}

// The change and the walk of its outcome run away from the windows, which go on painting: a
// rewrite of a large library takes longer than a window may stand still.
void LibraryBrowserWindow::MakeChange(const ChangeOfFile& change) {
    const int selected = SelectedRow();
    const std::string path = ToFilePath(libraryPath_);
    const std::string journal = JournalFolder();
    const QPointer<LibraryBrowserWindow> alive(this);
    BusyCursor busy(dialogs_);
    auto [made, logic] = WhileTheWindowsGoOn([&] {
        BrowserChange outcome = change(path, journal);
        auto walked = outcome.done ? LoadedLogic(path, journal) : nullptr;
        return std::pair(std::move(outcome), std::move(walked));
    });
    if (alive.isNull()) {
        return;
    }
    if (!made.done) {
        dialogs_.Beep();
        dialogs_.ShowMessage(QString::fromStdString(made.message), kErrorCaption);
        emit LibraryChanged();
        return;
    }
    ShowLogic(std::move(logic), made.row >= 0 ? made.row : selected);
    ShowStatus(QString::fromStdString(made.message));
    emit LibraryChanged();
}

void LibraryBrowserWindow::ShowStatus(const QString& text) {
    status_->setText(text);
}

QString LibraryBrowserWindow::StatusText() const {
    return status_->text();
}

}  // namespace vexlor
