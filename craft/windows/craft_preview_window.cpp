#include "craft/windows/craft_preview_window.h"

#include <optional>

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include "craft/craft_save_failure.h"
#include "platform/folders.h"
#include "platform/user_dialogs.h"
#include "resources/resource_list.h"
#include "widgets/byte_text.h"
#include "widgets/number_spin_edit.h"
#include "widgets/picture_panel.h"

namespace vexlor {
namespace {

constexpr int kClientWidth = 314;
constexpr int kClientHeight = 374;
constexpr int kVisibleCraftRows = 16;
constexpr int kPictureNumberStep = 100;
constexpr int kFieldHeight = 22;
constexpr int kLabelHeight = 16;
constexpr int kLabelLeft = 128;
constexpr int kLabelWidth = 177;

const QString kNone = QStringLiteral("none");
const QString kUnknownLibrary = QStringLiteral("?");
// Before the first search nothing was looked for, so nothing is said to be missing.
const QString kNotSearched = QStringLiteral("not searched yet");
const QString kCaption = QStringLiteral("Preview");
const QString kUnsavedQuestion = QStringLiteral("The Preview has changes that are not saved.");

QString FromLocal(const std::string& text) {
    return QFile::decodeName(text.c_str());
}

QImage ToQImage(const TrueColourImage& picture) {
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const Colour colour = picture.Pixel(x, y);
            image.setPixel(x, y,
                           qRgb(static_cast<int>(RedOf(colour)), static_cast<int>(GreenOf(colour)),
                                static_cast<int>(BlueOf(colour))));
        }
    }
    return image;
}

QString CraftFieldName(CraftField field) {
    switch (field) {
        case CraftField::Hull:
            return QStringLiteral("HullField");
        case CraftField::Map:
            return QStringLiteral("MapField");
        case CraftField::Battle:
            return QStringLiteral("BattleField");
        case CraftField::Mission:
            return QStringLiteral("MissionField");
        case CraftField::MissionLower:
            break;
    }
    return QStringLiteral("MissionLowerField");
}

// The picture panels and their library labels are numbered 1 to 3 as the libraries they show.
QString PictureKindName(int number) {
    static const QString kNames[] = {QStringLiteral("Hull"), QStringLiteral("Map"),
                                     QStringLiteral("Ship")};
    return kNames[number - 1];
}

}  // namespace

