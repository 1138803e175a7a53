#include "editors/library_editor_logic.h"

#include "platform/state_folder.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

#include "editors/hull_map_editor_logic.h"
#include "editors/mission_editor_logic.h"
#include "editors/ship_editor_logic.h"
#include "library/replacement_batch.h"
#include "library/replacement_file.h"
#include "pictures/picture_files.h"
#include "platform/path_resolver.h"

namespace vexlor {

namespace {

std::string WithPngExtension(const std::string& bmpName) {
    const std::size_t dot = bmpName.rfind('.');
    return (dot == std::string::npos ? bmpName : bmpName.substr(0, dot)) + ".png";
}

// The exported bitmap's colours with the record's transparency as alpha.
RgbaPicture WithAlpha(const IndexedImage& bitmap, const std::vector<bool>& transparent) {
    RgbaPicture picture(bitmap.width, bitmap.height);
    picture.hasAlpha = true;
    for (std::size_t i = 0; i < picture.PixelCount(); ++i) {
        const Colour colour = bitmap.PaletteColour(bitmap.indices[i]);
        std::uint8_t* pixel = picture.rgba.data() + i * 4;
        const bool clear = i >= transparent.size() || transparent[i];
        pixel[0] = static_cast<std::uint8_t>(RedOf(colour));
        pixel[1] = static_cast<std::uint8_t>(GreenOf(colour));
        pixel[2] = static_cast<std::uint8_t>(BlueOf(colour));
        pixel[3] = clear ? 0 : 255;
    }
    return picture;
}

}  // namespace

std::optional<int> ParseInteger(const std::string& text) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') {
        ++first;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (first == last || error != std::errc() || end != last) {
        return std::nullopt;
    }
    return value;
}

int SpinTextValue(const std::string& text, int minimum, int maximum) {
    return std::clamp(ParseInteger(text).value_or(minimum), minimum, maximum);
}

LibraryEditorLogic::LibraryEditorLogic(EditorKind kind, std::string libraryPath)
    : constants_(ConstantsOf(kind)),
      path_(std::move(libraryPath)),
      journalFolder_(JournalFolder()) {}

namespace {

// Records between two progress reports: often enough for a status line, rare enough to cost
// nothing.
constexpr int kProgressStep = 256;

void Report(const ProgressFunction& progress, int done, int total) {
    if (progress && (done % kProgressStep == 0 || done == total)) {
        progress(done, total);
    }
}

}  // namespace

PictureList LibraryEditorLogic::LoadPictureList(const ProgressFunction& progress,
                                                std::optional<int> mostRows) const {
    PictureList list;
    LibraryReader reader;
    if (!reader.Open(path_)) {
        list.status = ReadStatus::CannotOpen;
        return list;
    }
    list.opened = true;
    list.editable =
        reader.Header().LibraryKind == static_cast<std::uint32_t>(constants_.editableKind);
    list.entries.reserve(reader.Header().ImageCount);
    ImageRecord record;
    while ((!mostRows || list.PictureCount() < *mostRows) && reader.NextRecord(record)) {
        list.entries.push_back({record.position, record.offset, record.image});
        TrackHighest(record.image, list);
        Report(progress, record.position, reader.Header().ImageCount);
        // Refresh reads each record's palette and pixels straight on to the next record.
        reader.ContinueAfterPicture(record);
    }
    list.status =
        reader.HeaderStatus() != ReadStatus::Ok ? reader.HeaderStatus() : reader.LastStatus();
    return list;
}

std::string LibraryEditorLogic::CaptionOf(const tIMAGE& image) const {
    return std::to_string(IdentifierOf(image));
}

std::string LibraryEditorLogic::TypeWordOf(const tIMAGE&) const {
    return {};
}

void LibraryEditorLogic::TrackHighest(const tIMAGE& image, PictureList& list) const {
    list.highestIdentifier = std::max(list.highestIdentifier, IdentifierOf(image));
}

int LibraryEditorLogic::SuggestedIdentifier(const PictureList&) const {
    return constants_.spinMinimum;
}

