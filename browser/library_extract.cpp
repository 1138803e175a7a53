#include "browser/library_extract.h"

#include <cstdio>
#include <filesystem>
#include <set>
#include <system_error>

#include "library/bmp_file.h"
#include "library/replacement_batch.h"
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

// The file's bytes; empty when the picture cannot be encoded.
std::vector<std::uint8_t> EncodePicture(const AnyPicture& picture, ExtractFormat format) {
    return format == ExtractFormat::Bmp ? EncodeBmp8(ExtractBitmap(picture))
                                        : EncodePng(ExtractRgba(picture));
}

// One record's fate: a failure known at once, or a file waiting in the batch.
struct Extracted {
    const WalkedRecord* walked = nullptr;
    std::string target;
    std::string failure;  // empty: the batch's file `number` tells
    std::size_t number = 0;
};

void CollectResults(const std::vector<Extracted>& extracted, const ReplacementBatch& batch,
                    ExtractResult& result) {
    for (const Extracted& one : extracted) {
        if (!one.failure.empty()) {
            result.failures.push_back(one.failure);
        } else if (batch.Replaced(one.number)) {
            result.written.push_back(one.target);
        } else {
            result.failures.push_back(FailureLine(*one.walked, "could not write " + one.target));
        }
    }
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
    // Exported pictures are files of their own names: a link planted at one is replaced.
    ReplacementBatch batch(".vexlor-new", ReplacementFile::Links::Replace);
    std::vector<Extracted> extracted;
    std::set<std::string> written;
    const int total = static_cast<int>(records.size());
    for (int done = 0; done < total; ++done) {
        const int index = records[static_cast<std::size_t>(done)];
        if (index >= 0 && static_cast<std::size_t>(index) < walk.records.size()) {
            const WalkedRecord& walked = walk.records[static_cast<std::size_t>(index)];
            AnyPicture picture;
            const DrawOutcome drawn = ReadAnyPicture(reader, walked.record, picture);
            const std::string name = FreeName(ExtractStem(walked.record.image), extension, written);
            Extracted one;
            one.walked = &walked;
            one.target = Joined(folder, name);
            if (drawn != DrawOutcome::Drawn) {
                one.failure = FailureLine(walked, DescribeDrawOutcome(drawn, walked.record.image));
            } else if (const auto bytes = EncodePicture(picture, format); bytes.empty()) {
                one.failure = FailureLine(walked, "could not write " + one.target);
            } else {
                one.number = batch.Add(
                    one.target,
                    std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
                // Taken as written: a name the disk then refuses stays taken for this call.
                written.insert(name);
            }
            extracted.push_back(std::move(one));
        }
        if (progress && !progress(done + 1, total)) {
            result.cancelled = true;
            break;
        }
    }
    batch.Flush();
    CollectResults(extracted, batch, result);
    return result;
}

}  // namespace vexlor
