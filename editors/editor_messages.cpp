#include "editors/editor_messages.h"

#include <optional>
#include <sstream>

#include "editors/library_editor_logic.h"
#include "library/write_access.h"

namespace vexlor {

std::string CannotOpenText(const std::string& fileName, const std::string& action) {
    return "Cannot open " + fileName + (action.empty() ? "" : "; " + action);
}

std::string AppendFailureText(WriteResult result, const std::string& fileName,
                              const std::string& shipCopy) {
    const std::string nothing = "nothing was added to " + fileName;
    switch (result) {
        case WriteResult::Ok:
            return {};
        case WriteResult::CannotOpen:
            return shipCopy.empty() ? CannotOpenText(fileName, "nothing was added")
                                    : "Cannot open " + fileName + " or its copy " + shipCopy +
                                          "; nothing was added";
        case WriteResult::NotALibrary:
            return "Not added: " + fileName + " lacks the header or group it needs";
        case WriteResult::Full:
            return "Not added: " + fileName + " is full (a count or size would overflow)";
        case WriteResult::WriteFailed:
            return "Writing " + fileName + " failed; it was put back as it was where possible";
        case WriteResult::Unencodable:
            return "Not added: the staged picture cannot be encoded; " + nothing;
        case WriteResult::NotRecorded:
            return "Not added: the change could not be recorded, or another Vexlor is writing " +
                   fileName;
        case WriteResult::Changed:
            return "Not added: " + fileName +
                   " was changed by another program while the picture was being added; " + nothing +
                   ", press Refresh and add it again";
        case WriteResult::HardLinked:
            return fileName + (shipCopy.empty() ? "" : " or its copy " + shipCopy) +
                   " has other hard links, so it was not changed; " + nothing;
        case WriteResult::ReadOnly:
            return ReadOnlyText(fileName);
    }
    return nothing;
}

std::string RenumberFailureText(RenumberResult result, const std::string& fileName, int row,
                                const std::string& oldCaption) {
    const std::string notWritten = "The new number was not written: ";
    switch (result) {
        case RenumberResult::Written:
            return {};
        case RenumberResult::Mismatch:
            return notWritten + "the picture in row " + std::to_string(row) + " of " + fileName +
                   " no longer has the number " + oldCaption + "; press Refresh";
        case RenumberResult::NoRecord:
            return notWritten + fileName + " has no picture in row " + std::to_string(row) +
                   " any more; press Refresh";
        case RenumberResult::CannotOpen:
            return notWritten + "cannot open " + fileName;
        case RenumberResult::WriteFailed:
            return notWritten + "writing " + fileName + " failed";
        case RenumberResult::NotRecorded:
            return notWritten + "the change could not be recorded, or another Vexlor is writing " +
                   fileName;
        case RenumberResult::ReadOnly:
            return ReadOnlyText(fileName);
        case RenumberResult::HardLinked:
            return HardLinkedText(fileName);
    }
    return notWritten + fileName;
}

std::string UnloadableBmpText(const std::string& fileName) {
    return fileName + " cannot be loaded as a BMP picture; nothing is staged";
}

std::string PartlyListedText(const std::string& fileName, int listed, const std::string& reason) {
    return fileName + " is damaged: " + std::to_string(listed) + " pictures listed, then " + reason;
}

namespace {

// As many names as a message box shows without growing past the screen.
constexpr std::size_t kNamesShownAtMost = 40;

std::vector<std::string> CountedBeyondScreenful(const std::vector<std::string>& names) {
    if (names.size() <= kNamesShownAtMost) {
        return names;
    }
    std::vector<std::string> shown(names.begin(), names.begin() + kNamesShownAtMost - 1);
    shown.push_back(std::to_string(names.size() - shown.size()) + " more pictures");
    return shown;
}

}  // namespace

std::string NamesInWords(const std::vector<std::string>& names) {
    std::string words;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            words += i + 1 == names.size() ? " and " : ", ";
        }
        words += names[i];
    }
    return words;
}

std::string DeleteQuestionText(const std::vector<std::string>& names, const std::string& fileName) {
    return "Delete " + NamesInWords(CountedBeyondScreenful(names)) + " from " + fileName + "?";
}

std::string ChangedSinceListedText(const std::string& fileName, const std::string& action) {
    return fileName + " has changed since it was listed; " + action + ". Press Refresh and " +
           "choose again";
}

std::string DeletedText(const std::vector<std::string>& names) {
    const std::vector<std::string> shown = CountedBeyondScreenful(names);
    std::string text = "Deleted";
    for (std::size_t i = 0; i < shown.size(); ++i) {
        text += (i + 1 == shown.size() && shown.size() < names.size() ? " and " : " ") + shown[i];
    }
    return text;
}

std::string ReplacedText(const std::string& name) {
    return "Replaced " + name;
}

namespace {

bool IsEditorChange(const std::string& verb) {
    return verb == "append" || verb == "renumber" || verb == "delete" || verb == "replace";
}

}  // namespace

std::string NamedInListWords(const std::string& what,
                             const std::function<std::string(int)>& nameOf) {
    std::istringstream words(what);
    std::string verb;
    if (!(words >> verb) || !IsEditorChange(verb)) {
        return what;
    }
    std::string named = verb;
    for (std::string word; words >> word;) {
        const std::optional<int> identifier = ParseInteger(word);
        // A long delete is recorded with its first names and " ...", which stays.
        named += " " + (identifier && *identifier >= 0 ? nameOf(*identifier) : word);
    }
    return named;
}

std::string UndidText(const std::string& what) {
    return "Undid " + what;
}

std::string RedidText(const std::string& what) {
    return "Redid " + what;
}

std::string SharedIdentifierText(const std::string& name, int count) {
    return name + " is now used by " + std::to_string(count) + " pictures";
}

}  // namespace vexlor
