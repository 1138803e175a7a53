#pragma once

#include <functional>
#include <string>
#include <vector>

#include "library/library_writer.h"

namespace vexlor {

// The editors' status bar texts for commands that end without doing what the user asked and
// without a message box of their own. `fileName` is the file's name without its folder.

// A library that Refresh, Export BMP or "<- Add" could not open; `action` says what was not
// done ("nothing was exported").
std::string CannotOpenText(const std::string& fileName, const std::string& action = {});
// "<- Add" that changed nothing: why. `shipCopy` names the copy a SHIP append reads from.
std::string AppendFailureText(WriteResult result, const std::string& fileName,
                              const std::string& shipCopy = {});
// A rename whose file write did not happen; `row` counts from 1, `oldCaption` is what the row
// showed before.
std::string RenumberFailureText(RenumberResult result, const std::string& fileName, int row,
                                const std::string& oldCaption);
// Import BMP of a file that cannot be loaded as a bitmap.
std::string UnloadableBmpText(const std::string& fileName);
// Refresh that listed only part of a damaged library; `reason` says what ended the walk.
std::string PartlyListedText(const std::string& fileName, int listed, const std::string& reason);

// Pictures named in a sentence: "4700", "4700 and 4800", "4700, 4800 and BATTLE 2".
std::string NamesInWords(const std::vector<std::string>& names);
// The question before Delete: "Delete 4700 and 4800 from HULL.DAT?". Beyond a screenful of
// names the rest are counted: "Delete 4700, ..., 7600 and 470 more pictures from HULL.DAT?"
std::string DeleteQuestionText(const std::vector<std::string>& names, const std::string& fileName);
// A change refused because the file no longer holds what the list shows; `action` says what
// was not done ("nothing was deleted").
std::string ChangedSinceListedText(const std::string& fileName, const std::string& action);
// What a change did, for the status bar: "Deleted 4700 4800", "Replaced 4700"; many names are
// counted as in the question.
std::string DeletedText(const std::vector<std::string>& names);
std::string ReplacedText(const std::string& name);
// A recorded change's words ("delete 2 1001") with each identifier of an editor's change (append,
// renumber, delete, replace) named by `nameOf` ("delete MISSION 1 mission 1"). The words of other
// changes, whose numbers are not an editor's identifiers, stay as recorded.
std::string NamedInListWords(const std::string& what,
                             const std::function<std::string(int)>& nameOf);
// What Undo and Redo did; `what` is the change as the logic names it ("append 4800").
std::string UndidText(const std::string& what);
std::string RedidText(const std::string& what);
// A picture's identifier that `count` pictures of the library now carry: "4800 is now used by 2
// pictures".
std::string SharedIdentifierText(const std::string& name, int count);

}  // namespace vexlor