bool LibraryEditorLogic::ReadThumbnail(const PictureEntry& entry, Thumbnail& thumbnail) const {
    LibraryReader reader;
    if (!reader.Open(path_)) {
        return false;
    }
    std::uint8_t bytes[tIMAGE::kSize];
    if (!reader.File().ReadExactAt(entry.offset, bytes, sizeof bytes) ||
        entry.image.Encode() != std::to_array(bytes)) {
        return false;  // the file changed since the list was made
    }
    tPAL palette;
    tPIX pixels;
    const ImageRecord record{entry.offset, entry.position, entry.image};
    if (reader.ReadPicture(record, palette, pixels) != ReadStatus::Ok) {
        return false;
    }
    return MakeThumbnail(entry.image, std::move(palette), pixels, thumbnail);
}

namespace {

// Whether a record's palette and pixels end where DataSize + 18 says it does: then the list's
// walk, which goes on after the palette and pixels, and the export's, which goes DataSize + 18
// bytes on, stand on the same next record.
bool EndsWhereItSays(const tIMAGE& image) {
    return image.DataSize >= image.PixelOffset &&
           tIMAGE::kSize + 3ull * image.ColourCount + (image.DataSize - image.PixelOffset) ==
               RecordBytes(image);
}

}  // namespace

std::optional<std::vector<ImageRecord>> LibraryEditorLogic::ListedRecords(
    LibraryReader& reader, const PictureList& list, const std::vector<bool>& selected) const {
    std::vector<ImageRecord> records;
    for (std::size_t row = 0; row < selected.size(); ++row) {
        if (row < list.entries.size() && !EndsWhereItSays(list.entries[row].image)) {
            return std::nullopt;
        }
        if (!selected[row]) {
            continue;
        }
        if (row >= list.entries.size()) {
            return std::nullopt;
        }
        const PictureEntry& entry = list.entries[row];
        std::uint8_t bytes[tIMAGE::kSize];
        if (!reader.File().ReadExactAt(entry.offset, bytes, sizeof bytes) ||
            entry.image.Encode() != std::to_array(bytes)) {
            return std::nullopt;  // the file changed since the list was made
        }
        records.push_back({entry.offset, entry.position, entry.image});
    }
    return records;
}

ExportResult LibraryEditorLogic::ExportPictures(const std::vector<int>& rows,
                                                const std::string& outputFolder,
                                                const ProgressFunction& progress,
                                                ExportFormat format,
                                                const PictureList* listed) const {
    ExportResult result;
    LibraryReader reader;
    if (!reader.Open(path_)) {
        return result;
    }
    result.opened = true;
    std::vector<bool> selected(reader.Header().ImageCount, false);
    int unexported = 0;
    for (int row : rows) {
        if (row >= 0 && row < static_cast<int>(selected.size()) &&
            !selected[static_cast<std::size_t>(row)]) {
            selected[static_cast<std::size_t>(row)] = true;
            ++unexported;
        }
    }
    std::string folder = outputFolder;
    // What a stopped export left half written goes before this one adds its own.
    RemoveLeftoverNewFilesIn(folder.empty() ? "." : folder, ".vexlor-new");
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') {
        folder += '/';
    }
    ReplacementBatch batch(".vexlor-new", ReplacementFile::Links::Replace);
    std::vector<ExportedFile> exported;
    int reached = 0;
    const auto known = listed ? ListedRecords(reader, *listed, selected) : std::nullopt;
    for (const ImageRecord& record : known.value_or(std::vector<ImageRecord>{})) {
        reached = record.position;
        Report(progress, record.position, reader.Header().ImageCount);
        exported.push_back(ExportRecord(reader, record, folder, format, batch));
    }
    ImageRecord record;
    while (!known && unexported > 0 && reader.NextRecord(record)) {
        reached = record.position;
        Report(progress, record.position, reader.Header().ImageCount);
        if (!selected[static_cast<std::size_t>(record.position - 1)]) {
            continue;
        }
        --unexported;
        exported.push_back(ExportRecord(reader, record, folder, format, batch));
    }
    batch.Flush();
    for (const ExportedFile& file : exported) {
        (file.added && batch.Replaced(file.number) ? result.written : result.failed)
            .push_back(file.label);
    }
    // Rows the walk never reached: the file ends before their records.
    for (std::size_t row = static_cast<std::size_t>(reached); row < selected.size(); ++row) {
        if (selected[row]) {
            result.failed.push_back("picture in row " + std::to_string(row));
        }
    }
    return result;
}