CraftPreviewWindow::CraftPreviewWindow(UserDialogs& dialogs, ResourceList& resources,
                                       QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      dialogs_(dialogs),
      resources_(resources) {
    setObjectName(QStringLiteral("CraftPreview"));
    setWindowTitle(kCaption);
    setFixedSize(kClientWidth, kClientHeight);
    CreateControls();
}

void CraftPreviewWindow::CreateControls() {
    CreateCraftControls();
    CreatePictureControls();
    CreateSettingControls();
    CreateContextMenu();
    DescribeControls();
}

void CraftPreviewWindow::CreateContextMenu() {
    contextMenu_ = new QMenu(this);
    contextMenu_->setObjectName(QStringLiteral("ContextMenu"));
    contextMenu_->setToolTipsVisible(true);
    restoreBackupItem_ = contextMenu_->addAction(QStringLiteral("Restore the backup..."));
    restoreBackupItem_->setObjectName(QStringLiteral("RestoreBackupItem"));
    restoreBackupItem_->setToolTip(
        QStringLiteral("Puts xwingalliance.exe.bak back in place of the executable, after asking, "
                       "and shows its values"));
    connect(restoreBackupItem_, &QAction::triggered, this, &CraftPreviewWindow::RestoreBackupClick);
}

// Tooltips are not wrapped, so the long ones are broken into lines here.
void CraftPreviewWindow::DescribeControls() {
    craftList_->setToolTip(QStringLiteral(
        "The game's craft, named as in strings.txt.\nChoosing one shows its picture numbers and "
        "searches\nthe resource list's libraries for its pictures"));
    refreshButton_->setToolTip(
        QStringLiteral("Shows the selected craft again,\nsearching the libraries as they are now"));
    previousButton_->setToolTip(QStringLiteral("The previous craft"));
    nextButton_->setToolTip(QStringLiteral("The next craft"));
    saveButton_->setToolTip(QStringLiteral(
        "Writes the HULL and MAP numbers and the enabled images into xwingalliance.exe.\n"
        "The first Save that changes it makes the copy xwingalliance.exe.bak beside it,\n"
        "unless one is there; right-click the window to restore that copy"));
    hullField_->SetDescription(
        QStringLiteral("The craft's picture number in the HULL libraries, 0 to 65500\n"
                       "(the arrows step by 100). Only craft 1 to 71 have one"));
    mapField_->SetDescription(
        QStringLiteral("The craft's picture number in the MAP libraries, 0 to 65500\n"
                       "(the arrows step by 100)"));
    const struct {
        PicturePanel* panel;
        QLabel* label;
        const char* kind;
        const char* size;
    } pictures[] = {{hullPanel_, hullLibraryLabel_, "HULL", "32 x 32"},
                    {mapPanel_, mapLibraryLabel_, "MAP", "16 x 16"},
                    {shipPanel_, shipLibraryLabel_, "SHIP", "180 x 180"}};
    for (const auto& picture : pictures) {
        const QString kind = QString::fromLatin1(picture.kind);
        picture.panel->setToolTip(
            QStringLiteral("The craft's %1 picture (%2) from the first library\nin the resource "
                           "list that holds it; \"none\" when none does")
                .arg(kind, QString::fromLatin1(picture.size)));
        picture.label->setToolTip(
            QStringLiteral("The %1 library that holds the picture; \"?\" when none was found")
                .arg(kind));
    }
    shipNumber_->setToolTip(
        QStringLiteral("The craft's SHIP picture number: 20000 + its SHIP slot in the "
                       "executable;\n\"none\" when no slot names the craft. It is not changed "
                       "here"));
    DescribeSettings();
}

void CraftPreviewWindow::DescribeSettings() {
    settingsGroup_->setToolTip(
        QStringLiteral("Three one-byte values of the executable, 0 to 255, written by Save"));
    const CraftField settings[] = {CraftField::Battle, CraftField::Mission,
                                   CraftField::MissionLower};
    for (std::size_t i = 0; i < std::size(settings); ++i) {
        const QString description =
            QStringLiteral("The enabled images value \"%1\", 0 to 255, written by Save")
                .arg(settingCaptions_[i]->text());
        settingCaptions_[i]->setToolTip(description);
        Field(settings[i])->SetDescription(description);
    }
}

void CraftPreviewWindow::CreateCraftControls() {
    craftList_ = new QComboBox(this);
    craftList_->setObjectName(QStringLiteral("CraftList"));
    craftList_->setGeometry(8, 8, 297, kFieldHeight);
    craftList_->setMaxVisibleItems(kVisibleCraftRows);
    // Styles whose popup covers the list's current row ignore the row count; this one is kept.
    craftList_->setStyleSheet(QStringLiteral("combobox-popup: 0;"));
    refreshButton_ = new QPushButton(QStringLiteral("Refresh"), this);
    refreshButton_->setObjectName(QStringLiteral("RefreshButton"));
    refreshButton_->setGeometry(8, 32, 81, 25);
    previousButton_ = new QToolButton(this);
    previousButton_->setObjectName(QStringLiteral("PreviousButton"));
    previousButton_->setText(QStringLiteral("-"));
    previousButton_->setGeometry(128, 32, 25, 25);
    nextButton_ = new QToolButton(this);
    nextButton_->setObjectName(QStringLiteral("NextButton"));
    nextButton_->setText(QStringLiteral("+"));
    nextButton_->setGeometry(160, 32, 25, 25);
    saveButton_ = new QPushButton(QStringLiteral("Save"), this);
    saveButton_->setObjectName(QStringLiteral("SaveButton"));
    saveButton_->setGeometry(224, 32, 81, 25);
    saveButton_->setEnabled(false);
    // Only the user's choice counts as a change of the list; the steps select from the program.
    connect(craftList_, &QComboBox::activated, this, &CraftPreviewWindow::OnCraftChosen);
    connect(refreshButton_, &QPushButton::clicked, this, &CraftPreviewWindow::RefreshClick);
    connect(previousButton_, &QToolButton::clicked, this, &CraftPreviewWindow::PreviousClick);
    connect(nextButton_, &QToolButton::clicked, this, &CraftPreviewWindow::NextClick);
    connect(saveButton_, &QPushButton::clicked, this, &CraftPreviewWindow::SaveClick);
}

void CraftPreviewWindow::CreatePictureControls() {
    hullField_ = CreateField(CraftField::Hull, QRect(8, 72, 65, kFieldHeight), this);
    hullPanel_ = CreatePanel(1, QRect(80, 64, 41, 41), QSize(32, 32));
    hullLibraryLabel_ = CreateLibraryLabel(1, 77);
    mapField_ = CreateField(CraftField::Map, QRect(8, 112, 65, kFieldHeight), this);
    mapPanel_ = CreatePanel(2, QRect(88, 112, 25, 25), QSize(16, 16));
    mapLibraryLabel_ = CreateLibraryLabel(2, 117);
    shipNumber_ = CreateShipNumberBox();
    shipLibraryLabel_ = CreateLibraryLabel(3, 149);
    shipPanel_ = CreatePanel(3, QRect(8, 176, 189, 189), QSize(180, 180));
}

// Black on white while a slot names the craft, greyed while none does.
QLabel* CraftPreviewWindow::CreateShipNumberBox() {
    auto* box = new QLabel(QStringLiteral("0"), this);
    box->setObjectName(QStringLiteral("ShipNumber"));
    box->setGeometry(8, 144, 65, kFieldHeight);
    box->setFrameShape(QFrame::Box);
    box->setAutoFillBackground(true);
    QPalette white = box->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::Active, QPalette::WindowText, Qt::black);
    white.setColor(QPalette::Inactive, QPalette::WindowText, Qt::black);
    box->setPalette(white);
    return box;
}

