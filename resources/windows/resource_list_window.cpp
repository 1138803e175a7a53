#include "resources/windows/resource_list_window.h"

#include <algorithm>

#include <QCloseEvent>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>

#include "platform/user_dialogs.h"
#include "widgets/byte_text.h"
#include "widgets/fixed_pitch_font.h"

namespace vexlor {
namespace {

constexpr int kClientWidth = 408;
constexpr int kClientHeight = 317;
constexpr int kTextAreaHeight = 277;
constexpr int kTextAreaFontPixels = 12;
const QRect kReloadButtonGeometry(8, 8, 73, 25);
const QRect kSaveButtonGeometry(328, 8, 73, 25);
const QKeySequence kSaveShortcut(Qt::CTRL | Qt::Key_S);

// Names written in the system's encoding show as their characters; any other byte survives
// through its stand-in, so every line the user leaves alone is saved byte for byte.
QString ToTextAreaText(const LineText& text) {
    return TextOfBytes(JoinLines(text, "\n"));
}

QToolButton* CreateButton(const QString& caption, const QString& name, const QRect& geometry,
                          QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setGeometry(geometry);
    return button;
}

// Replaces only the part of the text area that differs, so that the user's cursor and scroll
// position survive a line added at the top or a line break added at the end.
void ReplaceDifference(QPlainTextEdit& textArea, const QString& current, const QString& wanted) {
    const qsizetype shorter = std::min(current.size(), wanted.size());
    qsizetype prefix = 0;
    while (prefix < shorter && current[prefix] == wanted[prefix]) {
        ++prefix;
    }
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           current[current.size() - 1 - suffix] == wanted[wanted.size() - 1 - suffix]) {
        ++suffix;
    }
    QTextCursor cursor(textArea.document());
    cursor.setPosition(static_cast<int>(prefix));
    cursor.setPosition(static_cast<int>(current.size() - suffix), QTextCursor::KeepAnchor);
    cursor.insertText(wanted.mid(prefix, wanted.size() - prefix - suffix));
}

}  // namespace

ResourceListWindow::ResourceListWindow(UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), list_(dialogs), dialogs_(dialogs) {
    setObjectName(QStringLiteral("ResourceList"));
    setWindowTitle(QStringLiteral("resdata.txt"));
    setFixedSize(kClientWidth, kClientHeight);
    CreateControls();
    list_.SetOnLinesChanged([this] { ShowLines(); });
    list_.SetOnStateChanged([this] { ShowState(); });
    ShowState();
    LoadOnCreation();
}

void ResourceListWindow::CreateControls() {
    reloadButton_ = CreateButton(QStringLiteral("Reload"), QStringLiteral("ReloadButton"),
                                 kReloadButtonGeometry, this);
    saveButton_ = CreateButton(QStringLiteral("Save"), QStringLiteral("SaveButton"),
                               kSaveButtonGeometry, this);
    textArea_ = new QPlainTextEdit(this);
    textArea_->setObjectName(QStringLiteral("TextArea"));
    textArea_->setGeometry(0, kClientHeight - kTextAreaHeight, kClientWidth, kTextAreaHeight);
    textArea_->setFont(FixedPitchFont(kTextAreaFontPixels));
    textArea_->setLineWrapMode(QPlainTextEdit::NoWrap);
    textArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DescribeButtons();
    connect(reloadButton_, &QToolButton::clicked, this, &ResourceListWindow::ReloadClick);
    connect(saveButton_, &QToolButton::clicked, this, &ResourceListWindow::SaveClick);
    connect(textArea_, &QPlainTextEdit::textChanged, this, &ResourceListWindow::OnTextChanged);
}

// The button's own shortcut works only while the button is enabled, as a click would, and
// only while this window is the active one.
void ResourceListWindow::DescribeButtons() {
    reloadButton_->setToolTip(QStringLiteral("Read resdata.txt again from the game folder"));
    saveButton_->setShortcut(kSaveShortcut);
    saveButton_->setToolTip(QStringLiteral("Write the list to resdata.txt (%1)")
                                .arg(kSaveShortcut.toString(QKeySequence::NativeText)));
}

void ResourceListWindow::LoadOnCreation() {
    Reload();
}

void ResourceListWindow::closeEvent(QCloseEvent* event) {
    HideInsteadOfClosing(*event);
}

void ResourceListWindow::HideInsteadOfClosing(QCloseEvent& event) {
    event.ignore();
    hide();
}

void ResourceListWindow::ReloadClick() {
    if (SettleUnsavedWork()) {
        Reload();
    }
}

// A freshly loaded text is read from its top.
void ResourceListWindow::Reload() {
    if (list_.Reload()) {
        textArea_->moveCursor(QTextCursor::Start);
    }
}

void ResourceListWindow::SaveClick() {
    list_.Save();
}

bool ResourceListWindow::SettleUnsavedWork() {
    if (!list_.SaveEnabled()) {
        return true;
    }
    switch (dialogs_.AskUnsavedChanges(
        QStringLiteral("resdata.txt has changes that are not saved."), windowTitle())) {
        case UnsavedChangesAnswer::Save:
            return list_.Save();
        case UnsavedChangesAnswer::Discard:
            return true;
        case UnsavedChangesAnswer::Cancel:
            break;
    }
    return false;
}

void ResourceListWindow::OnTextChanged() {
    if (showingLines_) {
        return;
    }
    list_.SetEditedText(BytesOfText(TextAreaText()));
}

void ResourceListWindow::ShowLines() {
    showingLines_ = true;
    ReplaceDifference(*textArea_, TextAreaText(), ToTextAreaText(list_.Text()));
    showingLines_ = false;
}

void ResourceListWindow::ShowState() {
    textArea_->setEnabled(list_.TextAreaEnabled());
    saveButton_->setEnabled(list_.SaveEnabled());
}

// The raw text keeps a no-break space as it is, where toPlainText() would make it a space.
QString ResourceListWindow::TextAreaText() const {
    QString text = textArea_->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

}  // namespace vexlor