LibraryEditorLogic::ExportedFile LibraryEditorLogic::ExportRecord(LibraryReader& reader,
                                                                  const ImageRecord& record,
                                                                  const std::string& folder,
                                                                  ExportFormat format,
                                                                  ReplacementBatch& batch) const {
    auto name = ExportFileName(record.image);
    if (name && format == ExportFormat::Png) {
        name = WithPngExtension(*name);
    }
    ExportedFile file;
    file.label = name ? ResolvePath(folder, *name) : "picture " + CaptionOf(record.image);
    tPAL palette;
    tPIX pixels;
    IndexedImage bitmap;
    const bool converted = reader.ReadPicture(record, palette, pixels) == ReadStatus::Ok &&
                           ConvertForExport(record.image, palette, pixels, bitmap);
    if (!converted || !name) {
        return file;
    }
    const std::vector<std::uint8_t> bytes =
        format == ExportFormat::Bmp
            ? EncodeBmp8(bitmap)
            : EncodePng(WithAlpha(bitmap, TransparentPixels(record.image, pixels)));
    if (!bytes.empty()) {
        file.number =
            batch.Add(file.label,
                      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        file.added = true;
    }
    return file;
}

bool LibraryEditorLogic::CheckStagedBmp(const BmpPicture& bitmap) const {
    return bitmap.bitsPerPixel == 8 && HasStagedSize(bitmap.indexed.width, bitmap.indexed.height);
}

bool LibraryEditorLogic::HasStagedSize(int width, int height) const {
    return width == constants_.pictureWidth && height == constants_.pictureHeight;
}

std::string LibraryEditorLogic::StagedSizes() const {
    return std::to_string(constants_.pictureWidth) + " x " +
           std::to_string(constants_.pictureHeight);
}

// Only the colours are decoded for every depth, so they give the size.
std::string LibraryEditorLogic::DescribeRefusedBmp(const std::string& fileName,
                                                   const BmpPicture& bitmap) const {
    const int width = bitmap.colours.width;
    const int height = bitmap.colours.height;
    std::string needed = "a ";
    if (!HasStagedSize(width, height)) {
        needed += StagedSizes() + " ";
    }
    if (bitmap.bitsPerPixel != 8) {
        needed += "256-colour (8-bit) ";
    }
    return fileName + " is " + std::to_string(width) + " x " + std::to_string(height) + " with " +
           std::to_string(bitmap.bitsPerPixel) + " bits per pixel; " + needed + "BMP is needed";
}

std::string LibraryEditorLogic::OutsideRange(int value, int minimum, int maximum) {
    if (value >= minimum && value <= maximum) {
        return {};
    }
    return std::to_string(value) + " is outside " + std::to_string(minimum) + " to " +
           std::to_string(maximum);
}

std::optional<PendingRename> LibraryEditorLogic::AcceptRename(int row,
                                                              const std::string& oldCaption,
                                                              const std::string& newText,
                                                              const std::string& typeWord) const {
    const auto value = ParseInteger(newText);
    if (!value || !IsValidIdentifier(*value, SeriesOfWord(typeWord))) {
        return std::nullopt;
    }
    const int offset = RenameOffset(typeWord);
    PendingRename rename;
    rename.position = row + 1;
    rename.oldCaption = oldCaption;
    rename.newIdentifier = *value + offset;
    if (const auto old = ParseInteger(oldCaption)) {
        rename.oldIdentifier = *old + offset;
        rename.startTimer = true;
    }
    return rename;
}

std::string LibraryEditorLogic::RenameRefusal(const std::string& newText,
                                              const std::string& typeWord) const {
    if (newText.empty()) {
        return "no number was typed";
    }
    const auto value = ParseInteger(newText);
    if (!value) {
        return "\"" + newText + "\" is not a number";
    }
    return IdentifierRefusal(*value, SeriesOfWord(typeWord));
}

int LibraryEditorLogic::RenameOffset(const std::string&) const {
    return 0;
}

std::unique_ptr<LibraryEditorLogic> MakeEditorLogic(EditorKind kind, const std::string& libraryPath,
                                                    const std::string& shipCopyPath) {
    switch (kind) {
        case EditorKind::Hull:
        case EditorKind::Map:
            return std::make_unique<HullMapEditorLogic>(kind, libraryPath);
        case EditorKind::Ship:
            return std::make_unique<ShipEditorLogic>(libraryPath, shipCopyPath);
        case EditorKind::Mission:
            break;
    }
    return std::make_unique<MissionEditorLogic>(libraryPath);
}

}  // namespace vexlor
