#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace vexlor {

// The file that writing to `path` changes: the end of its chain of symbolic links, each
// relative link taken from the folder that holds it; `path` itself when it is no link. The end
// need not exist (a dangling link). Nothing when the chain loops or a link cannot be read.
std::optional<std::string> FinalLinkTarget(const std::string& path);

// A new content for a file, written into a new file beside it and renamed over it only once it
// is complete and on the disk, so that whatever instant the process stops the file is whole,
// old or new. Through a symbolic link it is the file at the end of the links that is replaced;
// the links stay. The new file takes the replaced file's permissions. Until Commit succeeds,
// nothing but the new file (and the new files that stopped writers left, see
// RemoveLeftoverNewFiles) is touched, and the new file goes when the object does.
// Standard C++ and the system's calls only; nothing throws.
//
// A target with other hard links is refused (SystemError() == EMLINK): replacing it would cut
// it loose from the other names, which would go on showing the old content. So is a target
// without write permission (EACCES), also for root: read-only means unchanged.
class ReplacementFile {
  public:
    // What a symbolic link at the path stands for: the file it leads to, which is replaced
    // with the link kept (a library, a setting); or a name of its own, where the link is
    // replaced and whatever it leads to is left alone (an exported picture, a temporary copy,
    // where a planted link must not steer the write elsewhere).
    enum class Links { Follow, Replace };
    // Whether the new files that stopped writers left beside the target are looked for first,
    // or were already removed for the whole folder (RemoveLeftoverNewFilesIn) by a writer of
    // many files, for whom a hundred names looked up per file would cost more than the write.
    enum class Leftovers { RemoveFirst, AlreadyRemoved };

    // Makes the new file: the target's name followed by `newFileSuffix`, in the target's folder
    // (and a number, when a file of that name is there already). Refused (IsOpen false) when the
    // target is read-only, a folder or another file that is not plain, when the target's folder
    // does not exist, or when the new file cannot be made.
    ReplacementFile(const std::string& path, std::string_view newFileSuffix,
                    Links links = Links::Follow, Leftovers leftovers = Leftovers::RemoveFirst);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    // Where the new file is, for writers that open it themselves; they close it before Commit.
    const std::string& NewFilePath() const { return newPath_; }
    // The file that Commit replaces.
    const std::string& TargetPath() const { return target_; }

    // Appends `bytes` to the new file.
    bool Write(std::string_view bytes);
    // Puts the new file on the disk and in the target's place. On failure the target is as it
    // was and the new file is gone.
    bool Commit();
    // The system's error number of the first failure, 0 when none was reported.
    int SystemError() const { return systemError_; }

    // Commit in three steps, for a writer of many files (ReplacementBatch) that puts them all
    // on the disk at once: FinishWriting closes the new file without syncing it (it stays
    // held, so no clean-up takes it for a leftover); the caller then puts it on the disk, with
    // SyncFinished or a sync of the whole file system; CommitFinished renames it into place
    // and leaves the folder's sync to the caller. On failure the new file is gone.
    bool FinishWriting();
    bool SyncFinished();
    bool CommitFinished();

  private:
    bool Prepare(const std::string& path, std::string_view newFileSuffix, Links links,
                 Leftovers leftovers);
    bool PutInPlace();
    bool MayReplace(Links links);
    bool CreateNewFile();
    void Discard();
    bool Fail();

    std::string target_;
    std::string newPath_;
    std::FILE* file_ = nullptr;
    bool committed_ = false;
    bool finished_ = false;
    bool keepPermissions_ = true;
    int systemError_ = 0;
    int held_ = -1;  // the lock that tells a running writer's new file from a leftover
};

// Puts the names in `folder` (the renames just made into it) on the disk; on POSIX a rename is
// durable only then. Nothing to do on Windows, whose renames here are written through. Failing
// cannot be undone any more (the new files are in place), so it is not reported.
void SyncFolder(const std::string& folder);

// Removes the new files that a ReplacementFile of `path` left when its process was stopped
// ("SHIP.DAT.vexlor-new", "SHIP.DAT.vexlor-new-2"), beside the file that the links lead to
// (Follow) or beside the name itself (Replace). A new file that a running writer is still
// filling is left to it, and so is anything of those names that is neither a plain file nor a
// link (a folder); a link at one of the names is removed, never what it leads to. Every
// ReplacementFile with a ".vexlor-" suffix does this for its own target before it starts.
void RemoveLeftoverNewFiles(const std::string& path, std::string_view newFileSuffix,
                            ReplacementFile::Links links = ReplacementFile::Links::Follow);

// The same for every file of `folder` named like such a new file ("4700.png.vexlor-new"), for
// writers that fill a folder with files of many names.
void RemoveLeftoverNewFilesIn(const std::string& folder, std::string_view newFileSuffix);

// The whole replacement in one: `bytes` become the content of the file at `path` (created when
// missing). False, with the file unchanged, when it cannot be done; then `systemError`, when
// given, receives ReplacementFile::SystemError().
bool ReplaceFileWith(const std::string& path, std::string_view bytes,
                     std::string_view newFileSuffix, int* systemError = nullptr,
                     ReplacementFile::Links links = ReplacementFile::Links::Follow);

}  // namespace vexlor
