#include "browser/library_browser_edit.h"

#include <algorithm>

#include "library/picture_size.h"
#include "pictures/picture_files.h"

namespace vexlor {

std::optional<StoredPicture> StorePicture(const std::string& image, const RgbaPicture& picture,
                                          int width, int height, std::uint16_t format,
                                          ConversionOptions conversion, std::string& refusal) {
    if (!IsAcceptablePictureSize(width, height)) {
        refusal = DescribeEncodeRefusal({EncodeResult::BadSize, -1}, width, height);
        return std::nullopt;
    }
    conversion.softAlpha = format == kIndexAlphaFormat;
    const auto converted = ConvertPicture(picture, width, height, conversion);
    if (!converted) {
        refusal = "Cannot convert the picture " + image + " to " + std::to_string(width) + " x " +
                  std::to_string(height);
        return std::nullopt;
    }
    StoredPicture stored;
    EncodeOutcome outcome;
    if (format == kRunLengthFormat) {
        outcome = EncodeRunLength(converted->image, stored);
    } else {
        std::vector<std::uint8_t> alpha(converted->fitted.PixelCount());
        for (std::size_t i = 0; i < alpha.size(); ++i) {
            alpha[i] = converted->fitted.rgba[i * 4 + 3];
        }
        outcome = EncodeIndexAlpha(converted->image, alpha, stored);
    }
    if (outcome.result != EncodeResult::Ok) {
        refusal = DescribeEncodeRefusal(outcome, width, height);
        return std::nullopt;
    }
    return stored;
}

namespace {

// The picture file is read before the journal's lock is taken: a picture that cannot be read
// changes nothing.
BrowserChange StoreFile(const std::string& journalFolder, const std::string& path,
                        const std::string& image, const PictureChoice& choice, bool add,
                        RecordName name, const std::string& doneText) {
    RgbaPicture picture;
    std::string error;
    if (!ReadPictureFile(image, picture, error)) {
        return {false, error};
    }
    const PictureMaker make = [&](const RecordLookup&, std::string& refusal) {
        return StorePicture(image, picture, choice.width, choice.height, choice.format,
                            choice.conversion, refusal);
    };
    const AnyEditOutcome outcome =
        MakeAnyEdit(journalFolder, path, [&](const std::string& library) {
            return add ? PlanAddRecord(library, name, make) : PlanSetRecord(library, name, make);
        });
    return {outcome.done, outcome.done ? doneText : outcome.message, outcome.row};
}

BrowserChange Outcome(const AnyEditOutcome& outcome, const std::string& doneText, bool showRecord) {
    return {outcome.done, outcome.done ? doneText : outcome.message, showRecord ? outcome.row : -1};
}

}  // namespace

BrowserChange AddPictureFile(const std::string& journalFolder, const std::string& path,
                             RecordName name, const std::string& image,
                             const PictureChoice& choice) {
    return StoreFile(journalFolder, path, image, choice, true, name, "Added " + NameText(name));
}

BrowserChange SetPictureFile(const std::string& journalFolder, const std::string& path,
                             RecordName name, const std::string& image,
                             const PictureChoice& choice) {
    return StoreFile(journalFolder, path, image, choice, false, name,
                     "Replaced the picture of " + NameText(name));
}

BrowserChange RemoveNamedRecords(const std::string& journalFolder, const std::string& path,
                                 const std::vector<RecordName>& names) {
    const AnyEditOutcome outcome =
        MakeAnyEdit(journalFolder, path,
                    [&](const std::string& library) { return PlanRemoveRecords(library, names); });
    return Outcome(outcome,
                   names.size() == 1 ? "Removed " + NameText(names.front())
                                     : "Removed " + std::to_string(names.size()) + " records",
                   false);
}

BrowserChange RenameNamedRecord(const std::string& journalFolder, const std::string& path,
                                RecordName from, RecordName to) {
    const AnyEditOutcome outcome = MakeAnyEdit(
        journalFolder, path,
        [&](const std::string& library) { return PlanRenameRecord(library, from, to); });
    return Outcome(outcome, "Renamed " + NameText(from) + " to " + NameText(to), true);
}

std::uint16_t NextPictureId(const LibraryWalk& walk, std::uint16_t groupId) {
    int highest = -1;
    for (const WalkedRecord& record : walk.records) {
        if (record.record.image.GroupId == groupId) {
            highest = std::max<int>(highest, record.record.image.PictureId);
        }
    }
    return static_cast<std::uint16_t>(std::min(highest + 1, 0xFFFF));
}

std::optional<std::uint16_t> SharedFormat(const LibraryWalk& walk, std::uint16_t groupId) {
    std::optional<std::uint16_t> shared;
    for (const WalkedRecord& record : walk.records) {
        const tIMAGE& image = record.record.image;
        if (image.GroupId != groupId) {
            continue;
        }
        if (shared && *shared != image.PictureFormat) {
            return std::nullopt;
        }
        shared = image.PictureFormat;
    }
    if (shared && *shared != kRunLengthFormat && *shared != kIndexAlphaFormat) {
        return std::nullopt;
    }
    return shared;
}

std::uint16_t UnusedGroupId(const LibraryWalk& walk) {
    int highest = -1;
    for (const WalkedGroup& group : walk.groups) {
        highest = std::max<int>(highest, group.group.GroupId);
    }
    for (const WalkedRecord& record : walk.records) {
        highest = std::max<int>(highest, record.record.image.GroupId);
    }
    return static_cast<std::uint16_t>(std::min(highest + 1, 0xFFFF));
}

}  // namespace vexlor