void CraftPreviewWindow::CreateSettingControls() {
    settingsGroup_ = new QGroupBox(QStringLiteral("Enabled images"), this);
    settingsGroup_->setObjectName(QStringLiteral("EnabledImages"));
    settingsGroup_->setGeometry(200, 176, 105, 185);
    const struct {
        CraftField field;
        const char* caption;
        NumberSpinEdit** spin;
    } settings[] = {{CraftField::Battle, "BATTLE", &battleField_},
                    {CraftField::Mission, "MISSION", &missionField_},
                    {CraftField::MissionLower, "mission", &missionLowerField_}};
    int top = 24;
    QLabel** caption = settingCaptions_;
    for (const auto& setting : settings) {
        *caption = new QLabel(QString::fromLatin1(setting.caption), settingsGroup_);
        (*caption++)->setGeometry(16, top, 73, kLabelHeight);
        *setting.spin =
            CreateField(setting.field, QRect(16, top + 16, 73, kFieldHeight), settingsGroup_);
        top += 52;
    }
}

NumberSpinEdit* CraftPreviewWindow::CreateField(CraftField field, const QRect& geometry,
                                                QWidget* parent) {
    const bool picture = field == CraftField::Hull || field == CraftField::Map;
    auto* spin = new NumberSpinEdit(FieldMaxOf(field), picture ? kPictureNumberStep : 1, parent);
    spin->setObjectName(CraftFieldName(field));
    spin->setGeometry(geometry);
    connect(spin, &NumberSpinEdit::FieldTextChanged, this,
            [this, field] { OnFieldChanged(field); });
    return spin;
}

PicturePanel* CraftPreviewWindow::CreatePanel(int number, const QRect& geometry, QSize areaSize) {
    auto* panel = new PicturePanel(geometry.size(), areaSize, this);
    panel->setObjectName(PictureKindName(number) + QStringLiteral("Panel"));
    panel->Image()->setObjectName(PictureKindName(number) + QStringLiteral("Image"));
    panel->move(geometry.topLeft());
    return panel;
}

QLabel* CraftPreviewWindow::CreateLibraryLabel(int number, int top) {
    auto* label = new QLabel(kNotSearched, this);
    label->setObjectName(PictureKindName(number) + QStringLiteral("LibraryLabel"));
    label->setGeometry(kLabelLeft, top, kLabelWidth, kLabelHeight);
    return label;
}

bool CraftPreviewWindow::ReadGameFiles() {
    const bool accepted = preview_.Load(AppFolders().game);
    for (const std::string& name : preview_.Names()) {
        craftList_->addItem(QString::fromLatin1(name));
    }
    craftList_->setCurrentIndex(0);
    if (!accepted) {
        dialogs_.Beep();
        dialogs_.ShowMessage(QString::fromLatin1(kNeedVersionMessage),
                             QString::fromLatin1(kBadVersionCaption));
        return false;
    }
    DisplayCraft();
    return true;
}

