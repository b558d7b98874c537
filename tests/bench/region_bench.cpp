// The cost of finding a window's outline in a screen-sized picture, for
// pictures with few, half and most of their pixels in the mask colour.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "prompt/shape_window.h"

namespace corvale {
namespace {

constexpr Color kMask = 0xFF00FF;

// A picture of scattered mask pixels: each pixel is the mask with the given
// probability, so runs are short and many, the hard case for a region.
class ScatteredPicture : public Picture {
public:
    ScatteredPicture(int width, int height, double maskShare) : width_(width), height_(height) {
        std::mt19937 random(4711);
        std::bernoulli_distribution isMask(maskShare);
        bytes_.reserve(static_cast<std::size_t>(width) * height * 3);
        for (int i = 0; i < width * height; ++i) {
            const bool mask = isMask(random);
            bytes_.push_back(0xFF);
            bytes_.push_back(0x00);
            bytes_.push_back(mask ? 0xFF : 0x40);
        }
    }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    std::vector<std::uint8_t> Rgb24() const override { return bytes_; }

private:
    int width_, height_;
    std::vector<std::uint8_t> bytes_;
};

void BM_OpaqueRuns1024x768(benchmark::State& state) {
    const ScatteredPicture picture(1024, 768, static_cast<double>(state.range(0)) / 100.0);
    std::size_t runs = 0;
    for (auto _ : state) {
        runs = OpaqueRuns(picture, kMask).size();
        benchmark::DoNotOptimize(runs);
    }
    state.counters["runs"] = static_cast<double>(runs);
}
BENCHMARK(BM_OpaqueRuns1024x768)->ArgName("mask%")->Arg(10)->Arg(50)->Arg(90)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvale
