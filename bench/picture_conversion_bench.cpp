#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "pictures/picture_conversion.h"

namespace {

using namespace vexlor;

// A rendered-looking picture: smooth shading in thousands of colours, a soft-edged alpha
// ellipse, and a little noise, at `width` x `height`.
RgbaPicture RenderedPicture(int width, int height) {
    RgbaPicture picture(width, height);
    picture.hasAlpha = true;
    std::uint32_t noise = 2024;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double u = static_cast<double>(x) / width;
            const double v = static_cast<double>(y) / height;
            const double dx = (u - 0.5) * 2.0;
            const double dy = (v - 0.5) * 2.0;
            const double edge = 1.0 - (dx * dx + dy * dy);
            noise = noise * 1664525u + 1013904223u;
            const double speck = static_cast<double>(noise >> 28) - 8.0;
            std::uint8_t* p = picture.Pixel(x, y);
            p[0] = static_cast<std::uint8_t>(std::clamp(255.0 * u + speck, 0.0, 255.0));
            p[1] = static_cast<std::uint8_t>(
                std::clamp(127.5 + 127.5 * std::sin(9.0 * v + 4.0 * u) + speck, 0.0, 255.0));
            p[2] = static_cast<std::uint8_t>(
                std::clamp(255.0 * (1.0 - v) * (0.5 + 0.5 * std::cos(7.0 * u)), 0.0, 255.0));
            p[3] = static_cast<std::uint8_t>(std::clamp(edge * 2000.0, 0.0, 255.0));
        }
    }
    return picture;
}

// The largest picture of the BATTLE series, already at its size: quantisation alone.
void BM_ConvertBattlePicture(benchmark::State& state) {
    const RgbaPicture source = RenderedPicture(510, 260);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ConvertPicture(source, 510, 260, {}));
    }
}
BENCHMARK(BM_ConvertBattlePicture)->Unit(benchmark::kMillisecond);

// A render at twice the size, fitted down and quantised.
void BM_FitAndConvertBattlePicture(benchmark::State& state) {
    const RgbaPicture source = RenderedPicture(1020, 520);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ConvertPicture(source, 510, 260, {}));
    }
}
BENCHMARK(BM_FitAndConvertBattlePicture)->Unit(benchmark::kMillisecond);

// A ship render of the size painters use, fitted into 180 x 180.
void BM_FitAndConvertShipPicture(benchmark::State& state) {
    const RgbaPicture source = RenderedPicture(512, 512);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ConvertPicture(source, 180, 180, {}));
    }
}
BENCHMARK(BM_FitAndConvertShipPicture)->Unit(benchmark::kMillisecond);

}  // namespace
