#include "resources/resource_list.h"

#include <cerrno>

#include "platform/folders.h"
#include "platform/path_resolver.h"
#include "platform/user_dialogs.h"
#include "resources/file_replacement.h"

namespace vexlor {

ResourceList::ResourceList(UserDialogs& dialogs) : dialogs_(dialogs) {}

std::string ResourceList::FilePath() {
    return ResolvePath(AppFolders().game, "resdata.txt");
}

bool ResourceList::Reload() {
    loading_ = true;
    const std::optional<std::string> content = ReadWholeFile(FilePath());
    if (content) {
        ChangeLines(SplitLines(*content));
        textAreaEnabled_ = true;
        saveEnabled_ = false;
    } else {
        dialogs_.Beep();
        textAreaEnabled_ = false;
    }
    loading_ = false;
    NotifyStateChanged();
    return content.has_value();
}

bool ResourceList::Save() {
    // The file always ends with a line break; the text area shows the one added here. An empty
    // text has no last line to end and is written as an empty file.
    if (!text_.lines.empty() && !text_.endsWithLineBreak) {
        LineText ended = text_;
        ended.endsWithLineBreak = true;
        ChangeLines(std::move(ended));
    }
    int systemError = 0;
    const bool saved = ReplaceFileContents(FilePath(), JoinLines(text_, "\r\n"), &systemError);
    if (saved) {
        saveEnabled_ = false;
    } else if (systemError == EMLINK) {
        // Not a passing failure that a beep covers: saving again would fail the same way.
        dialogs_.ShowMessage(QString::fromStdString(FilePath()) +
                                 QStringLiteral(" has other hard links, so it was not changed"),
                             QStringLiteral("Error"));
    } else {
        dialogs_.Beep();
    }
    NotifyStateChanged();
    return saved;
}

void ResourceList::OnTextChanged() {
    if (!loading_) {
        saveEnabled_ = true;
        NotifyStateChanged();
    }
}

void ResourceList::SetEditedText(std::string_view text) {
    text_ = SplitLines(text);
    OnTextChanged();
}

const std::string& ResourceList::Line(int index) const {
    static const std::string kNoLine;
    if (index < 0 || index >= LineCount()) {
        return kNoLine;
    }
    return text_.lines[static_cast<std::size_t>(index)];
}

int ResourceList::IndexOfLine(std::string_view line) const {
    for (int i = 0; i < LineCount(); ++i) {
        if (EqualIgnoringAsciiCase(Line(i), line)) {
            return i;
        }
    }
    return -1;
}

void ResourceList::InsertFirstLine(std::string line) {
    LineText inserted = text_;
    // The new line brings its own line break; into an empty text that is the final one.
    if (inserted.lines.empty()) {
        inserted.endsWithLineBreak = true;
    }
    inserted.lines.insert(inserted.lines.begin(), std::move(line));
    ChangeLines(std::move(inserted));
}

void ResourceList::ChangeLines(LineText text) {
    text_ = std::move(text);
    if (onLinesChanged_) {
        onLinesChanged_();
    }
    OnTextChanged();
}

void ResourceList::NotifyStateChanged() {
    if (onStateChanged_) {
        onStateChanged_();
    }
}

}  // namespace vexlor
