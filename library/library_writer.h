#pragma once

#include <cstdint>
#include <string>

#include "library/images.h"
#include "library/records.h"

namespace vexlor {

enum class WriteResult {
    Ok,
    CannotOpen,   // the library (or its copy) could not be opened; nothing changed
    NotALibrary,  // the header or the group the write needs is not there; nothing changed
    Full,         // a count or size would overflow its field; nothing changed
    WriteFailed,  // a write failed; the library was put back as it was where possible
    Unencodable,  // the picture cannot be encoded; nothing changed
    NotRecorded,  // the change journal or the library's lock refused; nothing changed
    Changed,      // SHIP: the library changed while it was being rebuilt; nothing changed
    HardLinked,   // the library has other hard links; nothing changed
    ReadOnly,     // the library has no write permission; nothing changed
};

// Gives the owner write permission (clears the read-only mark) of a file that is ours alone to
// change: a plain file with no other name. Through a link or at a hard link it would change
// someone else's file, and it does nothing. Errors are ignored, since the write that follows
// reports them.
void ClearReadOnly(const std::string& path);

// Appends a record with its palette and pixels at the end of a library that keeps all its
// pictures in its first group (HULL, MAP, BATTLE/MISSION), then rewrites the header and that
// group with the new counts. The record's DataSize must match the palette and pixels.
WriteResult AppendToSingleGroupLibrary(const std::string& path, const tIMAGE& record,
                                       const tPAL& palette, const tPIX& pixels);

// Adds a SHIP picture with its own group. The library is first copied to `copyPath` (which then
// holds the library as it was); the new library is written from the copy into a file beside
// the library and put in its place only when complete, so the library is always either the
// old one or the new one. A library reached through symbolic links is rebuilt where the links
// lead; the links stay. The copy's name is its own: a link there is replaced, never written
// through; a copy with other hard links is refused (HardLinked), as the library is. New files left
// beside the library or the copy by a rebuild that was stopped are removed first. A library without
// write permission or with other hard links is left as it is (ReadOnly, HardLinked). When the
// library's size or modification time changes between the copy and the moment the rebuilt library
// would take its place, it is left as it is (Changed): the rebuilt one would lose that other
// change.
WriteResult AppendToShipLibrary(const std::string& path, const std::string& copyPath,
                                std::uint16_t groupId, const tPAL& palette, const tPIX& pixels);

enum class RenumberResult {
    Written,
    Mismatch,  // the record at that position does not carry the old number; nothing written
    NoRecord,  // the library has no record at that position
    CannotOpen,
    WriteFailed,
    NotRecorded,  // the change journal or the library's lock refused; nothing written
    ReadOnly,     // the library has no write permission; nothing written
    HardLinked,   // the library has other hard links; nothing written
};

// Where the walk to a record's position starts: after the whole group table (HULL, MAP, SHIP)
// or right after the first group (BATTLE/MISSION, which has exactly one).
enum class RecordsStart { AfterGroupTable, AfterFirstGroup };

// Gives the record at `position` (1 = first) the PictureId `newId` if it still carries `oldId`.
// Only that record's 62-byte header is written.
RenumberResult WritePictureIdAt(const std::string& path, int position, int oldId, int newId,
                                RecordsStart start);

// SHIP: gives the group record and the image record at `position` the GroupId `newId`, each only
// if it still carries `oldId`; the two are tested and written independently. When a write of
// the two fails, the group is put back as it was where the disk allows.
RenumberResult WriteShipGroupIdAt(const std::string& path, int position, int oldId, int newId);

}  // namespace vexlor
