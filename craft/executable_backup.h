#pragma once

#include <string>

namespace vexlor {

// The copy of the game executable that the first Save of a run to change it leaves beside it.
inline constexpr char kExecutableBackupName[] = "xwingalliance.exe.bak";

enum class BackupResult {
    Made,
    AlreadyThere,  // a backup was there before; it is never overwritten
    Failed,        // no backup was made, and no half-written one was left behind
};

// Copies `source` to `backup` unless a file named `backup` exists. The copy is written in full to
// a new file and reaches the disk before it takes the name, and it takes the name only while no
// other file holds it, so `backup` is always either absent, the file that was there, or a
// complete copy. A folder or anything else that stands at `backup` is a failure.
BackupResult BackUpFile(const std::string& source, const std::string& backup);

// Gives `target` the content of `backup`: a complete copy is written beside `target` and then
// renamed over it, so `target` is never half restored. A read-only `target` is refused, as an
// in-place write would be. False when `target` was left as it was.
// A `target` with other hard links is refused too; `systemError`, when given, then receives
// EMLINK.
bool RestoreFileFrom(const std::string& backup, const std::string& target,
                     int* systemError = nullptr);

}  // namespace vexlor
