#include "tools/ttool1.h"

#include <optional>

#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "platform/folders.h"
#include "platform/path_resolver.h"
#include "platform/user_dialogs.h"
#include "tools/craft/craft_save_failure.h"
#include "tools/number_spin_edit.h"
#include "tools/picture_panel.h"
#include "tools/resource_list.h"

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

TTOOL1::TTOOL1(UserDialogs& dialogs, ResourceList& resources, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      dialogs_(dialogs),
      resources_(resources) {
    setObjectName(QStringLiteral("TOOL1"));
    setWindowTitle(QStringLiteral("Preview"));
    setFixedSize(kClientWidth, kClientHeight);
    CreateControls();
}

void TTOOL1::CreateControls() {
    CreateCraftControls();
    CreatePictureControls();
    CreateSettingControls();
}

void TTOOL1::CreateCraftControls() {
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(8, 8, 297, kFieldHeight);
    ComboBox1->setMaxVisibleItems(kVisibleCraftRows);
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
    connect(ComboBox1, &QComboBox::activated, this, &TTOOL1::ComboBox1Change);
    connect(Button1, &QPushButton::clicked, this, &TTOOL1::ComboBox1Change);
    connect(SpeedButton2, &QToolButton::clicked, this, &TTOOL1::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TTOOL1::SpeedButton3Click);
    connect(Button2, &QPushButton::clicked, this, &TTOOL1::Button2Click);
}

void TTOOL1::CreatePictureControls() {
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
QLabel* TTOOL1::CreateShipNumberBox() {
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

void TTOOL1::CreateSettingControls() {
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
    for (const auto& setting : settings) {
        auto* caption = new QLabel(QString::fromLatin1(setting.caption), GroupBox1);
        caption->setGeometry(16, top, 73, kLabelHeight);
        *setting.spin =
            CreateField(setting.field, QRect(16, top + 16, 73, kFieldHeight), GroupBox1);
        top += 52;
    }
}

NumberSpinEdit* TTOOL1::CreateField(CraftField field, const QRect& geometry, QWidget* parent) {
    const bool picture = field == CraftField::Hull || field == CraftField::Map;
    auto* spin = new NumberSpinEdit(FieldMaxOf(field), picture ? kPictureNumberStep : 1, parent);
    spin->setObjectName(CraftFieldName(field));
    spin->setGeometry(geometry);
    connect(spin, &NumberSpinEdit::FieldTextChanged, this, [this, field] { Spin1Change(field); });
    return spin;
}

PicturePanel* TTOOL1::CreatePanel(int number, const QRect& geometry, QSize areaSize) {
    auto* panel = new PicturePanel(geometry.size(), areaSize, this);
    panel->setObjectName(QStringLiteral("Panel%1").arg(number));
    panel->Image()->setObjectName(QStringLiteral("Image%1").arg(number));
    panel->move(geometry.topLeft());
    panel->SetCaption(kNone);
    return panel;
}

QLabel* TTOOL1::CreateLibraryLabel(int number, int top) {
    auto* label = new QLabel(kUnknownLibrary, this);
    label->setObjectName(QStringLiteral("Label%1").arg(number));
    label->setGeometry(kLabelLeft, top, kLabelWidth, kLabelHeight);
    return label;
}

bool TTOOL1::FormCreate() {
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

void TTOOL1::ComboBox1Change() {
    ++displayRuns_;
    ResetDisplay();
    CraftDisplay display;
    if (displayRuns_ >= 2) {
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

void TTOOL1::ResetDisplay() {
    Spin1->setEnabled(false);
    Spin2->setEnabled(false);
    Button2->setEnabled(false);
    for (QLabel* label : {Label1, Label2, Label3}) {
        label->setText(kUnknownLibrary);
    }
    for (PicturePanel* panel : {Panel1, Panel2, Panel3}) {
        panel->SetCaption(kNone);
        panel->ClearPicture();
    }
    Static1->setText(kNone);
    Static1->setEnabled(false);
}

void TTOOL1::FillFields(const CraftDisplay& display) {
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

void TTOOL1::ShowPictures(const CraftPictures& pictures) {
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
        kind.label->setText(QString::fromLatin1(kind.found->library));
        kind.panel->ShowPicture(ToQImage(kind.found->image));
    }
}

void TTOOL1::Spin1Change(CraftField field) {
    if (edits_.Changed(field)) {
        Button2->setEnabled(true);
    }
}

void TTOOL1::Button2Click() {
    Button2->setEnabled(false);
    const int craft = SelectedCraft();
    if (!preview_.Tables().MapPictureId.Holds(craft)) {
        return;
    }
    const CraftEdit edit =
        edits_.Build([this](CraftField field) { return Field(field)->FieldText().toStdString(); });
    const CraftTablesResult result = preview_.Save(craft, edit);
    const std::optional<CraftSaveFailure> failure =
        SaveFailureOf(result, ResolvePath(AppFolders().game, "xwingalliance.exe"));
    if (failure) {
        // The user's values stay in the fields, ready for another try.
        dialogs_.Beep();
        dialogs_.ShowMessage(QFile::decodeName(failure->text.c_str()),
                             QString::fromStdString(failure->caption));
        Button2->setEnabled(true);
        return;
    }
    ComboBox1Change();
}

void TTOOL1::SpeedButton2Click() {
    if (ComboBox1->currentIndex() > 0) {
        SelectAndDisplay(ComboBox1->currentIndex() - 1);
    }
}

void TTOOL1::SpeedButton3Click() {
    if (ComboBox1->currentIndex() < ComboBox1->count() - 1) {
        SelectAndDisplay(ComboBox1->currentIndex() + 1);
    }
}

void TTOOL1::SelectAndDisplay(int position) {
    ComboBox1->setCurrentIndex(position);
    ComboBox1Change();
}

int TTOOL1::SelectedCraft() const {
    return ComboBox1->currentIndex() + 1;
}

std::vector<std::string> TTOOL1::ResourceLines() const {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(resources_.LineCount()));
    for (int index = 0; index < resources_.LineCount(); ++index) {
        lines.push_back(resources_.Line(index));
    }
    return lines;
}

NumberSpinEdit* TTOOL1::Field(CraftField field) const {
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

PicturePanel* TTOOL1::Panel(int number) const {
    const std::array<PicturePanel*, 3> panels{Panel1, Panel2, Panel3};
    return number >= 1 && number <= 3 ? panels[static_cast<std::size_t>(number - 1)] : nullptr;
}

QLabel* TTOOL1::LibraryLabel(int number) const {
    const std::array<QLabel*, 3> labels{Label1, Label2, Label3};
    return number >= 1 && number <= 3 ? labels[static_cast<std::size_t>(number - 1)] : nullptr;
}

void TTOOL1::closeEvent(QCloseEvent* event) {
    FormClose(*event);
}

void TTOOL1::FormClose(QCloseEvent& event) {
    event.ignore();
    hide();
}

}  // namespace vexlor
