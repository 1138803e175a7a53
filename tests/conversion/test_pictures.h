#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "library/images.h"

namespace vexlor::test {

// A 256-colour image drawn as text: each character is a palette index counted from '0'.
inline IndexedImage ImageFromRows(const std::vector<std::string>& rows,
                                  std::vector<Colour> palette) {
    IndexedImage image(static_cast<int>(rows.front().size()), static_cast<int>(rows.size()),
                       std::move(palette));
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            image.SetIndex(x, y, static_cast<std::uint8_t>(rows[y][x] - '0'));
        }
    }
    return image;
}

// Random indices below `colours` (distinct colours in a shuffled palette) in runs of every
// length, so that the top-left colour makes transparent runs of every length too.
inline IndexedImage RandomPicture(int width, int height, int colours, std::mt19937& random) {
    std::vector<Colour> palette(256, 0);
    for (int i = 0; i < colours; ++i) {
        palette[i] = MakeColour(static_cast<unsigned>(i + 1), static_cast<unsigned>(random()),
                                static_cast<unsigned>(random()));
    }
    std::shuffle(palette.begin(), palette.begin() + colours, random);
    IndexedImage image(width, height, palette);
    std::uint8_t current = 0;
    for (auto& index : image.indices) {
        if (random() % 8 == 0) {
            current = static_cast<std::uint8_t>(random() % 3 == 0 ? 0 : random() % colours);
        }
        index = random() % 4 == 0 ? static_cast<std::uint8_t>(random() % colours) : current;
    }
    return image;
}

}  // namespace vexlor::test
