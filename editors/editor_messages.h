#pragma once

#include <string>

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

}  // namespace vexlor
