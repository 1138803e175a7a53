#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "library/library_reader.h"
#include "library/records.h"
#include "tests/support/test_files.h"

// Libraries of any kind with real pictures in them: groups of records of any format and size,
// laid out as this system's writers lay them out.
namespace vexlor::test {

struct AnyRecord {
    std::uint16_t format = kRunLengthFormat;
    std::uint16_t width = 2;
    std::uint16_t height = 1;
    std::uint16_t pictureId = 1;
    tPAL palette;
    Bytes pixels;
};

struct AnyGroup {
    std::uint16_t groupId = 1;
    std::vector<AnyRecord> records;
};

// A record as it stands in a library: its header, then its palette and pixel bytes.
struct BuiltRecord {
    tIMAGE image;
    Bytes body;
};

struct BuiltGroup {
    std::uint16_t groupId = 1;
    std::vector<BuiltRecord> records;
};

// The groups in the order given, each followed in the image data by its records; the header's
// and the groups' counts and sizes as this system's writers leave them.
inline Bytes AssembleLibrary(std::uint32_t kind, const std::vector<BuiltGroup>& groups) {
    tHEADER header{};
    std::copy(kSignature.begin(), kSignature.end(), header.Signature);
    header.Reserved1 = 1;  // as this system's writers leave it
    header.GroupCount = static_cast<std::uint16_t>(groups.size());
    header.LibraryKind = kind;
    header.GroupDataSize = static_cast<std::uint32_t>(tGROUP::kSize * groups.size());
    Bytes table;
    Bytes data;
    for (const BuiltGroup& wanted : groups) {
        tGROUP group{};
        group.GroupId = wanted.groupId;
        group.DataOffset = static_cast<std::uint32_t>(data.size());
        for (const BuiltRecord& r : wanted.records) {
            const auto record = r.image.Encode();
            data.insert(data.end(), record.begin(), record.end());
            data.insert(data.end(), r.body.begin(), r.body.end());
            ++group.ImageCount;
            group.ImageDataSize += static_cast<std::uint32_t>(RecordBytes(r.image));
            group.ColourCount += r.image.ColourCount;
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

inline Bytes BuildAnyLibrary(std::uint32_t kind, const std::vector<AnyGroup>& groups) {
    std::vector<BuiltGroup> assembled;
    for (const AnyGroup& wanted : groups) {
        BuiltGroup group{wanted.groupId, {}};
        for (const AnyRecord& r : wanted.records) {
            BuiltRecord record{
                tIMAGE::Make(r.format, r.width, r.height, wanted.groupId, r.pictureId,
                             static_cast<std::uint32_t>(r.palette.size()),
                             static_cast<std::uint32_t>(r.pixels.size())),
                EncodePalette(r.palette)};
            record.body.insert(record.body.end(), r.pixels.begin(), r.pixels.end());
            group.records.push_back(std::move(record));
        }
        assembled.push_back(std::move(group));
    }
    return AssembleLibrary(kind, assembled);
}

// A run-length picture of one row: two transparent pixels, then `indices` as pairs.
inline AnyRecord RunLengthRow(std::uint16_t pictureId, const std::vector<std::uint8_t>& indices) {
    AnyRecord record;
    record.pictureId = pictureId;
    record.width = static_cast<std::uint16_t>(2 + indices.size());
    record.palette = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
    record.pixels = {2, 0xC2, static_cast<std::uint8_t>(0x80 + indices.size())};
    for (std::uint8_t index : indices) {
        record.pixels.push_back(199);
        record.pixels.push_back(index);
    }
    record.pixels.push_back(0);
    return record;
}

// An index-alpha picture of width x 1 whose pixel i has index i % 4 and alpha 60 * i.
inline AnyRecord IndexAlphaRow(std::uint16_t pictureId, std::uint16_t width) {
    AnyRecord record;
    record.format = kIndexAlphaFormat;
    record.pictureId = pictureId;
    record.width = width;
    record.palette = {0x102030, 0x405060, 0x708090, 0xA0B0C0};
    for (std::uint16_t i = 0; i < width; ++i) {
        record.pixels.push_back(static_cast<std::uint8_t>(i % 4));
        record.pixels.push_back(static_cast<std::uint8_t>(60 * i));
    }
    return record;
}

}  // namespace vexlor::test
