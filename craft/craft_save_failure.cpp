#include "craft/craft_save_failure.h"

#include "craft/craft_preview.h"

namespace vexlor {

std::optional<CraftSaveFailure> SaveFailureOf(CraftTablesResult result,
                                              const std::string& executablePath,
                                              const std::string& backupPath) {
    switch (result) {
        case CraftTablesResult::Ok:
            return std::nullopt;
        case CraftTablesResult::WrongVersion:
            return CraftSaveFailure{kNeedVersionMessage, kBadVersionCaption};
        case CraftTablesResult::BackupFailed:
            return CraftSaveFailure{
                "Cannot make the backup " + backupPath + ", so the executable was not changed",
                "Error"};
        case CraftTablesResult::Incomplete:
            return CraftSaveFailure{"The craft tables could not be read whole from " +
                                        executablePath +
                                        ", so it was not changed: what could not be read would "
                                        "be written back as zeros",
                                    "Error"};
        case CraftTablesResult::HardLinked:
            return CraftSaveFailure{executablePath + " has other hard links, so it was not changed",
                                    "Error"};
        case CraftTablesResult::CannotWrite:
        case CraftTablesResult::WriteFailed:
            break;
    }
    return CraftSaveFailure{"Cannot write " + executablePath, "Error"};
}

std::optional<CraftSaveFailure> SaveFailureOf(CraftTablesResult result,
                                              const std::string& executablePath) {
    return SaveFailureOf(result, executablePath, executablePath + ".bak");
}

std::optional<CraftSaveFailure> RestoreFailureOf(CraftRestoreResult result,
                                                 const std::string& executablePath,
                                                 const std::string& backupPath) {
    switch (result) {
        case CraftRestoreResult::Ok:
            return std::nullopt;
        case CraftRestoreResult::NoBackup:
            return CraftSaveFailure{"There is no backup " + backupPath, "Error"};
        case CraftRestoreResult::BackupWrongVersion:
            return CraftSaveFailure{"The backup " + backupPath +
                                        " is not XWingAlliance 2.02, so the executable was not "
                                        "changed",
                                    kBadVersionCaption};
        case CraftRestoreResult::CannotWrite:
            return CraftSaveFailure{"Cannot write " + executablePath + "; it was not changed",
                                    "Error"};
        case CraftRestoreResult::HardLinked:
            return CraftSaveFailure{executablePath + " has other hard links, so it was not changed",
                                    "Error"};
        case CraftRestoreResult::RestoredWrongVersion:
            break;
    }
    return CraftSaveFailure{"The restored " + executablePath +
                                " is not XWingAlliance 2.02; the Preview keeps the values it "
                                "had",
                            kBadVersionCaption};
}

std::string RestoreQuestion(const std::string& executablePath, const std::string& backupPath,
                            bool dropsEdits) {
    std::string question = "The content of " + executablePath +
                           " is replaced by the content of its backup " + backupPath +
                           ". Every change saved into the executable since the backup was made "
                           "is undone.";
    if (dropsEdits) {
        question += " The changes in the Preview that are not saved are dropped.";
    }
    return question + "\n\nRestore the backup?";
}

}  // namespace vexlor
