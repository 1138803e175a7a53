#pragma once

#include <optional>
#include <string>

#include "craft/craft_preview.h"
#include "craft/craft_table_file.h"

namespace vexlor {

// What the user is told, after a beep, when a Save did not write the executable.
struct CraftSaveFailure {
    std::string text;
    std::string caption;
};

// Nothing for a Save that wrote. A file replaced by another version since start-up gets the
// start-up's version message, though the program goes on; a file that cannot be opened for
// writing, or whose write failed and was undone, is named so that the user knows it is unchanged;
// so is the backup that could not be made (`backupPath`, by default the executable's path with
// ".bak").
std::optional<CraftSaveFailure> SaveFailureOf(CraftTablesResult result,
                                              const std::string& executablePath,
                                              const std::string& backupPath);
std::optional<CraftSaveFailure> SaveFailureOf(CraftTablesResult result,
                                              const std::string& executablePath);

// Nothing for a restore that worked; otherwise what the user is told.
std::optional<CraftSaveFailure> RestoreFailureOf(CraftRestoreResult result,
                                                 const std::string& executablePath,
                                                 const std::string& backupPath);

// The confirmation asked before a restore, and its caption.
inline constexpr char kRestoreBackupCaption[] = "Restore the backup";
// `dropsEdits`: the Preview holds changes that are not saved, which the restore drops.
std::string RestoreQuestion(const std::string& executablePath, const std::string& backupPath,
                            bool dropsEdits);

}  // namespace vexlor
