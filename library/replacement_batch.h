#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "library/replacement_file.h"

namespace vexlor {

// New contents for many files at once (the pictures of an extraction or an export), each
// taking its name only when whole, as a ReplacementFile does, so that whatever instant the
// process stops every name holds its old file or its new one. Where each ReplacementFile waits
// twice for the disk (the file, then its folder), a batch lets up to kFilesPerFlush new files
// wait beside their names, puts them on the disk together, renames them into place and syncs
// each of their folders once. Their folders must have been cleared of leftovers
// (RemoveLeftoverNewFilesIn) before. Nothing throws.
class ReplacementBatch {
  public:
    // Enough to make the flushes rare, few enough that the held new files stay well inside the
    // number of files a process may have open.
    static constexpr std::size_t kFilesPerFlush = 128;

    ReplacementBatch(std::string_view newFileSuffix, ReplacementFile::Links links,
                     std::size_t filesPerFlush = kFilesPerFlush);
    ~ReplacementBatch();
    ReplacementBatch(const ReplacementBatch&) = delete;
    ReplacementBatch& operator=(const ReplacementBatch&) = delete;

    // Writes `bytes` as the new content of `path`; its number, by which Replaced tells after
    // the next Flush whether the file took the name. Flushes by itself when the batch is full.
    std::size_t Add(const std::string& path, std::string_view bytes);
    // Puts every file added since the last flush on the disk and in its place. A file system
    // that cannot say its files are on the disk fails them all, leaving their names as they were.
    void Flush();
    // Whether the file that Add numbered took its name; false for one not yet flushed.
    bool Replaced(std::size_t number) const;

  private:
    struct Pending {
        std::size_t number = 0;
        std::unique_ptr<ReplacementFile> file;
    };

    bool PutOnDisk(const std::vector<std::string>& folders);

    std::string suffix_;
    ReplacementFile::Links links_;
    std::size_t filesPerFlush_;
    std::vector<Pending> pending_;
    std::vector<bool> replaced_;
};

}  // namespace vexlor
