#include "tools/craft/craft_save_failure.h"

#include "tools/craft/craft_preview.h"

namespace vexlor {

std::optional<CraftSaveFailure> SaveFailureOf(CraftTablesResult result,
                                              const std::string& executablePath) {
    switch (result) {
        case CraftTablesResult::Ok:
            return std::nullopt;
        case CraftTablesResult::WrongVersion:
            return CraftSaveFailure{kNeedVersionMessage, kBadVersionCaption};
        case CraftTablesResult::CannotWrite:
        case CraftTablesResult::WriteFailed:
            break;
    }
    return CraftSaveFailure{"Cannot write " + executablePath, "Error"};
}

}  // namespace vexlor
