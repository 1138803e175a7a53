#include "craft/craft_pictures.h"

#include <algorithm>
#include <array>
#include <new>

#include "library/creation.h"
#include "library/index_alpha.h"
#include "library/library_reader.h"
#include "library/run_length.h"
#include "library/shade.h"
#include "platform/path_resolver.h"

namespace vexlor {

namespace {

enum class PictureKind { Hull, Map, Ship };

// One kind's part of the search: what it looks for and where its result goes.
struct KindSearch {
    PictureKind kind;
    bool wanted;
    std::uint16_t number;
    std::optional<CraftPicture>* result;
};

enum class LibraryOutcome { Found, NotFound, CannotOpen };

bool PassesKindTest(PictureKind kind, const std::string& path) {
    switch (kind) {
        case PictureKind::Hull:
            return IsHullLibrary(path);
        case PictureKind::Map:
            return IsMapLibrary(path);
        case PictureKind::Ship:
            return IsShipLibrary(path);
    }
    return false;
}

// SHIP libraries number their pictures by group; the others by PictureId.
std::uint16_t PictureNumberOf(PictureKind kind, const tIMAGE& image) {
    return kind == PictureKind::Ship ? image.GroupId : image.PictureId;
}

// Up to `count` bytes at `offset`, as many as the file holds.
std::vector<std::uint8_t> ReadPresentBytes(LibraryReader& reader, std::uint64_t offset,
                                           std::uint64_t count) {
    const std::uint64_t size = reader.FileSize();
    if (offset >= size) {
        return {};
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min(count, size - offset)));
    bytes.resize(reader.File().ReadAt(offset, bytes.data(), bytes.size()));
    return bytes;
}

// The record's palette and pixels as far as the file holds them; the drawing functions give
// what they cannot reach the colour of palette entry 0.
void ReadPresentPicture(LibraryReader& reader, const ImageRecord& record, tPAL& palette,
                        tPIX& pixels) {
    const tIMAGE& image = record.image;
    const std::uint64_t paletteStart = record.offset + tIMAGE::kSize;
    const std::uint64_t paletteBytes = 3ull * image.ColourCount;
    const std::vector<std::uint8_t> raw = ReadPresentBytes(reader, paletteStart, paletteBytes);
    DecodePalette(raw.data(), raw.size() / 3, palette);
    const std::uint64_t pixelBytes =
        image.DataSize >= image.PixelOffset ? image.DataSize - image.PixelOffset : 0;
    pixels = ReadPresentBytes(reader, paletteStart + paletteBytes, pixelBytes);
}

// A record's 32-bit side as a drawing size; an absurd one becomes 0, which no drawing accepts.
int SideOf(std::uint32_t side) {
    return side > 65535 ? 0 : static_cast<int>(side);
}

// The drawing follows the library's kind, whatever the record's PictureFormat says.
TrueColourImage DrawPicture(PictureKind kind, const tIMAGE& image, const tPIX& pixels,
                            const tPAL& palette) {
    const int width = SideOf(image.BlockWidth);
    const int height = SideOf(image.BlockHeight);
    TrueColourImage drawn;
    switch (kind) {
        case PictureKind::Hull:
            DrawIndexAlphaPicture(width, height, GreenShade, pixels, palette, drawn);
            break;
        case PictureKind::Map:
            DrawIndexAlphaPicture(width, height, YellowShade, pixels, palette, drawn);
            break;
        case PictureKind::Ship:
            // A picture that is not quite complete is still shown as far as it goes.
            DrawRlePicture(width, height, pixels, palette, drawn);
            break;
    }
    return drawn;
}

CraftPicture PictureOf(LibraryReader& reader, const ImageRecord& record, PictureKind kind) {
    tPAL palette;
    tPIX pixels;
    ReadPresentPicture(reader, record, palette, pixels);
    CraftPicture picture;
    picture.image = DrawPicture(kind, record.image, pixels, palette);
    picture.width = record.image.BlockWidth;
    picture.height = record.image.BlockHeight;
    return picture;
}

// Walks the records after the group table, reading only their 62-byte headers until one
// carries `number`; the walk ends where the file does.
LibraryOutcome SearchLibrary(const std::string& path, PictureKind kind, std::uint16_t number,
                             CraftPicture& picture) {
    LibraryReader reader;
    if (!reader.Open(path)) {
        return LibraryOutcome::CannotOpen;
    }
    ImageRecord record;
    while (reader.NextRecord(record)) {
        if (PictureNumberOf(kind, record.image) == number) {
            try {
                picture = PictureOf(reader, record, kind);
            } catch (const std::bad_alloc&) {
                return LibraryOutcome::NotFound;
            }
            return LibraryOutcome::Found;
        }
    }
    return LibraryOutcome::NotFound;
}

bool AnyWanted(const std::array<KindSearch, 3>& searches) {
    return std::any_of(searches.begin(), searches.end(),
                       [](const KindSearch& search) { return search.wanted; });
}

// Searches one line's library for every kind still wanted.
void SearchLine(const std::string& line, const std::string& gameFolder,
                std::array<KindSearch, 3>& searches) {
    const std::string path = ResolvePath(gameFolder, line);
    for (KindSearch& search : searches) {
        if (!search.wanted || !PassesKindTest(search.kind, path)) {
            continue;
        }
        CraftPicture picture;
        const LibraryOutcome outcome = SearchLibrary(path, search.kind, search.number, picture);
        if (outcome == LibraryOutcome::CannotOpen) {
            return;
        }
        if (outcome == LibraryOutcome::Found) {
            picture.library = LibraryFileNameOf(line);
            *search.result = std::move(picture);
            search.wanted = false;
        }
    }
}

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

CraftPictures FindCraftPictures(const std::vector<std::string>& lines,
                                const std::string& gameFolder,
                                std::optional<std::uint16_t> wantedHull, std::uint16_t wantedMap,
                                std::uint16_t wantedShip) {
    CraftPictures found;
    std::array<KindSearch, 3> searches = {{
        {PictureKind::Hull, wantedHull.has_value(), wantedHull.value_or(0), &found.hull},
        {PictureKind::Map, true, wantedMap, &found.map},
        {PictureKind::Ship, true, wantedShip, &found.ship},
    }};
    // Ending once nothing is wanted any more covers the rule of ending after the third find,
    // and spares the lines after the last find for craft that want only two pictures.
    for (std::size_t i = 0; i < lines.size() && AnyWanted(searches); ++i) {
        SearchLine(lines[i], gameFolder, searches);
    }
    return found;
}

std::string LibraryFileNameOf(std::string_view line) {
    const std::size_t separator = line.find_last_of("\\/:");
    std::string name(separator == std::string_view::npos ? line : line.substr(separator + 1));
    std::transform(name.begin(), name.end(), name.begin(), AsciiUpper);
    return name;
}

}  // namespace vexlor
