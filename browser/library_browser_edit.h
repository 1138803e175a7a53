#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "browser/library_browser_logic.h"
#include "library/any_library_edit.h"
#include "pictures/picture_conversion.h"
#include "pictures/rgba_picture.h"

namespace vexlor {

// `picture` converted to width x height and encoded in `format` (23 or 24) as a record stores
// it; nothing, with `refusal` set (for people, naming `image`), when it cannot be.
std::optional<StoredPicture> StorePicture(const std::string& image, const RgbaPicture& picture,
                                          int width, int height, std::uint16_t format,
                                          ConversionOptions conversion, std::string& refusal);

// How the browser stores a picture file in a record: the format, size and conversion chosen.
struct PictureChoice {
    std::uint16_t format = kRunLengthFormat;
    int width = 0;
    int height = 0;
    ConversionOptions conversion;
};

// The browser's changes of a library, each through the change journal so that Undo takes it
// back; `message` says what was done, or why nothing was.
BrowserChange AddPictureFile(const std::string& journalFolder, const std::string& path,
                             RecordName name, const std::string& image,
                             const PictureChoice& choice);
BrowserChange SetPictureFile(const std::string& journalFolder, const std::string& path,
                             RecordName name, const std::string& image,
                             const PictureChoice& choice);
BrowserChange RemoveNamedRecords(const std::string& journalFolder, const std::string& path,
                                 const std::vector<RecordName>& names);
BrowserChange RenameNamedRecord(const std::string& journalFolder, const std::string& path,
                                RecordName from, RecordName to);

// The PictureId a new record of group `groupId` would take: one above the highest it has.
std::uint16_t NextPictureId(const LibraryWalk& walk, std::uint16_t groupId);

// The format that every record of group `groupId` has, when it has records and they share one
// that the browser writes (23 or 24): what an add offers, as the command line defaults to.
std::optional<std::uint16_t> SharedFormat(const LibraryWalk& walk, std::uint16_t groupId);

// A GroupId that no group and no record has, offered for a new group: one above the highest.
std::uint16_t UnusedGroupId(const LibraryWalk& walk);

}  // namespace vexlor
