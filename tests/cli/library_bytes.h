#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "library/byte_order.h"
#include "library/records.h"
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
    tHEADER header{};
    std::copy(kSignature.begin(), kSignature.end(), header.Signature);
    header.Reserved1 = 1;
    header.GroupCount = static_cast<std::uint16_t>(groups.size());
    header.LibraryKind = kind;
    header.GroupDataSize =
        keepGroupDataSize ? static_cast<std::uint32_t>(tGROUP::kSize * groups.size()) : 0;
    Bytes table;
    Bytes data;
    for (const TestGroup& wanted : groups) {
        tGROUP group{};
        group.GroupId = wanted.groupId;
        group.DataOffset = static_cast<std::uint32_t>(data.size());
        for (const TestPicture& p : wanted.pictures) {
            const tIMAGE image = tIMAGE::Make(p.format, p.width, p.height, wanted.groupId,
                                              p.pictureId, p.colours, p.pixelBytes);
            const auto record = image.Encode();
            data.insert(data.end(), record.begin(), record.end());
            for (std::uint32_t i = 0; i < 3 * p.colours + p.pixelBytes; ++i) {
                data.push_back(static_cast<std::uint8_t>(i * 7 + 1));
            }
            ++group.ImageCount;
            group.ImageDataSize += static_cast<std::uint32_t>(RecordBytes(image));
            group.ColourCount += p.colours;
        }
        header.ImageCount = static_cast<std::uint16_t>(header.ImageCount + group.ImageCount);
        header.ImageDataSize += group.ImageDataSize;
        header.ColourCount += group.ColourCount;
        const auto encoded = group.Encode();
        table.insert(table.end(), encoded.begin(), encoded.end());
    }
    const auto encodedHeader = header.Encode();
    Bytes bytes(encodedHeader.begin(), encodedHeader.end());
    bytes.insert(bytes.end(), table.begin(), table.end());
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

}  // namespace vexlor::test
