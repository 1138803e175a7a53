// Writes the library that the browser's screenshot shows: three groups of pictures of different
// sizes in both drawn formats, a record of format 25 and a last record that the file cuts short.
#include <cstdio>
#include <vector>

#include "tests/support/picture_library.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s LIBRARY.dat\n", argv[0]);
        return 2;
    }
    using vexlor::test::PicturePlan;
    const std::vector<PicturePlan> pictures = {
        {26000, 4700, vexlor::kRunLengthFormat, 64, 64},
        {26000, 4800, vexlor::kIndexAlphaFormat, 64, 64},
        {26000, 4900, vexlor::kRunLengthFormat, 48, 32},
        {14800, 17500, vexlor::kIndexAlphaFormat, 120, 90},
        {14800, 17600, 25, 40, 40},
        {15210, 3, vexlor::kRunLengthFormat, 200, 150},
        {15210, 4, vexlor::kIndexAlphaFormat, 100, 75},
        {15210, 5, vexlor::kRunLengthFormat, 160, 120},
    };
    vexlor::test::Bytes bytes = vexlor::test::BuildPictureLibrary(1, pictures);
    bytes.resize(bytes.size() - 500);
    vexlor::test::WriteFileBytes(argv[1], bytes);
    return 0;
}
