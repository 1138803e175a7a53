#include "demo/demo_game_writer.h"

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "demo/demo_contents.h"
#include "demo/demo_executable.h"
#include "demo/demo_text_files.h"
#include "demo/staged_file.h"
#include "editors/library_editor_logic.h"
#include "library/creation.h"
#include "library/utf8_path.h"
#include "platform/ini_file.h"

namespace vexlor::demo {

namespace {

namespace fs = std::filesystem;

constexpr char kLibraryFolderName[] = "Resdata";
constexpr char kExecutableName[] = "xwingalliance.exe";
constexpr char kConfigurationName[] = "vexlor.ini";

fs::path AbsoluteOf(const fs::path& folder) {
    std::error_code error;
    const fs::path absolute = fs::absolute(folder, error);
    return (error ? folder : absolute).lexically_normal();
}

std::string WithFinalSeparator(const fs::path& folder) {
    return Utf8Of(folder) + static_cast<char>(fs::path::preferred_separator);
}

class DemoGameWriter {
  public:
    explicit DemoGameWriter(const fs::path& folder)
        : base_(AbsoluteOf(folder)), game_(base_ / kDemoGameFolderName) {}

    DemoOutcome Write() {
        const bool written = MakeFolders() && WriteExecutable() && WriteTextFiles() &&
                             WriteLibraries() && WriteConfiguration();
        return {written, WithFinalSeparator(game_), problem_};
    }

  private:
    bool MakeFolder(const fs::path& folder) {
        std::error_code error;
        fs::create_directories(folder, error);
        if (error || !fs::is_directory(folder, error)) {
            problem_ = "cannot make the folder " + Utf8Of(folder) + ": " +
                       (error ? error.message() : "a file of that name is in the way");
            return false;
        }
        return true;
    }

    // The game folder may be replaced only when it is empty or a demo made it: the executable
    // is written first, so even a demo that failed part-way is recognised.
    bool GameFolderIsFree() {
        std::error_code error;
        if (!fs::exists(game_, error)) {
            return true;
        }
        if (!fs::is_directory(game_, error)) {
            problem_ = Utf8Of(game_) + " exists and is not a folder; nothing was written";
            return false;
        }
        if (IsDemoExecutable(Utf8Of(game_ / kExecutableName)) || fs::is_empty(game_, error)) {
            return true;
        }
        problem_ = Utf8Of(game_) +
                   " holds files that the demo did not write (a game installation?); nothing "
                   "was written";
        return false;
    }

    bool MakeFolders() {
        return MakeFolder(base_) && GameFolderIsFree() && MakeFolder(game_) &&
               MakeFolder(game_ / kLibraryFolderName);
    }

    bool WriteExecutable() {
        const std::vector<std::uint8_t> bytes = DemoExecutableBytes(DemoCraftTables());
        return WriteFileReplacing(game_ / kExecutableName,
                                  {reinterpret_cast<const char*>(bytes.data()), bytes.size()},
                                  problem_);
    }

    bool WriteTextFiles() {
        std::vector<std::string> names;
        for (const DemoLibrary& library : libraries_) {
            names.push_back(library.fileName);
        }
        return WriteFileReplacing(game_ / "strings.txt", DemoStringsText(), problem_) &&
               WriteFileReplacing(game_ / "resdata.txt", DemoResourceListText(names), problem_);
    }

    // Filled through the editors' own "<- Add", so the demo libraries are what the editors
    // would have made from these pictures.
    bool FillLibrary(const DemoLibrary& library, const fs::path& path, const fs::path& made,
                     const fs::path& copy) {
        if (!CreateLibrary(ConstantsOf(library.kind).editableKind, Utf8Of(made))) {
            problem_ = CannotWrite(path, "the empty library could not be written");
            return false;
        }
        const auto logic = MakeEditorLogic(library.kind, Utf8Of(made), Utf8Of(copy));
        for (const DemoPicture& picture : library.pictures) {
            if (logic->AppendPicture(picture.image, picture.value).result != WriteResult::Ok) {
                problem_ = CannotWrite(
                    made, "picture " + std::to_string(picture.value) + " could not be added");
                return false;
            }
        }
        return true;
    }

    bool WriteLibrary(const DemoLibrary& library) {
        const fs::path path = game_ / kLibraryFolderName / library.fileName;
        const fs::path made = StagingPathOf(path);
        fs::path copy = path;
        copy += ".vexlor-demo-copy";
        const bool filled = FillLibrary(library, path, made, copy);
        std::error_code ignored;
        fs::remove(copy, ignored);
        if (!filled) {
            fs::remove(made, ignored);
            return false;
        }
        return PutInPlace(made, path, problem_);
    }

    bool WriteLibraries() {
        for (const DemoLibrary& library : libraries_) {
            if (!WriteLibrary(library)) {
                return false;
            }
        }
        return true;
    }

    bool WriteConfiguration() {
        const fs::path path = base_ / kConfigurationName;
        int systemError = 0;
        if (!WriteProfileString(Utf8Of(path), "Folders", "XWingAlliance", WithFinalSeparator(game_),
                                &systemError)) {
            problem_ = CannotWrite(path, systemError == EMLINK
                                             ? "it has other hard links, so it was not changed"
                                             : "it is not a text file that can be changed") +
                       " (the game folder " + WithFinalSeparator(game_) + " was written)";
            return false;
        }
        return true;
    }

    fs::path base_;
    fs::path game_;
    std::vector<DemoLibrary> libraries_ = DemoLibraries();
    std::string problem_;
};

}  // namespace

DemoOutcome WriteDemoGame(const std::string& folder) {
    return DemoGameWriter(PathFromUtf8(folder)).Write();
}

}  // namespace vexlor::demo
