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
    return QStringLiteral("Spin%1").arg(static_cast<int>(field) + 1);
}

}  // namespace

CraftPreviewWindow::CraftPreviewWindow(UserDialogs& dialogs, ResourceList& resources,
                                       QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      dialogs_(dialogs),
      resources_(resources) {
    setObjectName(QStringLiteral("TOOL1"));
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
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->setToolTipsVisible(true);
    RestoreBackupItem1 = PopupMenu1->addAction(QStringLiteral("Restore the backup..."));
    RestoreBackupItem1->setObjectName(QStringLiteral("RestoreBackupItem1"));
    RestoreBackupItem1->setToolTip(
        QStringLiteral("Puts xwingalliance.exe.bak back in place of the executable, after asking, "
                       "and shows its values"));
    connect(RestoreBackupItem1, &QAction::triggered, this, &CraftPreviewWindow::RestoreBackupClick);
}

// Tooltips are not wrapped, so the long ones are broken into lines here.
void CraftPreviewWindow::DescribeControls() {
    ComboBox1->setToolTip(QStringLiteral(
        "The game's craft, named as in strings.txt.\nChoosing one shows its picture numbers and "
        "searches\nthe resource list's libraries for its pictures"));
    Button1->setToolTip(
        QStringLiteral("Shows the selected craft again,\nsearching the libraries as they are now"));
    SpeedButton2->setToolTip(QStringLiteral("The previous craft"));
    SpeedButton3->setToolTip(QStringLiteral("The next craft"));
    Button2->setToolTip(QStringLiteral(
        "Writes the HULL and MAP numbers and the enabled images into xwingalliance.exe.\n"
        "The first Save that changes it makes the copy xwingalliance.exe.bak beside it,\n"
        "unless one is there; right-click the window to restore that copy"));
    Spin1->SetDescription(
        QStringLiteral("The craft's picture number in the HULL libraries, 0 to 65500\n"
                       "(the arrows step by 100). Only craft 1 to 71 have one"));
    Spin2->SetDescription(
        QStringLiteral("The craft's picture number in the MAP libraries, 0 to 65500\n"
                       "(the arrows step by 100)"));
    const struct {
        PicturePanel* panel;
        QLabel* label;
        const char* kind;
        const char* size;
    } pictures[] = {{Panel1, Label1, "HULL", "32 x 32"},
                    {Panel2, Label2, "MAP", "16 x 16"},
                    {Panel3, Label3, "SHIP", "180 x 180"}};
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
    Static1->setToolTip(
        QStringLiteral("The craft's SHIP picture number: 20000 + its SHIP slot in the "
                       "executable;\n\"none\" when no slot names the craft. It is not changed "
                       "here"));
    DescribeSettings();
}

void CraftPreviewWindow::DescribeSettings() {
    GroupBox1->setToolTip(
        QStringLiteral("Three one-byte values of the executable, 0 to 255, written by Save"));
    const CraftField settings[] = {CraftField::Battle, CraftField::Mission,
                                   CraftField::MissionLower};
    for (std::size_t i = 0; i < std::size(settings); ++i) {
        const QString description =
            QStringLiteral("The enabled images value \"%1\", 0 to 255, written by Save")
                .arg(SettingCaptions[i]->text());
        SettingCaptions[i]->setToolTip(description);
        Field(settings[i])->SetDescription(description);
    }
}

void CraftPreviewWindow::CreateCraftControls() {
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(8, 8, 297, kFieldHeight);
    ComboBox1->setMaxVisibleItems(kVisibleCraftRows);
    // Styles whose popup covers the list's current row ignore the row count; this one is kept.
    ComboBox1->setStyleSheet(QStringLiteral("combobox-popup: 0;"));
    Button1 = new QPushButton(QStringLiteral("Refresh"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(8, 32, 81, 25);
    SpeedButton2 = new QToolButton(this);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    SpeedButton2->setText(QStringLiteral("-"));
    SpeedButton2->setGeometry(128, 32, 25, 25);
    SpeedButton3 = new QToolButton(this);
    SpeedButton3->setObjectName(QStringLiteral("SpeedButton3"));
    SpeedButton3->setText(QStringLiteral("+"));
    SpeedButton3->setGeometry(160, 32, 25, 25);
    Button2 = new QPushButton(QStringLiteral("Save"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(224, 32, 81, 25);
    Button2->setEnabled(false);
    // Only the user's choice counts as a change of the list; the steps select from the program.
    connect(ComboBox1, &QComboBox::activated, this, &CraftPreviewWindow::ComboBox1Select);
    connect(Button1, &QPushButton::clicked, this, &CraftPreviewWindow::Button1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &CraftPreviewWindow::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &CraftPreviewWindow::SpeedButton3Click);
    connect(Button2, &QPushButton::clicked, this, &CraftPreviewWindow::Button2Click);
}

void CraftPreviewWindow::CreatePictureControls() {
    Spin1 = CreateField(CraftField::Hull, QRect(8, 72, 65, kFieldHeight), this);
    Panel1 = CreatePanel(1, QRect(80, 64, 41, 41), QSize(32, 32));
    Label1 = CreateLibraryLabel(1, 77);
    Spin2 = CreateField(CraftField::Map, QRect(8, 112, 65, kFieldHeight), this);
    Panel2 = CreatePanel(2, QRect(88, 112, 25, 25), QSize(16, 16));
    Label2 = CreateLibraryLabel(2, 117);
    Static1 = CreateShipNumberBox();
    Label3 = CreateLibraryLabel(3, 149);
    Panel3 = CreatePanel(3, QRect(8, 176, 189, 189), QSize(180, 180));
}

// Black on white while a slot names the craft, greyed while none does.
QLabel* CraftPreviewWindow::CreateShipNumberBox() {
    auto* box = new QLabel(QStringLiteral("0"), this);
    box->setObjectName(QStringLiteral("Static1"));
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
    GroupBox1 = new QGroupBox(QStringLiteral("Enabled images"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(200, 176, 105, 185);
    const struct {
        CraftField field;
        const char* caption;
        NumberSpinEdit** spin;
    } settings[] = {{CraftField::Battle, "BATTLE", &Spin3},
                    {CraftField::Mission, "MISSION", &Spin4},
                    {CraftField::MissionLower, "mission", &Spin5}};
    int top = 24;
    QLabel** caption = SettingCaptions;
    for (const auto& setting : settings) {
        *caption = new QLabel(QString::fromLatin1(setting.caption), GroupBox1);
        (*caption++)->setGeometry(16, top, 73, kLabelHeight);
        *setting.spin =
            CreateField(setting.field, QRect(16, top + 16, 73, kFieldHeight), GroupBox1);
        top += 52;
    }
}

NumberSpinEdit* CraftPreviewWindow::CreateField(CraftField field, const QRect& geometry,
                                                QWidget* parent) {
    const bool picture = field == CraftField::Hull || field == CraftField::Map;
    auto* spin = new NumberSpinEdit(FieldMaxOf(field), picture ? kPictureNumberStep : 1, parent);
    spin->setObjectName(CraftFieldName(field));
    spin->setGeometry(geometry);
    connect(spin, &NumberSpinEdit::FieldTextChanged, this, [this, field] { Spin1Change(field); });
    return spin;
}

PicturePanel* CraftPreviewWindow::CreatePanel(int number, const QRect& geometry, QSize areaSize) {
    auto* panel = new PicturePanel(geometry.size(), areaSize, this);
    panel->setObjectName(QStringLiteral("Panel%1").arg(number));
    panel->Image()->setObjectName(QStringLiteral("Image%1").arg(number));
    panel->move(geometry.topLeft());
    return panel;
}

QLabel* CraftPreviewWindow::CreateLibraryLabel(int number, int top) {
    auto* label = new QLabel(kNotSearched, this);
    label->setObjectName(QStringLiteral("Label%1").arg(number));
    label->setGeometry(kLabelLeft, top, kLabelWidth, kLabelHeight);
    return label;
}

bool CraftPreviewWindow::FormCreate() {
    const bool accepted = preview_.Load(AppFolders().game);
    for (const std::string& name : preview_.Names()) {
        ComboBox1->addItem(QString::fromLatin1(name));
    }
    ComboBox1->setCurrentIndex(0);
    if (!accepted) {
        dialogs_.Beep();
        dialogs_.ShowMessage(QString::fromLatin1(kNeedVersionMessage),
                             QString::fromLatin1(kBadVersionCaption));
        return false;
    }
    ComboBox1Change();
    return true;
}

void CraftPreviewWindow::ComboBox1Select() {
    bool saved = false;
    if (!SettleEdits(saved)) {
        ComboBox1->setCurrentIndex(displayedPosition_);
        return;
    }
    ComboBox1Change();
}

void CraftPreviewWindow::Button1Click() {
    bool saved = false;
    if (SettleEdits(saved)) {
        ComboBox1Change();
    }
}

void CraftPreviewWindow::ComboBox1Change() {
    ++displayRuns_;
    displayedPosition_ = ComboBox1->currentIndex();
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
    Spin1->setEnabled(false);
    Spin2->setEnabled(false);
    Button2->setEnabled(false);
    for (QLabel* label : {Label1, Label2, Label3}) {
        label->setText(searching ? kUnknownLibrary : kNotSearched);
    }
    for (PicturePanel* panel : {Panel1, Panel2, Panel3}) {
        panel->SetCaption(searching ? kNone : QString());
        panel->ClearPicture();
    }
    Static1->setText(kNone);
    Static1->setEnabled(false);
}

void CraftPreviewWindow::FillFields(const CraftDisplay& display) {
    edits_.BeginFilling();
    Spin3->SetFieldValue(display.battle);
    Spin4->SetFieldValue(display.mission);
    Spin5->SetFieldValue(display.missionLower);
    if (display.hull) {
        Spin1->SetFieldValue(*display.hull);
        Spin1->setEnabled(true);
    } else {
        Spin1->SetFieldText(kNone);
    }
    Spin2->SetFieldValue(display.map);
    Spin2->setEnabled(true);
    Static1->setText(QString::fromStdString(display.ship));
    Static1->setEnabled(display.shipEnabled);
    edits_.EndFilling();
}

void CraftPreviewWindow::ShowPictures(const CraftPictures& pictures) {
    const struct {
        const std::optional<CraftPicture>& found;
        PicturePanel* panel;
        QLabel* label;
    } kinds[] = {{pictures.hull, Panel1, Label1},
                 {pictures.map, Panel2, Label2},
                 {pictures.ship, Panel3, Label3}};
    for (const auto& kind : kinds) {
        if (!kind.found) {
            continue;
        }
        kind.panel->SetCaption(QString());
        kind.label->setText(TextOfBytes(kind.found->library));
        kind.panel->ShowPicture(ToQImage(kind.found->image));
    }
}

void CraftPreviewWindow::Spin1Change(CraftField field) {
    if (edits_.Changed(field)) {
        Button2->setEnabled(true);
    }
}

void CraftPreviewWindow::Button2Click() {
    Button2->setEnabled(false);
    const int craft = SelectedCraft();
    if (!preview_.Tables().MapPictureId.Holds(craft)) {
        return;
    }
    if (SaveEdits(craft)) {
        ComboBox1Change();
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
        Button2->setEnabled(true);
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
        ComboBox1Change();
    }
    return true;
}

void CraftPreviewWindow::SpeedButton2Click() {
    if (ComboBox1->currentIndex() > 0) {
        SelectAndDisplay(ComboBox1->currentIndex() - 1);
    }
}

void CraftPreviewWindow::SpeedButton3Click() {
    if (ComboBox1->currentIndex() < ComboBox1->count() - 1) {
        SelectAndDisplay(ComboBox1->currentIndex() + 1);
    }
}

void CraftPreviewWindow::SelectAndDisplay(int position) {
    bool saved = false;
    if (!SettleEdits(saved)) {
        return;
    }
    ComboBox1->setCurrentIndex(position);
    ComboBox1Change();
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
    ComboBox1Change();
}

void CraftPreviewWindow::TellFailure(const std::string& text, const std::string& caption) {
    dialogs_.Beep();
    dialogs_.ShowMessage(FromLocal(text), QString::fromStdString(caption));
}

int CraftPreviewWindow::SelectedCraft() const {
    return ComboBox1->currentIndex() + 1;
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
            return Spin1;
        case CraftField::Map:
            return Spin2;
        case CraftField::Battle:
            return Spin3;
        case CraftField::Mission:
            return Spin4;
        case CraftField::MissionLower:
            break;
    }
    return Spin5;
}

PicturePanel* CraftPreviewWindow::Panel(int number) const {
    const std::array<PicturePanel*, 3> panels{Panel1, Panel2, Panel3};
    return number >= 1 && number <= 3 ? panels[static_cast<std::size_t>(number - 1)] : nullptr;
}

QLabel* CraftPreviewWindow::LibraryLabel(int number) const {
    const std::array<QLabel*, 3> labels{Label1, Label2, Label3};
    return number >= 1 && number <= 3 ? labels[static_cast<std::size_t>(number - 1)] : nullptr;
}

void CraftPreviewWindow::closeEvent(QCloseEvent* event) {
    FormClose(*event);
}

void CraftPreviewWindow::contextMenuEvent(QContextMenuEvent* event) {
    RestoreBackupItem1->setEnabled(preview_.HasBackup());
    PopupMenu1->exec(event->globalPos());
}

void CraftPreviewWindow::FormClose(QCloseEvent& event) {
    event.ignore();
    hide();
}

}  // namespace vexlor
