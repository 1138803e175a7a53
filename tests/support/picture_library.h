#pragma once

#include <cstdint>
#include <vector>

#include "library/records.h"
#include "tests/support/test_files.h"

namespace vexlor::test {

// One picture of a library made for the library browser: pixels that really draw, in the
// format given (any other format than 23 and 24 gets width x height bytes of no meaning).
struct PicturePlan {
    std::uint16_t groupId = kHullGroupId;
    std::uint16_t pictureId = 1;
    std::uint16_t format = kRunLengthFormat;
    int width = 16;
    int height = 16;
};

// A sound library of `kind`: one group per run of pictures with the same GroupId, in the order
// of the pictures, every count, size and offset as this system's writers keep them. Each
// picture is a ring of colours on a transparent ground.
Bytes BuildPictureLibrary(std::uint32_t kind, const std::vector<PicturePlan>& pictures);

// The offset of the first byte after the header and group table of such a library.
std::size_t ImageDataOffset(const Bytes& library);

}  // namespace vexlor::test
