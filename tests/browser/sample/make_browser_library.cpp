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
        {1000, 4700, vexlor::kRunLengthFormat, 64, 64},
        {1000, 4800, vexlor::kIndexAlphaFormat, 64, 64},
        {1000, 4900, vexlor::kRunLengthFormat, 48, 32},
        {2000, 17500, vexlor::kIndexAlphaFormat, 120, 90},
        {2000, 17600, 25, 40, 40},
        {3000, 3, vexlor::kRunLengthFormat, 200, 150},
        {3000, 4, vexlor::kIndexAlphaFormat, 100, 75},
        {3000, 5, vexlor::kRunLengthFormat, 160, 120},
    };
    vexlor::test::Bytes bytes = vexlor::test::BuildPictureLibrary(9, pictures);
    bytes.resize(bytes.size() - 500);
    vexlor::test::WriteFileBytes(argv[1], bytes);
    return 0;
}
