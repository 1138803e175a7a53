#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/command.h"
#include "editors/library_editor_logic.h"

namespace vexlor::cli {

// The library editors' commands: list, export, append and renumber for a KIND.
int RunList(const Invocation& invocation);
int RunExport(const Invocation& invocation);
int RunAppend(const Invocation& invocation);
int RunRenumber(const Invocation& invocation);

// Shared with the other commands on a KIND's library.
// The editor logic for the command's KIND and FILE, or nothing after a usage error.
std::unique_ptr<LibraryEditorLogic> LogicFor(const Invocation& invocation, int& usageStatus);
// The file's name without its folder, as the windows' messages name a library.
std::string FileNameOf(const std::string& path);
// Prints "Cannot open PATH" and returns the failure status.
int CannotOpen(const std::string& path);
// "<- Add" of a staged picture: prints the stored identifier, or why nothing was added. The
// journal names the change by `command`, the command's own name.
int AppendStaged(const LibraryEditorLogic& logic, const ImageToAdd& staged, int value,
                 const std::string& command);
// A row number from 0.
std::optional<int> ParseRow(const std::string& text);
// The ROW arguments from the `first` on; nothing, with `usageStatus` set, when one is no row.
std::optional<std::vector<int>> ParseRows(const Invocation& invocation, std::size_t first,
                                          int& usageStatus);

}  // namespace vexlor::cli
