#pragma once

// A HULL library as large as the format allows: 65,535 pictures of 32 x 32, about 138 MB,
// written once per benchmark run into a temporary folder (or as many pictures as asked for).

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "library/creation.h"
#include "library/library_reader.h"
#include "library/records.h"

namespace vexlor::bench {

// Writes a HULL library of `pictures` 32 x 32 index-alpha pictures numbered 0, 1, ... to `path`.
inline bool WriteHullLibrary(const std::string& path, int pictures) {
    const std::uint32_t colours = 2;  // as the game's own HULL pictures: a few colours
    const std::uint32_t pixels = 32 * 32 * 2;
    tIMAGE record = tIMAGE::Make(kIndexAlphaFormat, 32, 32, kHullGroupId, 0, colours, pixels);
    const std::uint64_t recordBytes = RecordBytes(record);
    tHEADER header{};
    std::copy(kSignature.begin(), kSignature.end(), header.Signature);
    header.Reserved1 = 1;
    header.GroupCount = 1;
    header.ImageCount = static_cast<std::uint16_t>(pictures);
    header.ImageDataSize = static_cast<std::uint32_t>(recordBytes * pictures);
    header.ColourCount = colours * static_cast<std::uint32_t>(pictures);
    header.LibraryKind = static_cast<std::uint32_t>(LibraryKind::Hull);
    header.GroupDataSize = tGROUP::kSize;
    tGROUP group{};
    group.GroupId = kHullGroupId;
    group.ImageCount = static_cast<std::uint16_t>(pictures);
    group.ImageDataSize = header.ImageDataSize;
    group.ColourCount = header.ColourCount;

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const auto headerBytes = header.Encode();
    const auto groupBytes = group.Encode();
    std::fwrite(headerBytes.data(), 1, headerBytes.size(), file);
    std::fwrite(groupBytes.data(), 1, groupBytes.size(), file);
    std::vector<std::uint8_t> body(recordBytes - tIMAGE::kSize);
    for (std::size_t k = 0; k < body.size(); ++k) {
        body[k] = static_cast<std::uint8_t>(k * 31);
    }
    for (int k = 0; k < pictures; ++k) {
        record.PictureId = static_cast<std::uint16_t>(k);
        const auto bytes = record.Encode();
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fwrite(body.data(), 1, body.size(), file);
    }
    return std::fclose(file) == 0;
}

class BigHullLibrary {
  public:
    static constexpr int kPictures = 65535;

    explicit BigHullLibrary(int pictures = kPictures) : pictures_(pictures) {
        folder_ =
            std::filesystem::temp_directory_path() /
            ("vexlor-big-hull-" + std::to_string(::getpid()) + "-" + std::to_string(pictures));
        std::filesystem::create_directories(folder_);
        path_ = (folder_ / "HULL.DAT").string();
        Write();
    }
    ~BigHullLibrary() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    BigHullLibrary(const BigHullLibrary&) = delete;
    BigHullLibrary& operator=(const BigHullLibrary&) = delete;

    const std::string& Path() const { return path_; }
    const std::filesystem::path& Folder() const { return folder_; }

  private:
    void Write() { WriteHullLibrary(path_, pictures_); }

    int pictures_;
    std::filesystem::path folder_;
    std::string path_;
};

}  // namespace vexlor::bench
