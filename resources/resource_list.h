#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "resources/line_text.h"

namespace vexlor {

class UserDialogs;

// The game's resource list: the lines of "resdata.txt" in the game folder, held for the whole
// run. Its window shows them; the project commands add lines and the Preview reads them, unsaved
// edits included. Characters are 8-bit and kept byte for byte; lines end with CR LF on disk.
class ResourceList {
  public:
    explicit ResourceList(UserDialogs& dialogs);

    // Called after the lines were changed here rather than in the text area, so that the window
    // can show them again.
    void SetOnLinesChanged(std::function<void()> listener) {
        onLinesChanged_ = std::move(listener);
    }
    // Called after the text area's or the Save button's enabled state may have changed.
    void SetOnStateChanged(std::function<void()> listener) {
        onStateChanged_ = std::move(listener);
    }

    // Replaces the lines with the file's; discards unsaved changes. False (after a beep) when
    // the file could not be read, leaving the lines and Save as they were.
    bool Reload();
    // Writes the lines to the file. False (after a beep) when it could not be written.
    bool Save();
    // Any change of the text: it needs saving, unless a load is replacing it.
    void OnTextChanged();
    // The text as the user left it in the text area; counts as a change.
    void SetEditedText(std::string_view text);

    int LineCount() const { return static_cast<int>(text_.lines.size()); }
    // The line at `index` counted from 0; an empty text when there is none.
    const std::string& Line(int index) const;
    // The index of the first line equal to `line` with the letters A to Z in either case, or -1.
    int IndexOfLine(std::string_view line) const;
    // Puts `line` in front of all others. Only the held list changes until the next Save.
    void InsertFirstLine(std::string line);

    const LineText& Text() const { return text_; }
    bool TextAreaEnabled() const { return textAreaEnabled_; }
    bool SaveEnabled() const { return saveEnabled_; }
    bool Loading() const { return loading_; }
    // Built anew for every load and save.
    static std::string FilePath();

  private:
    void ChangeLines(LineText text);
    void NotifyStateChanged();

    UserDialogs& dialogs_;
    LineText text_;
    bool textAreaEnabled_ = false;
    bool saveEnabled_ = false;
    bool loading_ = false;
    std::function<void()> onLinesChanged_;
    std::function<void()> onStateChanged_;
};

}  // namespace vexlor
