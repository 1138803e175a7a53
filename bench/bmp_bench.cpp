// Decoding and encoding an 8-bit BMP of the largest picture the editors import and export
// (510 x 260), in memory so that the disk does not blur the codec's own cost.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "library/bmp_file.h"

namespace {

vexlor::IndexedImage LargestPicture() {
    vexlor::IndexedImage image(510, 260);
    for (std::size_t k = 0; k < image.indices.size(); ++k) {
        image.indices[k] = static_cast<std::uint8_t>(k * 7 % 251);
    }
    for (unsigned k = 0; k < 256; ++k) {
        image.palette.push_back(vexlor::MakeColour(k, 255 - k, k / 2));
    }
    return image;
}

void BM_DecodeBmp8(benchmark::State& state) {
    const std::vector<std::uint8_t> file = vexlor::EncodeBmp8(LargestPicture());
    vexlor::BmpPicture picture;
    for (auto _ : state) {
        if (!vexlor::DecodeBmp(file.data(), file.size(), picture)) {
            state.SkipWithError("decoding failed");
            break;
        }
        benchmark::DoNotOptimize(picture.colours.pixels.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_DecodeBmp8);

void BM_EncodeBmp8(benchmark::State& state) {
    const vexlor::IndexedImage image = LargestPicture();
    for (auto _ : state) {
        std::vector<std::uint8_t> file = vexlor::EncodeBmp8(image);
        benchmark::DoNotOptimize(file.data());
    }
}
BENCHMARK(BM_EncodeBmp8);

}  // namespace