void CraftPreviewWindow::OnCraftChosen() {
    bool saved = false;
    if (!SettleEdits(saved)) {
        craftList_->setCurrentIndex(displayedPosition_);
        return;
    }
    DisplayCraft();
}

void CraftPreviewWindow::RefreshClick() {
    bool saved = false;
    if (SettleEdits(saved)) {
        DisplayCraft();
    }
}

void CraftPreviewWindow::DisplayCraft() {
    ++displayRuns_;
    displayedPosition_ = craftList_->currentIndex();
    const bool searching = displayRuns_ >= 2;
    ResetDisplay(searching);
    CraftDisplay display;
    if (searching) {
        const std::vector<std::string> lines = ResourceLines();
        BusyCursor busy(dialogs_);
        display = preview_.Display(SelectedCraft(), lines);
    } else {
        display = preview_.Display(SelectedCraft(), {});
    }
    if (!display.selected) {
        return;
    }
    FillFields(display);
    ShowPictures(display.pictures);
}

void CraftPreviewWindow::ResetDisplay(bool searching) {
    hullField_->setEnabled(false);
    mapField_->setEnabled(false);
    saveButton_->setEnabled(false);
    for (QLabel* label : {hullLibraryLabel_, mapLibraryLabel_, shipLibraryLabel_}) {
        label->setText(searching ? kUnknownLibrary : kNotSearched);
    }
    for (PicturePanel* panel : {hullPanel_, mapPanel_, shipPanel_}) {
        panel->SetCaption(searching ? kNone : QString());
        panel->ClearPicture();
    }
    shipNumber_->setText(kNone);
    shipNumber_->setEnabled(false);
}

void CraftPreviewWindow::FillFields(const CraftDisplay& display) {
    edits_.BeginFilling();
    battleField_->SetFieldValue(display.battle);
    missionField_->SetFieldValue(display.mission);
    missionLowerField_->SetFieldValue(display.missionLower);
    if (display.hull) {
        hullField_->SetFieldValue(*display.hull);
        hullField_->setEnabled(true);
    } else {
        hullField_->SetFieldText(kNone);
    }
    mapField_->SetFieldValue(display.map);
    mapField_->setEnabled(true);
    shipNumber_->setText(QString::fromStdString(display.ship));
    shipNumber_->setEnabled(display.shipEnabled);
    edits_.EndFilling();
}

void CraftPreviewWindow::ShowPictures(const CraftPictures& pictures) {
    const struct {
        const std::optional<CraftPicture>& found;
        PicturePanel* panel;
        QLabel* label;
    } kinds[] = {{pictures.hull, hullPanel_, hullLibraryLabel_},
                 {pictures.map, mapPanel_, mapLibraryLabel_},
                 {pictures.ship, shipPanel_, shipLibraryLabel_}};
    for (const auto& kind : kinds) {
        if (!kind.found) {
            continue;
        }
        kind.panel->SetCaption(QString());
        kind.label->setText(TextOfBytes(kind.found->library));
        kind.panel->ShowPicture(ToQImage(kind.found->image));
    }
}

void CraftPreviewWindow::OnFieldChanged(CraftField field) {
    if (edits_.Changed(field)) {
        saveButton_->setEnabled(true);
    }
}

void CraftPreviewWindow::SaveClick() {
    saveButton_->setEnabled(false);
    const int craft = SelectedCraft();
    if (!preview_.Tables().MapPictureId.Holds(craft)) {
        return;
    }
    if (SaveEdits(craft)) {
        DisplayCraft();
    }
}

bool CraftPreviewWindow::SaveEdits(int craft) {
    const CraftEdit edit =
        edits_.Build([this](CraftField field) { return Field(field)->FieldText().toStdString(); });
    const CraftTablesResult result = preview_.Save(craft, edit);
    const std::optional<CraftSaveFailure> failure =
        SaveFailureOf(result, preview_.ExecutablePath(), preview_.BackupPath());
    if (failure) {
        // The user's values stay in the fields, ready for another try.
        TellFailure(failure->text, failure->caption);
        saveButton_->setEnabled(true);
        return false;
    }
    return true;
}

