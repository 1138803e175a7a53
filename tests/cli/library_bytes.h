#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "library/byte_order.h"
#include "library/records.h"
#include "tests/support/any_library.h"
#include "tests/support/test_files.h"

// Builds library files byte by byte for tests that need records, sound or deliberately broken.
namespace vexlor::test {

struct TestPicture {
    std::uint16_t pictureId = 1;
    std::uint32_t colours = 2;
    std::uint32_t pixelBytes = 2048;
    std::uint16_t format = kIndexAlphaFormat;
    std::uint16_t width = 32;
    std::uint16_t height = 32;
};

struct TestGroup {
    std::uint16_t groupId = kHullGroupId;
    std::vector<TestPicture> pictures;
};

// Byte offsets of the fields that tests break on purpose.
namespace at {
inline constexpr std::size_t kGroupCount = 10;
inline constexpr std::size_t kImageCount = 12;
inline constexpr std::size_t kGroupDataSize = 30;
inline constexpr std::size_t kGroupTable = 34;
inline constexpr std::size_t kGroupImageDataSize = 4;
inline constexpr std::size_t kGroupDataOffset = 20;
inline constexpr std::size_t kRecordGroupId = 10;
inline constexpr std::size_t kRecordDataSize = 14;
inline constexpr std::size_t kRecordBlockSize = 18;
inline constexpr std::size_t kRecordPixelOffset = 26;
inline constexpr std::size_t kRecordDataEnd = 30;
inline constexpr std::size_t kRecordBlockWidth = 34;
inline constexpr std::size_t kRecordReserved4 = 54;
inline constexpr std::size_t kRecordColourCount = 58;
}  // namespace at

inline void PatchU16(Bytes& bytes, std::size_t offset, std::uint16_t value) {
    PutU16(&bytes[offset], value);
}
inline void PatchU32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    PutU32(&bytes[offset], value);
}

// A library that keeps every relation: the groups in the order given, each followed in the
// image data by its pictures. Palette and pixel bytes carry a running pattern.
inline Bytes BuildLibrary(std::uint32_t kind, const std::vector<TestGroup>& groups,
                          bool keepGroupDataSize = true) {
    std::vector<BuiltGroup> assembled;
    for (const TestGroup& wanted : groups) {
        BuiltGroup group{wanted.groupId, {}};
        for (const TestPicture& p : wanted.pictures) {
            BuiltRecord record{tIMAGE::Make(p.format, p.width, p.height, wanted.groupId,
                                            p.pictureId, p.colours, p.pixelBytes),
                               {}};
            for (std::uint32_t i = 0; i < 3 * p.colours + p.pixelBytes; ++i) {
                record.body.push_back(static_cast<std::uint8_t>(i * 7 + 1));
            }
            group.records.push_back(std::move(record));
        }
        assembled.push_back(std::move(group));
    }
    Bytes bytes = AssembleLibrary(kind, assembled);
    if (!keepGroupDataSize) {
        PatchU32(bytes, at::kGroupDataSize, 0);
    }
    return bytes;
}

}  // namespace vexlor::test
