#include "app/tool_window_placement.h"

#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QScreen>

#include "platform/folders.h"
#include "tests/support/test_files.h"
#include "tests/support_qt/fake_user_dialogs.h"
#include "tools/ttool0.h"

namespace vexlor {
namespace {

TEST(PlaceAtRightEdge, PutsTheResourceListEditorFlushRightAt80) {
    test::TempDir temp;
    SetAppFolders({temp.Path().string() + "/", temp.Path().string() + "/"});
    test::FakeUserDialogs dialogs;
    TTOOL0 window(dialogs, nullptr);
    PlaceAtRightEdge(window);
    window.show();
    PlaceAtRightEdge(window);
    const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
    EXPECT_EQ(window.frameGeometry().left(), screenWidth - window.frameGeometry().width());
    EXPECT_EQ(window.frameGeometry().right(), screenWidth - 1);
    EXPECT_EQ(window.frameGeometry().top(), 80);
    SetAppFolders({});
}

}  // namespace
}  // namespace vexlor
