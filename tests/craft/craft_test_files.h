#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "library/byte_order.h"
#include "library/creation.h"
#include "library/images.h"
#include "library/library_writer.h"
#include "library/records.h"
#include "tests/support/test_files.h"

// Game files made for the Preview's tests: a stand-in executable and small libraries.
namespace vexlor::test {

// Offsets written out here rather than taken from the code under test, so that a wrong constant
// there shows up as a wrong byte.
namespace exe {
inline constexpr std::size_t kVersion = 0x11C91E;
inline constexpr std::size_t kBattle = 0x15D19D;
inline constexpr std::size_t kMission = 0x15D16E;
inline constexpr std::size_t kMissionLower = 0x15D184;
inline constexpr std::size_t kHull = 0x1A860A;
inline constexpr std::size_t kMap = 0x1A8ADA;
inline constexpr std::size_t kShipSlots = 0x1AFB72;
// Past the SHIP slot table's end (0x1AFD6E), like the real file.
inline constexpr std::size_t kSize = 1770000;
}  // namespace exe

inline void PutText(Bytes& bytes, std::size_t offset, const std::string& text) {
    std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

// `size` bytes of a pattern that no table value repeats by chance, "2.02" at the version offset.
inline Bytes ExecutableBytes(std::size_t size = exe::kSize) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 131 + 17) ^ (i >> 9));
    }
    if (size >= exe::kVersion + 4) {
        PutText(bytes, exe::kVersion, "2.02");
    }
    return bytes;
}

inline void SetEntry(Bytes& bytes, std::size_t table, int number, std::uint16_t value) {
    PutU16(&bytes[table + 2 * static_cast<std::size_t>(number - 1)], value);
}

inline std::uint16_t EntryOf(const Bytes& bytes, std::size_t table, int number) {
    return GetU16(&bytes[table + 2 * static_cast<std::size_t>(number - 1)]);
}

// The SHIP slot table with no craft in any slot.
inline void ClearShipSlots(Bytes& bytes) {
    for (int slot = 1; slot <= 254; ++slot) {
        SetEntry(bytes, exe::kShipSlots, slot, 0);
    }
}

// A HULL or MAP picture whose every pixel is palette entry 1 (`colour`) at full alpha.
inline void AddIndexAlphaPicture(const std::string& path, std::uint16_t groupId,
                                 std::uint16_t pictureId, int side, Colour colour,
                                 std::uint16_t format = kIndexAlphaFormat) {
    const tPAL palette = {0, static_cast<std::int32_t>(colour)};
    tPIX pixels(2 * static_cast<std::size_t>(side * side));
    for (std::size_t i = 0; i < pixels.size(); i += 2) {
        pixels[i] = 1;
        pixels[i + 1] = 255;
    }
    const tIMAGE record =
        tIMAGE::Make(format, static_cast<std::uint16_t>(side), static_cast<std::uint16_t>(side),
                     groupId, pictureId, 2, static_cast<std::uint32_t>(pixels.size()));
    if (AppendToSingleGroupLibrary(path, record, palette, pixels) != WriteResult::Ok) {
        throw std::runtime_error("cannot append to " + path);
    }
}

struct IdColour {
    std::uint16_t id;
    Colour colour;
};

inline void MakeHullLibrary(const std::string& path, const std::vector<IdColour>& pictures) {
    CreateHullLibrary(path);
    for (const IdColour& p : pictures) {
        AddIndexAlphaPicture(path, kHullGroupId, p.id, 32, p.colour);
    }
}

inline void MakeMapLibrary(const std::string& path, const std::vector<IdColour>& pictures) {
    CreateMapLibrary(path);
    for (const IdColour& p : pictures) {
        AddIndexAlphaPicture(path, kMapGroupId, p.id, 16, p.colour);
    }
}

// A 180 x 180 run-length picture: the left column in palette entry 1, the rest transparent.
inline tPIX ShipPixels() {
    tPIX pixels;
    for (int row = 0; row < 180; ++row) {
        pixels.insert(pixels.end(), {0x01, 0x81, 0xC7, 0x01});
    }
    pixels.push_back(0);
    return pixels;
}

// A SHIP library with one group per picture, numbered by `id`.
inline void MakeShipLibrary(const std::string& path, const std::vector<IdColour>& pictures) {
    CreateShipLibrary(path);
    const std::string copy = path + ".copy";
    for (const IdColour& p : pictures) {
        const tPAL palette = {0, static_cast<std::int32_t>(p.colour)};
        if (AppendToShipLibrary(path, copy, p.id, palette, ShipPixels()) != WriteResult::Ok) {
            throw std::runtime_error("cannot append to " + path);
        }
    }
    std::filesystem::remove(copy);
}

}  // namespace vexlor::test
