#pragma once

#include <cstdint>
#include <string>
#include <system_error>

namespace vexlor {

// What stands between a writer and the file at the end of a path's symbolic links.
enum class WriteAccess {
    Allowed,     // a plain file that may be changed
    Missing,     // nothing there (a writer that creates files may make it)
    NotPlain,    // a folder, a device or a link that leads nowhere readable
    ReadOnly,    // no write permission: its owner's write bit is off, or the system refuses
    HardLinked,  // other names share its content
};

// Asked of the file itself, not of its permission bits alone: root may write any file the
// system lets it, so a file whose owner may not write it is read-only for every writer, root
// included, and the system's own answer covers read-only mounts and access control lists.
WriteAccess WriteAccessOf(const std::string& path);

// The number of names the file has (1 for a file with no other hard link).
std::uintmax_t HardLinkCount(const std::string& file, std::error_code& error);

// The one message of every writer that leaves a read-only file alone: "HULL.DAT is read-only
// (it has no write permission), so it was not changed". `name` is what the writer calls the
// file (its name in a window, its path on the command line).
std::string ReadOnlyText(const std::string& name);
// The same for a file with other hard links: a rewrite would cut it loose from its other names
// and an in-place write would change them all, so neither is made.
std::string HardLinkedText(const std::string& name);
// The message for `access` when it refuses a write; empty when it does not (Allowed, Missing
// and NotPlain are for the writer to judge).
std::string WriteRefusalText(WriteAccess access, const std::string& name);

}  // namespace vexlor
