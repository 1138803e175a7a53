#include "app/project_commands.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <QAction>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMdiArea>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>

#include "app/kind_dialog.h"
#include "app/main_window.h"
#include "app/project_rules.h"
#include "editors/windows/library_editor_window.h"
#include "library/creation.h"
#include "platform/folders.h"
#include "resources/windows/resource_list_window.h"
#include "tests/craft/craft_test_files.h"
#include "tests/support/test_files.h"
#include "tests/support_qt/fake_user_dialogs.h"
#include "tests/support_qt/slashed_paths.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;

constexpr char kResourceList[] = "Resdata\\HULL.DAT\r\nResdata\\MAP.DAT\r\n";

struct KindCase {
    int kind;
    const char* fileName;
    const char* caption;
    const char* resourceLine;
};
const KindCase kKinds[] = {{1, "hull9.dat", "HULL (hull9.dat)", "Resdata\\HULL9.DAT"},
                           {2, "Map9.dat", "MAP (Map9.dat)", "Resdata\\MAP9.DAT"},
                           {3, "ship9.dat", "SHIP (ship9.dat)", "Resdata\\SHIP9.DAT"},
                           {4, "mis9.dat", "MISSION (mis9.dat)", "Resdata\\MIS9.DAT"}};

QString Native(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// The main window with its kind dialog and resource list editor on a game folder whose
// "resdata" folder the library dialogs start in.
class ProjectCommandsTest : public ::testing::Test {
  protected:
    ProjectCommandsTest() {
        fs::create_directories(Resdata());
        fs::create_directories(temp_.Path() / "program");
        test::WriteFileBytes(Game() / "resdata.txt",
                             test::Bytes(kResourceList, kResourceList + sizeof kResourceList - 1));
        SetAppFolders({(temp_.Path() / "program").string() + "/", Game().string() + "/"});
        resourceListWindow_ = new ResourceListWindow(dialogs_, &mainWindow_);
        kindDialog_ = new KindDialog(dialogs_, &mainWindow_);
        mainWindow_.SetResourceListWindow(resourceListWindow_);
        mainWindow_.SetKindDialog(kindDialog_);
    }
    ~ProjectCommandsTest() override { SetAppFolders({}); }

    fs::path Game() const { return temp_.Path() / "game"; }
    fs::path Resdata() const { return Game() / "resdata"; }
    ResourceList& Resources() const { return resourceListWindow_->List(); }
    std::vector<std::string> ResourceLines() const {
        std::vector<std::string> lines;
        for (int i = 0; i < Resources().LineCount(); ++i) {
            lines.push_back(Resources().Line(i));
        }
        return lines;
    }
    std::string ResourceFile() const {
        const test::Bytes bytes = test::ReadFileBytes(Game() / "resdata.txt");
        return {bytes.begin(), bytes.end()};
    }

    // The user's answers: a kind (0 cancels), then a file (nothing cancels).
    void Answer(int kind, std::optional<fs::path> file = std::nullopt) {
        dialogs_.modalAnswers.push_back([this, kind](QDialog& dialog) {
            if (kind == 0) {
                kindDialog_->CancelButton()->click();
            } else {
                kindDialog_->ChooseKind(kind);
                kindDialog_->OkButton()->click();
            }
            return dialog.result();
        });
        if (kind == 0) {
            return;
        }
        if (file) {
            dialogs_.fileAnswers.push_back(Native(*file));
        } else {
            dialogs_.fileAnswers.push_back(std::nullopt);
        }
    }
    QList<LibraryEditorWindow*> Editors() const {
        return mainWindow_.findChildren<LibraryEditorWindow*>();
    }

    test::TempDir temp_;
    test::FakeUserDialogs dialogs_;
    MainWindow mainWindow_{dialogs_};
    ResourceListWindow* resourceListWindow_ = nullptr;
    KindDialog* kindDialog_ = nullptr;
};

TEST_F(ProjectCommandsTest, NewProjectCreatesEachKindOpensItsEditorAndEntersIt) {
    QStringList captions;
    std::vector<std::string> lines = {"Resdata\\HULL.DAT", "Resdata\\MAP.DAT"};
    for (const KindCase& kind : kKinds) {
        dialogs_.events.clear();
        Answer(kind.kind, Resdata() / kind.fileName);
        mainWindow_.NewProjectClick();
        EXPECT_EQ(dialogs_.events,
                  (QStringList{"modal: New project", "save dialog: New DAT file", "busy", "idle"}));

        const FileDialogRequest& request = dialogs_.fileRequests.back();
        EXPECT_EQ(test::SlashedPath(request.folder), test::SlashedPath(Native(Resdata())));
        EXPECT_TRUE(request.fileName.isEmpty());
        EXPECT_EQ(request.filterIndex, kind.kind + 1);
        EXPECT_EQ(request.defaultSuffix, "dat");
        EXPECT_FALSE(request.mustExist);
        EXPECT_TRUE(request.confirmOverwrite);
        EXPECT_FALSE(request.changeCurrentFolder);

        const std::string path = (Resdata() / kind.fileName).string();
        EXPECT_TRUE(IsLibraryOfKind(static_cast<LibraryKind>(kind.kind), path)) << path;
        captions << kind.caption;
        EXPECT_EQ(mainWindow_.EditorCaptions(), captions);
        LibraryEditorWindow* editor = Editors().back();
        EXPECT_EQ(static_cast<int>(editor->Kind()), kind.kind - 1);
        EXPECT_EQ(editor->LibraryPath(), Native(path));
        EXPECT_EQ(editor->StatusText(), "0 pictures");
        EXPECT_TRUE(editor->isVisibleTo(&mainWindow_));
        lines.insert(lines.begin(), kind.resourceLine);
        EXPECT_EQ(ResourceLines(), lines);
    }
    EXPECT_EQ(fs::file_size(Resdata() / "mis9.dat"), 58u);
    // The list counts as changed, but only the user's Save writes it.
    EXPECT_TRUE(Resources().SaveEnabled());
    EXPECT_EQ(ResourceFile(), kResourceList);
}

TEST_F(ProjectCommandsTest, LibraryDialogsOfferTheFiveTypesWithTheirPatterns) {
    Answer(3);
    mainWindow_.NewProjectClick();
    Answer(3);
    mainWindow_.OpenProjectClick();
    ASSERT_EQ(dialogs_.fileRequests.size(), 2u);
    for (const FileDialogRequest& request : dialogs_.fileRequests) {
        QStringList filters;
        for (const FileFilter& filter : request.filters) {
            filters << filter.label + " = " + filter.patterns.join(';');
        }
        EXPECT_EQ(filters,
                  (QStringList{"All DAT = *.dat", "HULLs  (hull*.dat) = HULL*.dat",
                               "MAPs  (map*.dat) = MAP*.dat", "SHIPs  (ship*.dat) = SHIP*.dat",
                               "BATTLE/MISSION (battl/mis*.dat) = MIS*.dat;BATTL*.dat"}));
        EXPECT_EQ(request.filterIndex, 4);
    }
    EXPECT_EQ(dialogs_.fileRequests[1].title, "Open DAT file");
    EXPECT_TRUE(dialogs_.fileRequests[1].mustExist);
    EXPECT_FALSE(dialogs_.fileRequests[1].confirmOverwrite);
    EXPECT_EQ(dialogs_.fileRequests[1].defaultSuffix, "dat");
    EXPECT_FALSE(dialogs_.fileRequests[1].changeCurrentFolder);
}

TEST_F(ProjectCommandsTest, ALineNamingTheLibraryInAnyCaseIsNotAddedAgain) {
    Resources().InsertFirstLine("RESDATA\\mis9.dat");
    Resources().Save();
    const std::vector<std::string> before = ResourceLines();
    Answer(4, Resdata() / "mis9.dat");
    mainWindow_.NewProjectClick();
    EXPECT_EQ(mainWindow_.EditorCaptions(), QStringList{"MISSION (mis9.dat)"});
    EXPECT_EQ(ResourceLines(), before);
    EXPECT_FALSE(Resources().SaveEnabled());
}

TEST_F(ProjectCommandsTest, ALibraryMadeInAnotherFolderIsStillEnteredUnderResdata) {
    Answer(1, temp_.Path() / "program" / "hullx.dat");
    mainWindow_.NewProjectClick();
    EXPECT_TRUE(IsHullLibrary((temp_.Path() / "program" / "hullx.dat").string()));
    EXPECT_EQ(ResourceLines().front(), "Resdata\\HULLX.DAT");
}

TEST_F(ProjectCommandsTest, NewProjectReplacesAnExistingLibraryThatIsNotOpen) {
    const std::string path = (Resdata() / "HULL.DAT").string();
    test::MakeHullLibrary(path, {{100, 5}, {200, 6}});
    Answer(1, Resdata() / "HULL.DAT");
    mainWindow_.NewProjectClick();
    EXPECT_EQ(Editors().back()->StatusText(), "0 pictures");
    EXPECT_TRUE(IsHullLibrary(path));
    EXPECT_EQ(ResourceLines().size(), 2u);  // "Resdata\HULL.DAT" stood there already
}

TEST_F(ProjectCommandsTest, ANameAlreadyOpenIsRefusedWithItsExactCase) {
    const std::string path = (Resdata() / "HULL.DAT").string();
    test::MakeHullLibrary(path, {{100, 5}});
    Answer(1, Resdata() / "HULL.DAT");
    mainWindow_.OpenProjectClick();
    ASSERT_EQ(mainWindow_.EditorCaptions(), QStringList{"HULL (HULL.DAT)"});
    EXPECT_EQ(Editors().back()->StatusText(), "1 pictures");

    // The same name in another folder counts as open: nothing is created there.
    const fs::path elsewhere = temp_.Path() / "program" / "HULL.DAT";
    dialogs_.events.clear();
    Answer(1, elsewhere);
    mainWindow_.NewProjectClick();
    EXPECT_EQ(dialogs_.events, (QStringList{"modal: New project", "save dialog: New DAT file",
                                            "beep", "message: Error: Already opened (HULL.DAT)"}));
    EXPECT_FALSE(fs::exists(elsewhere));
    dialogs_.events.clear();
    Answer(2, Resdata() / "HULL.DAT");
    mainWindow_.OpenProjectClick();
    EXPECT_EQ(dialogs_.events.last(), "message: Error: Already opened (HULL.DAT)");
    EXPECT_EQ(ResourceLines().size(), 2u);

    // Letter case counts: hull.dat is another name.
    test::MakeHullLibrary((Resdata() / "hull.dat").string(), {});
    Answer(1, Resdata() / "hull.dat");
    mainWindow_.OpenProjectClick();
    EXPECT_EQ(mainWindow_.EditorCaptions(), (QStringList{"HULL (HULL.DAT)", "HULL (hull.dat)"}));
}

TEST_F(ProjectCommandsTest, OpenProjectOpensEachKindAndNeverTouchesTheList) {
    QStringList captions;
    for (const KindCase& kind : kKinds) {
        const fs::path path = Resdata() / kind.fileName;
        ASSERT_TRUE(CreateLibrary(static_cast<LibraryKind>(kind.kind), path.string()));
        dialogs_.events.clear();
        Answer(kind.kind, path);
        mainWindow_.OpenProjectClick();
        EXPECT_EQ(dialogs_.events, (QStringList{"modal: Open project", "open dialog: Open DAT file",
                                                "busy", "idle"}));
        EXPECT_EQ(dialogs_.fileRequests.back().filterIndex, kind.kind + 1);
        EXPECT_EQ(Editors().back()->LibraryPath(), Native(path));
        captions << kind.caption;
    }
    EXPECT_EQ(mainWindow_.EditorCaptions(), captions);
    EXPECT_EQ(ResourceLines(), (std::vector<std::string>{"Resdata\\HULL.DAT", "Resdata\\MAP.DAT"}));
    EXPECT_FALSE(Resources().SaveEnabled());
}

TEST_F(ProjectCommandsTest, OpenProjectRefusesAFileOfAnotherKind) {
    const std::string mission = (Resdata() / "mis.dat").string();
    ASSERT_TRUE(CreateMissionLibrary(mission));
    Answer(1, mission);
    mainWindow_.OpenProjectClick();
    EXPECT_EQ(dialogs_.events,
              (QStringList{"modal: Open project", "open dialog: Open DAT file", "beep",
                           "message: Error: Unexpected file format : mis.dat"}));
    EXPECT_TRUE(mainWindow_.EditorCaptions().isEmpty());
}

TEST_F(ProjectCommandsTest, CancellingEitherDialogDoesNothing) {
    Answer(0);
    mainWindow_.NewProjectClick();
    Answer(0);
    mainWindow_.OpenProjectClick();
    EXPECT_EQ(dialogs_.events, (QStringList{"modal: New project", "modal: Open project"}));
    EXPECT_TRUE(dialogs_.fileRequests.empty());

    dialogs_.events.clear();
    Answer(2);
    mainWindow_.NewProjectClick();
    Answer(2);
    mainWindow_.OpenProjectClick();
    EXPECT_EQ(dialogs_.events, (QStringList{"modal: New project", "save dialog: New DAT file",
                                            "modal: Open project", "open dialog: Open DAT file"}));
    EXPECT_TRUE(mainWindow_.EditorCaptions().isEmpty());
    EXPECT_EQ(fs::directory_iterator(Resdata()), fs::directory_iterator());
    EXPECT_FALSE(Resources().SaveEnabled());
}

TEST_F(ProjectCommandsTest, ALibraryThatCannotBeCreatedGetsOnlyABeep) {
    Answer(3, Game() / "no such folder" / "ship.dat");
    mainWindow_.NewProjectClick();
    EXPECT_EQ(dialogs_.events,
              (QStringList{"modal: New project", "save dialog: New DAT file", "beep"}));
    EXPECT_TRUE(mainWindow_.EditorCaptions().isEmpty());
    EXPECT_FALSE(Resources().SaveEnabled());
}

TEST_F(ProjectCommandsTest, ButtonsAndMenuItemsRunTheCommandsAndPreviewToggles) {
    for (int number : {1, 2, 7}) {
        EXPECT_TRUE(mainWindow_.ToolBarButton(number)->isEnabled()) << number;
    }
    mainWindow_.ToolBarButton(1)->click();
    mainWindow_.findChild<QAction*>("NewProjectItem")->trigger();
    mainWindow_.ToolBarButton(2)->click();
    mainWindow_.findChild<QAction*>("OpenProjectItem")->trigger();
    EXPECT_EQ(dialogs_.events, (QStringList{"modal: New project", "modal: New project",
                                            "modal: Open project", "modal: Open project"}));

    QWidget preview;
    mainWindow_.SetPreviewWindow(&preview);
    mainWindow_.ToolBarButton(7)->click();
    EXPECT_TRUE(preview.isVisible());
    mainWindow_.ToolBarButton(7)->click();
    EXPECT_FALSE(preview.isVisible());
}

class LibraryDropTest : public ProjectCommandsTest {
  protected:
    // Drops `files` from a file manager on `target` and lets the drop end. True when taken.
    static bool Drop(QWidget* target, const std::vector<fs::path>& files) {
        QList<QUrl> urls;
        for (const fs::path& file : files) {
            urls.append(QUrl::fromLocalFile(Native(file)));
        }
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        QCoreApplication::sendPostedEvents();
        return enter.isAccepted() && drop.isAccepted();
    }
    fs::path Library(LibraryKind kind, const char* name) const {
        EXPECT_TRUE(CreateLibrary(kind, (Resdata() / name).string()));
        return Resdata() / name;
    }
};

TEST_F(LibraryDropTest, DroppedLibrariesOpenInTurnWithOpenProjectsRefusals) {
    const fs::path hull = Library(LibraryKind::Hull, "hull9.dat");
    const fs::path picture = Resdata() / "picture.bmp";
    test::WriteFileBytes(picture, {'B', 'M'});
    test::WriteFileBytes(Resdata() / "bad.dat", {'n', 'o'});
    // bad.dat, which no kind accepts, opens in a library browser, which is no editor.
    EXPECT_TRUE(Drop(
        mainWindow_.EditorArea()->viewport(),
        {hull, picture, Library(LibraryKind::Mission, "MIS9.DAT"), hull, Resdata() / "bad.dat"}));
    EXPECT_EQ(mainWindow_.EditorCaptions(),
              (QStringList{"HULL (hull9.dat)", "MISSION (MIS9.DAT)"}));
    EXPECT_EQ(dialogs_.events,
              (QStringList{"busy", "idle", "busy", "idle", "beep",
                           "message: Error: Already opened (hull9.dat)", "busy", "idle"}));
    EXPECT_EQ(mainWindow_.EditorArea()->subWindowList().size(), 3);
    EXPECT_TRUE(Editors().back()->isVisibleTo(&mainWindow_));

    // Over an editor window too; a drop without a library file is not the frame's (over an
    // editor it is the editor's picture).
    dialogs_.events.clear();
    EXPECT_FALSE(Drop(&mainWindow_, {picture}));
    EXPECT_TRUE(dialogs_.events.isEmpty());
    EXPECT_TRUE(Drop(Editors().back(), {Library(LibraryKind::Map, "map9.DaT")}));
    EXPECT_EQ(mainWindow_.EditorCaptions().size(), 3);
}

// A HULL library whose header says BATTLE/MISSION: the tests of both kinds accept it.
TEST_F(LibraryDropTest, TheKindDialogAsksWhereSeveralKindsAcceptTheFile) {
    const std::string bytes = EmptyLibraryBytes(LibraryKind::Hull);
    test::Bytes either(bytes.begin(), bytes.end());
    either[22] = static_cast<std::uint8_t>(LibraryKind::Mission);
    test::WriteFileBytes(Resdata() / "either.dat", either);
    Answer(0);
    Drop(&mainWindow_, {Resdata() / "either.dat"});
    EXPECT_EQ(dialogs_.events, QStringList{"modal: Open project"});
    Answer(4);
    Drop(&mainWindow_, {Resdata() / "either.dat"});
    EXPECT_EQ(mainWindow_.EditorCaptions(), QStringList{"MISSION (either.dat)"});
}

TEST(ProjectRules, OnlyTheLettersAToZAreUpperCased) {
    EXPECT_EQ(UpperCaseAscii("mis9-\xe9z.dat"), "MIS9-\xe9Z.DAT");
}

}  // namespace
}  // namespace vexlor
