#include <gtest/gtest.h>

#include "app/main_window.h"
#include "tests/editors/windows/editor_window_fixture.h"

namespace vexlor {
namespace {

class CommandLineLibrariesTest : public test::EditorWindowTest {};

TEST_F(CommandLineLibrariesTest, EachLibraryOpensInTheEditorOfItsKind) {
    MainWindow mainWindow(dialogs_);
    test::WriteFileBytes(File("notes.txt"), {'h', 'i'});
    const QStringList paths = {
        QString::fromStdString(MakeLibrary(EditorKind::Ship, "SHIP.DAT", {20001})),
        QString::fromStdString(MakeMissionLibrary("MIS.DAT", {{3, 100, 75}})),
        QString::fromStdString(File("notes.txt")),
        QString::fromStdString(MakeLibrary(EditorKind::Map, "MAP.DAT", {17500, 17600}))};
    mainWindow.OpenCommandLineLibraries(paths);

    EXPECT_EQ(mainWindow.EditorCaptions(),
              (QStringList{"SHIP (SHIP.DAT)", "MISSION (MIS.DAT)", "MAP (MAP.DAT)"}));
    EXPECT_EQ(dialogs_.events,
              (QStringList{"busy", "idle", "busy", "idle", "beep",
                           "message: Error: Unexpected file format : notes.txt", "busy", "idle"}));
    const auto editors = mainWindow.findChildren<LibraryEditorWindow*>();
    ASSERT_EQ(editors.size(), 3);
    for (const LibraryEditorWindow* editor : editors) {
        EXPECT_TRUE(editor->isVisibleTo(&mainWindow));
        EXPECT_TRUE(editor->StatusText().endsWith("pictures"));
    }
}

}  // namespace
}  // namespace vexlor
