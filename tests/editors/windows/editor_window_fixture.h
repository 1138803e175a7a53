#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <QAbstractItemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeView>

#include "editors/windows/library_editor_window.h"
#include "editors/windows/preview_panel.h"
#include "library/bmp_file.h"
#include "platform/folders.h"
#include "tests/editors/editor_test_support.h"
#include "tests/support/test_files.h"
#include "tests/support_qt/fake_user_dialogs.h"
#include "tests/support_qt/scoped_state_folder.h"

namespace vexlor::test {

// The PictureId of every image record of a library, in file order, as the logic reads them.
inline std::vector<int> PictureIds(EditorKind kind, const std::string& path) {
    std::vector<int> ids;
    for (const PictureEntry& entry : MakeEditorLogic(kind, path, "")->LoadPictureList().entries) {
        ids.push_back(entry.image.PictureId);
    }
    return ids;
}

// A 24-bit BMP of one colour, which no editor stages.
inline Bytes TrueColourBmp(int width, int height) {
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    const auto imageBytes = static_cast<std::uint32_t>(rowBytes * height);
    Bytes bytes;
    auto put = [&bytes](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    };
    put('B' | ('M' << 8), 2);
    put(54 + imageBytes, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(static_cast<std::uint32_t>(width), 4);
    put(static_cast<std::uint32_t>(height), 4);
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(imageBytes, 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < rowBytes; ++x) {
            bytes.push_back(x < width * 3 ? 0x40 : 0);
        }
    }
    return bytes;
}

// A program folder with its Output folder, libraries made by the editors' logic, and editor
// windows that answer to scripted dialogs.
class EditorWindowTest : public ::testing::Test {
  protected:
    EditorWindowTest() {
        std::filesystem::create_directories(ProgramFolder() / "OutPut");
        SetAppFolders({ProgramFolder().string() + "/", Folder().string() + "/"});
    }
    ~EditorWindowTest() override {
        for (const QPointer<LibraryEditorWindow>& window : windows_) {
            delete window.data();
        }
        SetAppFolders({});
    }

    std::filesystem::path Folder() const { return temp_.Path(); }
    std::filesystem::path ProgramFolder() const { return temp_.Path() / "program"; }
    std::filesystem::path OutputFolder() const { return ProgramFolder() / "OutPut"; }
    std::string File(const std::string& name) const { return temp_.File(name); }

    // An empty library of the kind with pictures appended under the given values (BATTLE/
    // MISSION: picture numbers, each picture of the given size).
    std::string MakeLibrary(EditorKind kind, const std::string& name,
                            const std::vector<int>& values, int width = 0, int height = 0) {
        const std::string path = File(name);
        auto logic = NewLibrary(kind, path, File("SHIP.tmp.test"));
        const KindConstants& constants = ConstantsOf(kind);
        for (int value : values) {
            const IndexedImage picture = TestPicture(width > 0 ? width : constants.pictureWidth,
                                                     height > 0 ? height : constants.pictureHeight);
            EXPECT_EQ(logic->AppendPicture(picture, value).result, WriteResult::Ok);
        }
        return path;
    }

    struct MissionPicture {
        int number;  // within the series of the picture's size
        int width;
        int height;
    };
    std::string MakeMissionLibrary(const std::string& name,
                                   const std::vector<MissionPicture>& pictures) {
        const std::string path = File(name);
        auto logic = NewLibrary(EditorKind::Mission, path);
        for (const MissionPicture& picture : pictures) {
            EXPECT_EQ(
                logic->AppendPicture(TestPicture(picture.width, picture.height), picture.number)
                    .result,
                WriteResult::Ok);
        }
        return path;
    }

    std::string WriteBmp(const std::string& name, const IndexedImage& picture) {
        const std::string path = File(name);
        EXPECT_TRUE(WriteBmpFile(path, picture));
        return path;
    }

    // Creates the window as the main window does: library path, caption, Refresh, shown.
    template <class Window>
    Window* Open(const std::string& path, const QString& prefix) {
        auto* window = new Window(QString::fromStdString(path), dialogs_);
        windows_.append(window);
        window->setWindowTitle(
            prefix + QString::fromStdString(std::filesystem::path(path).filename().string()) +
            QStringLiteral(")"));
        window->RefreshClick();
        window->show();
        return window;
    }

    // Answers the next "Open BMP" dialog with `path` (nothing: cancelled) and presses Import.
    void Import(LibraryEditorWindow& window, const std::optional<std::string>& path) {
        dialogs_.fileAnswers.push_back(path ? std::optional(QString::fromStdString(*path))
                                            : std::nullopt);
        window.ImportBmpClick();
    }

    template <class Control>
    static Control* Find(const QWidget& window, const char* name) {
        auto* control = window.findChild<Control*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    static QPushButton* Button(const QWidget& window, const char* name) {
        return Find<QPushButton>(window, name);
    }
    static QSpinBox* Spin(const QWidget& window) {
        return Find<QSpinBox>(window, "IdentifierSpin");
    }
    static QTreeView* List(const QWidget& window) { return Find<QTreeView>(window, "PictureList"); }
    static PreviewPanel* Panel(const QWidget& window) {
        return Find<PreviewPanel>(window, "PreviewPanel");
    }

    static QStringList Column(const QWidget& window, int column = 0) {
        const QAbstractItemModel* model = List(window)->model();
        QStringList texts;
        for (int row = 0; row < model->rowCount(); ++row) {
            texts << model->index(row, column).data().toString();
        }
        return texts;
    }
    static void SelectRows(const QWidget& window, const std::vector<int>& rows) {
        QTreeView* list = List(window);
        list->clearSelection();
        for (int row : rows) {
            list->selectionModel()->select(list->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    static QImage Thumbnail(const QWidget& window, int row) {
        return List(window)
            ->model()
            ->index(row, 0)
            .data(Qt::DecorationRole)
            .value<QPixmap>()
            .toImage();
    }

    TempDir temp_;
    ScopedStateFolder stateFolder_{temp_.Path() / "state"};
    FakeUserDialogs dialogs_;
    QList<QPointer<LibraryEditorWindow>> windows_;
};

}  // namespace vexlor::test
