// Writes and dumps BMP files for check_with_pillow.py, which compares them with Pillow:
//   bmp_interop_tool write <path> <width> <height> <palette entries>
//   bmp_interop_tool dump <path>
// The written picture follows a pattern the script knows: index (7x + 13y) mod 256, and
// palette entry i of red i, green 5i mod 256, blue 255 - i.
#include <cstdio>
#include <string>

#include "library/bmp_file.h"

namespace {

using vexlor::Colour;

int WritePattern(const std::string& path, int width, int height, unsigned paletteEntries) {
    vexlor::IndexedImage image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.SetIndex(x, y, static_cast<std::uint8_t>((7 * x + 13 * y) % 256));
        }
    }
    for (unsigned i = 0; i < paletteEntries; ++i) {
        image.palette.push_back(vexlor::MakeColour(i, 5 * i, 255 - i));
    }
    return vexlor::WriteBmpFile(path, image) ? 0 : 1;
}

void PrintColours(const std::vector<Colour>& colours) {
    for (const Colour colour : colours) {
        std::printf("%02x%02x%02x", vexlor::RedOf(colour), vexlor::GreenOf(colour),
                    vexlor::BlueOf(colour));
    }
    std::printf("\n");
}

// Four lines: depth, width and height; the colour table; the indices; every pixel's colour.
int Dump(const std::string& path) {
    vexlor::BmpPicture picture;
    if (!vexlor::ReadBmpFile(path, picture)) {
        std::fprintf(stderr, "cannot decode %s\n", path.c_str());
        return 1;
    }
    std::printf("%d %d %d\n", picture.bitsPerPixel, picture.colours.width, picture.colours.height);
    PrintColours(picture.indexed.palette);
    for (const std::uint8_t index : picture.indexed.indices) {
        std::printf("%02x", index);
    }
    std::printf("\n");
    PrintColours(picture.colours.pixels);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "write" && argc == 6) {
        return WritePattern(argv[2], std::stoi(argv[3]), std::stoi(argv[4]),
                            static_cast<unsigned>(std::stoul(argv[5])));
    }
    if (command == "dump" && argc == 3) {
        return Dump(argv[2]);
    }
    std::fprintf(stderr, "usage: %s write PATH WIDTH HEIGHT ENTRIES | dump PATH\n", argv[0]);
    return 2;
}
