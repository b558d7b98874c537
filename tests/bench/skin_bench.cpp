// How the layout builder and the GIF cutting grow with the size of a skin and
// of an animation, on the fake platform.
#include <benchmark/benchmark.h>

#include <memory>

#include "base/values.h"
#include "image/gif_cut.h"
#include "skin/layout_builder.h"
#include "tests/unit/skin_scene.h"

namespace corvale {
namespace {

using image::FrameBytes;
using image::GifCutter;
using test::SkinScene;

// A layout of `entries` entries: text boxes, pictures and buttons in turn.
std::string LayoutText(long entries) {
    std::string text = "[DEFAULT]\n";
    for (long n = 1; n <= entries; ++n) {
        const std::string key = TwoDigitKey(n);
        switch (n % 3) {
            case 0: text += key + "=x,L,10,10,-10,40,0,0,0,255,255,255,Arial,9\n"; break;
            case 1: text += key + "=pic.bmp,P,10%,5%,20%,0\n"; break;
            default: text += key + "=b.bmp,B,-50,5,40,20,in,click,0,notepad.exe a,b\n"; break;
        }
    }
    return text;
}

// The scene for one run, made while the clock is stopped. The journal is
// emptied after every entry so that recording does not weigh on the result.
std::unique_ptr<SkinScene> Scene() {
    auto scene = std::make_unique<SkinScene>();
    scene->os.toolkit.pictureFiles["C:\\P\\T\\pic.bmp"] = {10, 10};
    scene->os.toolkit.pictureFiles["C:\\P\\T\\b.bmp"] = {40, 20};
    SkinScene* raw = scene.get();
    scene->os.toolkit.onDoEvents = [raw] { raw->os.toolkit.journal.clear(); };
    return scene;
}

void BM_BuildSkinLayout(benchmark::State& state) {
    const std::string text = LayoutText(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto scene = Scene();
        scene->os.profile.SetFile(SkinScene::kSkin, text);
        state.ResumeTiming();
        scene->Build();
        benchmark::DoNotOptimize(scene->lists.ButtonCount);
        state.PauseTiming();
        scene.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_BuildSkinLayout)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

test::Bytes ManyFrames(long frames) {
    std::vector<std::uint16_t> delays;
    for (long f = 0; f < frames; ++f) delays.push_back(static_cast<std::uint16_t>(5 + f % 20));
    return test::Gif(delays);
}

// The whole "A" entry: cutting, one frame element per frame, the timer.
void BM_AnimationEntry(benchmark::State& state) {
    const test::Bytes gif = ManyFrames(state.range(0));
    const auto picture = std::make_shared<fake::FakePicture>("frame", 1, 1);
    for (auto _ : state) {
        state.PauseTiming();
        auto scene = Scene();
        scene->os.toolkit.decodeBytes = [picture](std::span<const std::uint8_t>) { return picture; };
        scene->os.files.Put("C:\\P\\T\\spin.gif", gif);
        scene->Layout({"01=spin.gif,A,0,0,32,32"});
        state.ResumeTiming();
        scene->Build();
        benchmark::DoNotOptimize(scene->lists.GifFrameCount);
        state.PauseTiming();
        scene.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_AnimationEntry)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

// The cutting alone, with each frame's bytes put together as for the decoder.
void BM_CutGif(benchmark::State& state) {
    const test::Bytes gif = ManyFrames(state.range(0));
    for (auto _ : state) {
        GifCutter cutter(gif);
        std::size_t bytes = 0;
        while (const auto chunk = cutter.NextChunk()) bytes += FrameBytes(cutter.Header(), *chunk).size();
        if (const auto chunk = cutter.LastChunk()) bytes += FrameBytes(cutter.Header(), *chunk).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(gif.size()));
}
BENCHMARK(BM_CutGif)->Arg(1000)->Arg(2000)->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);

}  // namespace
}  // namespace corvale

BENCHMARK_MAIN();
