#include "library/creation.h"

#include <algorithm>

#include "library/byte_file.h"
#include "library/replacement_file.h"

namespace vexlor {

namespace {

std::uint16_t SingleGroupId(LibraryKind kind) {
    switch (kind) {
        case LibraryKind::Hull:
            return kHullGroupId;
        case LibraryKind::Map:
            return kMapGroupId;
        case LibraryKind::Mission:
            return kMissionGroupId;
        case LibraryKind::Ship:
            break;
    }
    return 0;
}

tHEADER EmptyHeader(LibraryKind kind) {
    tHEADER header{};
    std::copy(kSignature.begin(), kSignature.end(), header.Signature);
    header.Reserved1 = 1;
    header.GroupCount = kind == LibraryKind::Ship ? 0 : 1;
    header.LibraryKind = static_cast<std::uint32_t>(kind);
    header.GroupDataSize = kind == LibraryKind::Hull ? tGROUP::kSize : 0;
    return header;
}

// Whether the first group's GroupId marks a library of the kind made elsewhere.
bool GroupIdFits(LibraryKind kind, std::uint16_t groupId) {
    switch (kind) {
        case LibraryKind::Hull:
            return groupId == kHullGroupId;
        case LibraryKind::Map:
            return groupId == kMapGroupId;
        case LibraryKind::Ship:
            return groupId >= 20001 && groupId <= 20999;
        case LibraryKind::Mission:
            break;
    }
    return false;
}

}  // namespace

std::string EmptyLibraryBytes(LibraryKind kind) {
    const auto header = EmptyHeader(kind).Encode();
    std::string bytes(header.begin(), header.end());
    if (kind != LibraryKind::Ship) {
        tGROUP group{};
        group.GroupId = SingleGroupId(kind);
        const auto groupBytes = group.Encode();
        bytes.append(groupBytes.begin(), groupBytes.end());
    }
    return bytes;
}

// A new file renamed into place: a library being replaced is whole, old or new, at every
// instant, and one reached through links is replaced where they lead.
bool CreateLibrary(LibraryKind kind, const std::string& path) {
    return ReplaceFileWith(path, EmptyLibraryBytes(kind), ".vexlor-new");
}

bool CreateHullLibrary(const std::string& path) {
    return CreateLibrary(LibraryKind::Hull, path);
}
bool CreateMapLibrary(const std::string& path) {
    return CreateLibrary(LibraryKind::Map, path);
}
bool CreateShipLibrary(const std::string& path) {
    return CreateLibrary(LibraryKind::Ship, path);
}
bool CreateMissionLibrary(const std::string& path) {
    return CreateLibrary(LibraryKind::Mission, path);
}

bool IsLibraryOfKind(LibraryKind kind, const std::string& path) {
    ByteFile file;
    if (!file.Open(path, ByteFile::Mode::Read)) {
        return false;
    }
    std::uint8_t bytes[tHEADER::kSize] = {};
    if (!file.ReadExactAt(0, bytes, sizeof bytes)) {
        std::fill(std::begin(bytes), std::end(bytes), std::uint8_t{0});
    }
    const tHEADER header = tHEADER::Decode(bytes);
    if (!header.HasSignature()) {
        return false;
    }
    if (header.LibraryKind == static_cast<std::uint32_t>(kind)) {
        return true;
    }
    if (kind == LibraryKind::Mission || header.GroupCount == 0) {
        return false;
    }
    std::uint8_t groupBytes[tGROUP::kSize];
    if (!file.ReadExactAt(tHEADER::kSize, groupBytes, sizeof groupBytes)) {
        return false;
    }
    return GroupIdFits(kind, tGROUP::Decode(groupBytes).GroupId);
}

bool IsHullLibrary(const std::string& path) {
    return IsLibraryOfKind(LibraryKind::Hull, path);
}
bool IsMapLibrary(const std::string& path) {
    return IsLibraryOfKind(LibraryKind::Map, path);
}
bool IsShipLibrary(const std::string& path) {
    return IsLibraryOfKind(LibraryKind::Ship, path);
}
bool IsMissionLibrary(const std::string& path) {
    return IsLibraryOfKind(LibraryKind::Mission, path);
}

}  // namespace vexlor
