#include "library/replacement_batch.h"

#include <algorithm>
#include <filesystem>

#include "library/utf8_path.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vexlor {

namespace {

std::string FolderOf(const std::string& file) {
    const std::filesystem::path folder = PathFromUtf8(file).parent_path();
    return folder.empty() ? std::string(".") : Utf8Of(folder);
}

#if !defined(_WIN32)
int OpenFolder(const std::string& folder) {
    return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}
#endif

}  // namespace

ReplacementBatch::ReplacementBatch(std::string_view newFileSuffix, ReplacementFile::Links links,
                                   std::size_t filesPerFlush)
    : suffix_(newFileSuffix),
      links_(links),
      filesPerFlush_(std::max<std::size_t>(1, filesPerFlush)) {}

ReplacementBatch::~ReplacementBatch() = default;  // the unflushed new files go with them

std::size_t ReplacementBatch::Add(const std::string& path, std::string_view bytes) {
    const std::size_t number = replaced_.size();
    replaced_.push_back(false);
    try {
        auto file = std::make_unique<ReplacementFile>(path, suffix_, links_,
                                                      ReplacementFile::Leftovers::AlreadyRemoved);
#if defined(_WIN32)
        // A closed file is held by nobody on Windows, so each one is committed on its own.
        replaced_[number] = file->Write(bytes) && file->Commit();
#else
        if (file->Write(bytes) && file->FinishWriting()) {
            pending_.push_back({number, std::move(file)});
        }
        if (pending_.size() >= filesPerFlush_) {
            Flush();
        }
#endif
    } catch (...) {
        // Out of memory: this file is not replaced; the others go on.
    }
    return number;
}

bool ReplacementBatch::PutOnDisk([[maybe_unused]] const std::vector<std::string>& folders) {
#if defined(__linux__)
    // One flush of each file system that holds a folder: the files' data and names together.
    bool synced = true;
    for (const std::string& folder : folders) {
        const int descriptor = OpenFolder(folder);
        synced = descriptor >= 0 && ::syncfs(descriptor) == 0 && synced;
        if (descriptor >= 0) {
            ::close(descriptor);
        }
    }
    return synced;
#else
    bool synced = true;
    for (Pending& pending : pending_) {
        synced = pending.file->SyncFinished() && synced;
    }
    return synced;
#endif
}

void ReplacementBatch::Flush() {
    if (pending_.empty()) {
        return;
    }
    std::vector<std::string> folders;
    try {
        for (const Pending& pending : pending_) {
            const std::string folder = FolderOf(pending.file->TargetPath());
            if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
                folders.push_back(folder);
            }
        }
        if (PutOnDisk(folders)) {
            for (Pending& pending : pending_) {
                replaced_[pending.number] = pending.file->CommitFinished();
            }
            for (const std::string& folder : folders) {
                SyncFolder(folder);
            }
        }
    } catch (...) {
        // Out of memory: what was not renamed stays as it was.
    }
    pending_.clear();
}

bool ReplacementBatch::Replaced(std::size_t number) const {
    return number < replaced_.size() && replaced_[number];
}

}  // namespace vexlor