bool CraftPreviewWindow::SettleEdits(bool& saved) {
    saved = false;
    if (!edits_.AnyEdited()) {
        return true;
    }
    switch (dialogs_.AskUnsavedChanges(kUnsavedQuestion, kCaption)) {
        case UnsavedChangesAnswer::Save:
            // The edits belong to the craft shown, whatever the list has moved to meanwhile.
            saved = SaveEdits(displayedPosition_ + 1);
            return saved;
        case UnsavedChangesAnswer::Discard:
            return true;
        case UnsavedChangesAnswer::Cancel:
            break;
    }
    return false;
}

bool CraftPreviewWindow::SettleUnsavedWork() {
    // The question concerns what the fields show, so they are in view while it is asked.
    if (edits_.AnyEdited() && !isVisible()) {
        show();
    }
    bool saved = false;
    if (!SettleEdits(saved)) {
        return false;
    }
    if (saved) {
        DisplayCraft();
    }
    return true;
}

void CraftPreviewWindow::PreviousClick() {
    if (craftList_->currentIndex() > 0) {
        SelectAndDisplay(craftList_->currentIndex() - 1);
    }
}

void CraftPreviewWindow::NextClick() {
    if (craftList_->currentIndex() < craftList_->count() - 1) {
        SelectAndDisplay(craftList_->currentIndex() + 1);
    }
}

void CraftPreviewWindow::SelectAndDisplay(int position) {
    bool saved = false;
    if (!SettleEdits(saved)) {
        return;
    }
    craftList_->setCurrentIndex(position);
    DisplayCraft();
}

void CraftPreviewWindow::RestoreBackupClick() {
    const std::string executable = preview_.ExecutablePath();
    const std::string backup = preview_.BackupPath();
    if (!preview_.HasBackup()) {
        const auto none = RestoreFailureOf(CraftRestoreResult::NoBackup, executable, backup);
        TellFailure(none->text, none->caption);
        return;
    }
    if (!dialogs_.Confirm(FromLocal(RestoreQuestion(executable, backup, edits_.AnyEdited())),
                          QString::fromLatin1(kRestoreBackupCaption))) {
        return;
    }
    const std::optional<CraftSaveFailure> failure =
        RestoreFailureOf(preview_.RestoreBackup(), executable, backup);
    if (failure) {
        TellFailure(failure->text, failure->caption);
        return;
    }
    DisplayCraft();
}

void CraftPreviewWindow::TellFailure(const std::string& text, const std::string& caption) {
    dialogs_.Beep();
    dialogs_.ShowMessage(FromLocal(text), QString::fromStdString(caption));
}

int CraftPreviewWindow::SelectedCraft() const {
    return craftList_->currentIndex() + 1;
}

std::vector<std::string> CraftPreviewWindow::ResourceLines() const {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(resources_.LineCount()));
    for (int index = 0; index < resources_.LineCount(); ++index) {
        lines.push_back(resources_.Line(index));
    }
    return lines;
}

NumberSpinEdit* CraftPreviewWindow::Field(CraftField field) const {
    switch (field) {
        case CraftField::Hull:
            return hullField_;
        case CraftField::Map:
            return mapField_;
        case CraftField::Battle:
            return battleField_;
        case CraftField::Mission:
            return missionField_;
        case CraftField::MissionLower:
            break;
    }
    return missionLowerField_;
}

PicturePanel* CraftPreviewWindow::Panel(int number) const {
    const std::array<PicturePanel*, 3> panels{hullPanel_, mapPanel_, shipPanel_};
    return number >= 1 && number <= 3 ? panels[static_cast<std::size_t>(number - 1)] : nullptr;
}

QLabel* CraftPreviewWindow::LibraryLabel(int number) const {
    const std::array<QLabel*, 3> labels{hullLibraryLabel_, mapLibraryLabel_, shipLibraryLabel_};
    return number >= 1 && number <= 3 ? labels[static_cast<std::size_t>(number - 1)] : nullptr;
}

void CraftPreviewWindow::closeEvent(QCloseEvent* event) {
    HideInsteadOfClosing(*event);
}

void CraftPreviewWindow::contextMenuEvent(QContextMenuEvent* event) {
    restoreBackupItem_->setEnabled(preview_.HasBackup());
    contextMenu_->exec(event->globalPos());
}

void CraftPreviewWindow::HideInsteadOfClosing(QCloseEvent& event) {
    event.ignore();
    hide();
}

}  // namespace vexlor
