#include "widgets/help_viewer.h"

#include <QFileInfo>
#include <QKeySequence>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTextCursor>
#include <QVBoxLayout>

#include "platform/user_dialogs.h"
#include "widgets/fixed_pitch_font.h"
#include "widgets/help_file.h"

namespace vexlor {
namespace {

constexpr int kFontPixels = 13;
const QSize kDefaultSize(700, 720);

QString ViewerText(const HelpFileText& file) {
    QString text = QString::fromUtf8(file.bytes);
    if (file.cut) {
        text += QStringLiteral("\n\n[The rest of the file is not shown: it is longer than %1 KiB.]")
                    .arg(kHelpFileLimit / 1024);
    }
    return text;
}

}  // namespace

HelpViewer::HelpViewer(UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs) {
    setObjectName(QStringLiteral("Help"));
    CreateControls();
    CreateShortcuts();
    resize(kDefaultSize);
}

void HelpViewer::CreateControls() {
    find_ = new QLineEdit(this);
    find_->setObjectName(QStringLiteral("FindEdit"));
    find_->setPlaceholderText(QStringLiteral("Find"));
    find_->setClearButtonEnabled(true);
    find_->setToolTip(QStringLiteral("Find in the text (Ctrl+F); Enter or F3 finds the next"));
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("HelpText"));
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text_->setFont(FixedPitchFont(kFontPixels));
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* rows = new QVBoxLayout(this);
    rows->addWidget(find_);
    rows->addWidget(text_, 1);
    connect(find_, &QLineEdit::returnPressed, this, &HelpViewer::FindNext);
}

void HelpViewer::CreateShortcuts() {
    auto* focusFind = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    connect(focusFind, &QShortcut::activated, this, [this] {
        find_->setFocus();
        find_->selectAll();
    });
    auto* findNext = new QShortcut(QKeySequence(Qt::Key_F3), this);
    connect(findNext, &QShortcut::activated, this, &HelpViewer::FindNext);
    auto* closeWindow = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(closeWindow, &QShortcut::activated, this, &QWidget::close);
}

bool HelpViewer::ShowFile(const QString& path) {
    const std::optional<HelpFileText> file = ReadHelpFile(path.toStdString());
    if (!file) {
        return false;
    }
    setWindowTitle(QFileInfo(path).fileName());
    text_->setPlainText(ViewerText(*file));
    text_->moveCursor(QTextCursor::Start);
    return true;
}

void HelpViewer::FindNext() {
    const QString wanted = find_->text();
    if (wanted.isEmpty()) {
        return;
    }
    if (!text_->find(wanted) && !FindFromTop(wanted)) {
        dialogs_.Beep();
        return;
    }
    // Finding scrolls only as far as brings the match into view, at the window's edge, where
    // the eye does not look for it and the lines around it are cut off.
    text_->centerCursor();
}

bool HelpViewer::FindFromTop(const QString& wanted) {
    const QTextCursor before = text_->textCursor();
    text_->moveCursor(QTextCursor::Start);
    if (text_->find(wanted)) {
        return true;
    }
    text_->setTextCursor(before);
    return false;
}

}  // namespace vexlor
