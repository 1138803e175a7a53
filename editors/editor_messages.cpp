#include "editors/editor_messages.h"

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
    }
    return notWritten + fileName;
}

std::string UnloadableBmpText(const std::string& fileName) {
    return fileName + " cannot be loaded as a BMP picture; nothing is staged";
}

std::string PartlyListedText(const std::string& fileName, int listed, const std::string& reason) {
    return fileName + " is damaged: " + std::to_string(listed) + " pictures listed, then " + reason;
}

}  // namespace vexlor
