#include "library/library_walk.h"

#include "library/utf8_path.h"

#include <filesystem>
#include <system_error>

namespace vexlor {

namespace {

bool IsRegularFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(PathFromUtf8(path), error) && !error;
}

void ReadGroupTable(LibraryReader& reader, LibraryWalk& walk) {
    std::vector<tGROUP> groups;
    reader.ReadGroups(groups);
    walk.groups.reserve(groups.size());
    for (std::size_t i = 0; i < groups.size(); ++i) {
        WalkedGroup walked;
        walked.group = groups[i];
        walked.offset = tHEADER::kSize + static_cast<std::uint64_t>(tGROUP::kSize) * i;
        walk.groups.push_back(walked);
    }
}

// Records are stored group by group, in the table's order. A record whose GroupId is not the
// current group's belongs to the next group of the table that has it; one that no later group
// has belongs to none, and the groups after the current one stay open for the records after it.
class GroupAssigner {
  public:
    explicit GroupAssigner(std::vector<WalkedGroup>& groups) : groups_(groups) {}

    int Assign(std::uint16_t groupId, int recordIndex) {
        for (std::size_t g = current_; g < groups_.size(); ++g) {
            if (groups_[g].group.GroupId != groupId) {
                continue;
            }
            WalkedGroup& group = groups_[g];
            const bool continues =
                group.recordCount > 0 && group.firstRecord + group.recordCount == recordIndex;
            if (group.recordCount > 0 && !continues) {
                return -1;  // its records would not be consecutive
            }
            if (group.recordCount == 0) {
                group.firstRecord = recordIndex;
            }
            ++group.recordCount;
            current_ = g;
            return static_cast<int>(g);
        }
        return -1;
    }

  private:
    std::vector<WalkedGroup>& groups_;
    std::size_t current_ = 0;
};

bool ReadRecordAt(ByteFile& file, std::uint64_t offset, tIMAGE& image) {
    std::uint8_t bytes[tIMAGE::kSize];
    if (!file.ReadExactAt(offset, bytes, sizeof bytes)) {
        return false;
    }
    image = tIMAGE::Decode(bytes);
    return true;
}

void WalkRecords(LibraryReader& reader, LibraryWalk& walk) {
    GroupAssigner assigner(walk.groups);
    std::uint64_t offset = ImageDataStart(walk.header);
    if (offset > walk.fileSize) {
        return;
    }
    while (walk.fileSize - offset >= tIMAGE::kSize) {
        if (walk.records.size() >= kMaxLibraryRecords) {
            walk.stoppedAtRecordLimit = true;
            return;
        }
        WalkedRecord walked;
        if (!ReadRecordAt(reader.File(), offset, walked.record.image)) {
            return;  // a read error: what was read stands
        }
        const int index = static_cast<int>(walk.records.size());
        walked.record.offset = offset;
        walked.record.position = index + 1;
        walked.announced = static_cast<std::size_t>(index) < walk.header.ImageCount;
        walked.group = assigner.Assign(walked.record.image.GroupId, index);
        walked.cutShort = walked.End() > walk.fileSize;
        walked.overlapsNext = !walked.cutShort && walked.ContentEnd() > walked.End();
        offset = walked.End();
        walk.records.push_back(walked);
        if (walked.cutShort) {
            return;
        }
    }
    walk.trailingBytes = walk.fileSize - offset;
}

}  // namespace

std::uint64_t WalkedRecord::ContentEnd() const {
    const tIMAGE& image = record.image;
    const std::uint64_t pixelBytes =
        image.DataSize > image.PixelOffset ? image.DataSize - image.PixelOffset : 0;
    return record.offset + tIMAGE::kSize + 3ull * image.ColourCount + pixelBytes;
}

LibraryWalk WalkLibrary(const std::string& path) {
    LibraryWalk walk;
    LibraryReader reader;
    if (!IsRegularFile(path) || !reader.Open(path)) {
        return walk;
    }
    walk.opened = true;
    walk.fileSize = reader.FileSize();
    if (reader.HeaderStatus() != ReadStatus::Ok) {
        walk.trailingBytes = walk.fileSize;
        return walk;
    }
    walk.headerComplete = true;
    walk.header = reader.Header();
    ReadGroupTable(reader, walk);
    if (walk.GroupTableComplete()) {
        WalkRecords(reader, walk);
    }
    return walk;
}

}  // namespace vexlor
