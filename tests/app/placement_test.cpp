#include "app/tool_window_placement.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

#include "platform/folders.h"
#include "resources/windows/resource_list_window.h"
#include "tests/support/test_files.h"
#include "tests/support_qt/fake_user_dialogs.h"

namespace vexlor {
namespace {

TEST(PlaceAtRightEdge, PutsTheResourceListEditorFlushRightAt80) {
    test::TempDir temp;
    SetAppFolders({temp.Path().string() + "/", temp.Path().string() + "/"});
    test::FakeUserDialogs dialogs;
    ResourceListWindow window(dialogs, nullptr);
    PlaceAtRightEdge(window);
    window.show();
    PlaceAtRightEdge(window);
    const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
    EXPECT_EQ(window.frameGeometry().left(), screenWidth - window.frameGeometry().width());
    EXPECT_EQ(window.frameGeometry().right(), screenWidth - 1);
    EXPECT_EQ(window.frameGeometry().top(), 80);
    SetAppFolders({});
}

class ToolWindowsGiveWayTest : public ::testing::Test {
  protected:
    ToolWindowsGiveWayTest() {
        main_.show();
        tool_.show();
        giveWay_.AddToolWindow(tool_);
        giveWay_.SetWanted([this] { return browserActive_; });
    }
    // The dialog's own show and hide settle at the next turn of the event loop.
    static void Settle() { QCoreApplication::processEvents(); }

    QWidget main_;
    QWidget tool_{&main_, Qt::Tool};
    ToolWindowsGiveWay giveWay_;
    bool browserActive_ = false;
};

TEST_F(ToolWindowsGiveWayTest, AModalDialogPutsThemAwayUntilItEnds) {
    QDialog dialog(&main_);
    dialog.setModal(true);
    dialog.show();
    Settle();
    EXPECT_FALSE(tool_.isVisible());
    dialog.hide();
    Settle();
    EXPECT_TRUE(tool_.isVisible());

    // A question of the tool window itself stands above it anyway; the window stays.
    QDialog own(&tool_);
    own.setModal(true);
    own.show();
    Settle();
    EXPECT_TRUE(tool_.isVisible());
}

TEST_F(ToolWindowsGiveWayTest, TheBrowserPutsThemAwayWhileItIsActive) {
    browserActive_ = true;
    giveWay_.Update();
    EXPECT_FALSE(tool_.isVisible());
    browserActive_ = false;
    giveWay_.Update();
    EXPECT_TRUE(tool_.isVisible());
}

TEST_F(ToolWindowsGiveWayTest, WhatTheUserShowsOrHidesStaysSo) {
    tool_.hide();
    QDialog dialog(&main_);
    dialog.setModal(true);
    dialog.show();
    Settle();
    dialog.hide();
    Settle();
    EXPECT_FALSE(tool_.isVisible()) << "hidden before the dialog: not brought back";

    tool_.show();
    browserActive_ = true;
    giveWay_.Update();
    ASSERT_FALSE(tool_.isVisible());
    giveWay_.Stop();
    browserActive_ = false;
    giveWay_.Update();
    EXPECT_FALSE(tool_.isVisible()) << "nothing is brought back once stopped, as at the end";
}

}  // namespace
}  // namespace vexlor
