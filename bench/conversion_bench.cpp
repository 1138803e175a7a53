#include <benchmark/benchmark.h>

#include <cstdint>

#include "library/run_length.h"

namespace {

using namespace vexlor;

constexpr int kWidth = 510;
constexpr int kHeight = 260;
constexpr int kColours = 200;

// A wide mission picture: an ellipse of 200 colours in bands and specks on a transparent
// background, which gives both long runs and short ones.
IndexedImage MissionPicture() {
    std::vector<Colour> palette(256, 0);
    for (unsigned i = 0; i < 256; ++i) {
        palette[i] = MakeColour(i, (i * 37) & 0xFF, (i * 101) & 0xFF);
    }
    IndexedImage image(kWidth, kHeight, palette);
    std::uint32_t noise = 12345;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const double dx = (x - kWidth / 2.0) / (kWidth / 2.0);
            const double dy = (y - kHeight / 2.0) / (kHeight / 2.0);
            noise = noise * 1664525u + 1013904223u;
            const bool inside = dx * dx + dy * dy < 0.9 || (noise >> 28) == 0;
            const unsigned band = static_cast<unsigned>(x / 3 + y / 2) + (noise >> 30);
            image.SetIndex(x, y, inside ? static_cast<std::uint8_t>(1 + band % kColours) : 0);
        }
    }
    return image;
}

struct EncodedPicture {
    tPIX pixels;
    tPAL palette;
};

EncodedPicture EncodedMissionPicture() {
    EncodedPicture picture;
    BmpToRlePicture(MissionPicture(), kWidth, kHeight, picture.pixels, picture.palette);
    return picture;
}

void SetPixelsProcessed(benchmark::State& state) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kWidth * kHeight);
}

void BM_DrawRlePicture(benchmark::State& state) {
    const EncodedPicture picture = EncodedMissionPicture();
    TrueColourImage image;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            DrawRlePicture(kWidth, kHeight, picture.pixels, picture.palette, image));
        benchmark::DoNotOptimize(image.pixels.data());
    }
    SetPixelsProcessed(state);
}
BENCHMARK(BM_DrawRlePicture);

void BM_RlePictureToBmp(benchmark::State& state) {
    EncodedPicture picture = EncodedMissionPicture();
    IndexedImage image;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            RlePictureToBmp(kWidth, kHeight, picture.pixels, picture.palette, image));
        benchmark::DoNotOptimize(image.indices.data());
    }
    SetPixelsProcessed(state);
}
BENCHMARK(BM_RlePictureToBmp);

void BM_BmpToRlePicture(benchmark::State& state) {
    const IndexedImage image = MissionPicture();
    tPIX pixels;
    tPAL palette;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BmpToRlePicture(image, kWidth, kHeight, pixels, palette));
        benchmark::DoNotOptimize(pixels.data());
    }
    state.counters["bytes"] = static_cast<double>(pixels.size());
    state.counters["colours"] = static_cast<double>(palette.size());
    SetPixelsProcessed(state);
}
BENCHMARK(BM_BmpToRlePicture);

}  // namespace
