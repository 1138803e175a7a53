// Writes the HULL library that the disk-pace comparison (disk_pace.sh) reads:
// write_hull_library FILE [PICTURES], 65,535 pictures of 32 x 32 unless told otherwise.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/big_hull_library.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: write_hull_library FILE [PICTURES]\n");
        return 2;
    }
    const int pictures = argc == 3 ? std::atoi(argv[2]) : vexlor::bench::BigHullLibrary::kPictures;
    if (pictures < 1 || pictures > vexlor::bench::BigHullLibrary::kPictures) {
        std::fprintf(stderr, "PICTURES must be 1 to 65535\n");
        return 2;
    }
    return vexlor::bench::WriteHullLibrary(argv[1], pictures) ? 0 : 1;
}
