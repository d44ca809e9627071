// ResampleImage with Lanczos3 on in-memory pictures, single thread.

#include "pictures/resample.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

QImage RandomPicture(int w, int h) {
    std::mt19937 rng(1);
    QImage picture(w, h, velmora::kPictureFormat);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * 3; ++x)
            picture.scanLine(y)[x] = static_cast<uchar>(rng());
    return picture;
}

void BM_ResampleLanczos3(benchmark::State &state) {
    QImage source = RandomPicture(state.range(0), state.range(1));
    QImage destination(state.range(2), state.range(3), velmora::kPictureFormat);
    const auto &filter = velmora::ResampleFilterTable[velmora::kLanczos3Index];
    for (auto _ : state) {
        velmora::ResampleImage(source, destination, filter.Kernel, filter.Support);
        benchmark::DoNotOptimize(destination.constBits());
    }
}
BENCHMARK(BM_ResampleLanczos3)
    ->Args({640, 480, 130, 100})
    ->Args({1024, 768, 130, 100})
    ->Args({1600, 1200, 130, 100})
    ->Args({800, 600, 400, 300})
    ->Unit(benchmark::kMillisecond);

} // namespace
