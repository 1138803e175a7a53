#include "browser/library_extract.h"

#include <cstdio>
#include <filesystem>
#include <set>
#include <system_error>

#include "library/bmp_file.h"
#include "library/replacement_file.h"
#include "library/utf8_path.h"
#include "pictures/picture_files.h"

namespace vexlor {

namespace {

constexpr std::size_t kBmpPaletteEntries = 256;

std::string Joined(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    const char last = folder.back();
    return last == '/' || last == '\\' ? folder + name : folder + "/" + name;
}

// The stem itself the first time, then stem_2, stem_3, ...
std::string FreeName(const std::string& stem, const std::string& extension,
                     const std::set<std::string>& written) {
    std::string name = stem + extension;
    for (int n = 2; written.count(name) != 0; ++n) {
        name = stem + "_" + std::to_string(n) + extension;
    }
    return name;
}

std::string FailureLine(const WalkedRecord& walked, const std::string& reason) {
    return ExtractStem(walked.record.image) + " at offset " + std::to_string(walked.record.offset) +
           ": " + reason;
}

bool WritePicture(const std::string& path, const AnyPicture& picture, ExtractFormat format) {
    return format == ExtractFormat::Bmp ? WriteBmpFile(path, ExtractBitmap(picture))
                                        : WritePngFile(path, ExtractRgba(picture));
}

}  // namespace

std::string ExtractStem(const tIMAGE& image) {
    char stem[16];
    std::snprintf(stem, sizeof stem, "%05u_%05u", static_cast<unsigned>(image.GroupId),
                  static_cast<unsigned>(image.PictureId));
    return stem;
}

IndexedImage ExtractBitmap(const AnyPicture& picture) {
    std::vector<Colour> palette(kBmpPaletteEntries, 0);
    for (std::size_t i = 0; i < kBmpPaletteEntries && i < picture.palette.size(); ++i) {
        palette[i] = static_cast<Colour>(picture.palette[i]) & 0xFFFFFFu;
    }
    IndexedImage image(picture.width, picture.height, std::move(palette));
    image.indices = picture.indices;
    return image;
}

RgbaPicture ExtractRgba(const AnyPicture& picture) {
    RgbaPicture out(picture.width, picture.height);
    out.hasAlpha = true;
    for (std::size_t i = 0; i < picture.PixelCount(); ++i) {
        const Colour colour = picture.PaletteColour(picture.indices[i]);
        std::uint8_t* pixel = out.rgba.data() + 4 * i;
        pixel[0] = static_cast<std::uint8_t>(RedOf(colour));
        pixel[1] = static_cast<std::uint8_t>(GreenOf(colour));
        pixel[2] = static_cast<std::uint8_t>(BlueOf(colour));
        pixel[3] = picture.alpha[i];
    }
    return out;
}

ExtractResult ExtractRecords(const std::string& path, const LibraryWalk& walk,
                             const std::vector<int>& records, const std::string& folder,
                             ExtractFormat format, const ExtractProgress& progress) {
    ExtractResult result;
    LibraryReader reader;
    if (!reader.Open(path)) {
        return result;
    }
    result.opened = true;
    if (!folder.empty()) {
        std::error_code ignored;  // a folder that cannot be made shows in every file's failure
        std::filesystem::create_directories(PathFromUtf8(folder), ignored);
    }
    // What a stopped extraction left half written goes before this one adds its own.
    RemoveLeftoverNewFilesIn(folder.empty() ? "." : folder, ".vexlor-new");
    const std::string extension = format == ExtractFormat::Bmp ? ".bmp" : ".png";
    std::set<std::string> written;
    const int total = static_cast<int>(records.size());
    for (int done = 0; done < total; ++done) {
        const int index = records[static_cast<std::size_t>(done)];
        if (index >= 0 && static_cast<std::size_t>(index) < walk.records.size()) {
            const WalkedRecord& walked = walk.records[static_cast<std::size_t>(index)];
            AnyPicture picture;
            const DrawOutcome drawn = ReadAnyPicture(reader, walked.record, picture);
            const std::string name = FreeName(ExtractStem(walked.record.image), extension, written);
            const std::string target = Joined(folder, name);
            if (drawn != DrawOutcome::Drawn) {
                result.failures.push_back(
                    FailureLine(walked, DescribeDrawOutcome(drawn, walked.record.image)));
            } else if (WritePicture(target, picture, format)) {
                written.insert(name);
                result.written.push_back(target);
            } else {
                result.failures.push_back(FailureLine(walked, "could not write " + target));
            }
        }
        if (progress && !progress(done + 1, total)) {
            result.cancelled = true;
            break;
        }
    }
    return result;
}

}  // namespace vexlor
