#include <gtest/gtest.h>
#include <QApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "app/about_box.h"
#include "app/kind_dialog.h"
#include "tests/support_qt/fake_user_dialogs.h"

namespace vexlor {
namespace {

class KindDialogTest : public ::testing::Test {
  protected:
    // Answers the next question by choosing `kind` and pressing OK; records what was offered.
    void AnswerWithKind(int kind) {
        dialogs_.modalAnswers.push_back([this, kind](QDialog& dialog) {
            offered_ = chooser_.ChosenKind();
            caption_ = dialog.windowTitle();
            chooser_.ChooseKind(kind);
            chooser_.OkButton()->click();
            return dialog.result();
        });
    }
    void AnswerWithKey(Qt::Key key) {
        dialogs_.modalAnswers.push_back([this, key](QDialog& dialog) {
            offered_ = chooser_.ChosenKind();
            dialog.show();
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(&dialog, &press);
            return dialog.result();
        });
    }

    test::FakeUserDialogs dialogs_;
    KindDialog chooser_{dialogs_, nullptr};
    int offered_ = 0;
    QString caption_;
};

TEST_F(KindDialogTest, OffersTheFourKindsInABoldFixedDialog) {
    const auto* group = chooser_.findChild<QGroupBox*>(QStringLiteral("KindGroup"));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), "Type");
    QStringList items;
    for (const QRadioButton* item : group->findChildren<QRadioButton*>()) {
        items << item->text();
    }
    EXPECT_EQ(items, (QStringList{"HULL library", "MAP library", "SHIP library",
                                  "BATTLE/MISSION library"}));
    EXPECT_EQ(chooser_.ChosenKind(), 1);
    EXPECT_TRUE(chooser_.font().bold());
    EXPECT_EQ(chooser_.OkButton()->text(), "OK");
    EXPECT_TRUE(chooser_.OkButton()->isDefault());
    EXPECT_EQ(chooser_.CancelButton()->text(), "Cancel");
    chooser_.adjustSize();
    EXPECT_EQ(chooser_.minimumSize(), chooser_.maximumSize());
}

TEST_F(KindDialogTest, ReturnsTheChosenKindAndOffersItNextTime) {
    AnswerWithKind(3);
    EXPECT_EQ(chooser_.AskLibraryKind("New project"), 3);
    EXPECT_EQ(offered_, 1);
    EXPECT_EQ(caption_, "New project");

    AnswerWithKind(4);
    EXPECT_EQ(chooser_.AskLibraryKind("Open project"), 4);
    EXPECT_EQ(offered_, 3);
    EXPECT_EQ(caption_, "Open project");
    EXPECT_EQ(dialogs_.events, (QStringList{"modal: New project", "modal: Open project"}));
}

TEST_F(KindDialogTest, CancelAndEscapeGiveZero) {
    dialogs_.modalAnswers.push_back([this](QDialog& dialog) {
        chooser_.CancelButton()->click();
        return dialog.result();
    });
    EXPECT_EQ(chooser_.AskLibraryKind("New project"), 0);
    AnswerWithKey(Qt::Key_Escape);
    EXPECT_EQ(chooser_.AskLibraryKind("New project"), 0);
    AnswerWithKey(Qt::Key_Return);
    EXPECT_EQ(chooser_.AskLibraryKind("New project"), 1);
}

TEST_F(KindDialogTest, StandsInTheMiddleOfTheScreen) {
    AnswerWithKind(2);
    chooser_.AskLibraryKind("Open project");
    const QPoint screenCentre = QGuiApplication::primaryScreen()->geometry().center();
    const QPoint dialogCentre = chooser_.frameGeometry().center();
    EXPECT_LE((screenCentre - dialogCentre).manhattanLength(), 2);
}

TEST(AboutBoxTest, ShowsTheTitleWithTheIconAtTheTopLeft) {
    AboutBox about(nullptr);
    EXPECT_EQ(about.windowTitle(), "About Vexlor 0.72b");
    about.adjustSize();
    const QLabel* icon = about.IconLabel();
    ASSERT_FALSE(icon->pixmap().isNull());
    bool titleShown = false;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        titleShown = titleShown || label->text() == "Vexlor 0.72b";
        if (label != icon) {
            EXPECT_LE(icon->geometry().top(), label->geometry().top());
            EXPECT_LT(icon->geometry().left(), label->geometry().left());
        }
    }
    EXPECT_TRUE(titleShown);
    EXPECT_EQ(about.OkButton()->text(), "OK");
    about.show();
    about.OkButton()->click();
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
}

TEST(AboutBoxTest, NamesTheLicenceBelowTheDescriptionAndAboveTheButton) {
    AboutBox about(nullptr);
    about.adjustSize();
    const QLabel* licence = nullptr;
    const QLabel* kinds = nullptr;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        if (label->text() == "Licensed under the GNU GPL, version 3 or later.") {
            licence = label;
        } else if (label->text().startsWith("HULL, MAP")) {
            kinds = label;
        }
    }
    ASSERT_NE(licence, nullptr);
    ASSERT_NE(kinds, nullptr);
    EXPECT_GE(licence->geometry().top(), kinds->geometry().bottom());
    EXPECT_LE(licence->geometry().bottom(), about.OkButton()->geometry().top());
}

}  // namespace
}  // namespace vexlor
