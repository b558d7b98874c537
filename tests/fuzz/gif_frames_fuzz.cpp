// The GIF cutter on any bytes: the chunks it hands out, a whole "A" entry
// built from them on the fake platform, and the decoder's block walk (end
// repair and placement) on the file and on every frame.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "image/gif.h"
#include "image/gif_cut.h"
#include "skin/animation.h"
#include "skin/animation_entry.h"
#include "skin/context.h"
#include "tests/fake/fake_platform.h"
#include "tests/fuzz/fuzz_input.h"

using namespace corvale;
using namespace corvale::image;
using fuzz::Require;

namespace {

bool Inside(std::span<const std::uint8_t> part, std::span<const std::uint8_t> whole) {
    return part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size();
}

// A GIF whose end is repaired ends with the trailer and grows by two bytes
// at most; anything else comes back as it was.
void CheckBlockWalk(std::span<const std::uint8_t> bytes) {
    const std::vector<std::uint8_t> repaired = NormaliseGifEnd(bytes);
    Require(repaired.size() <= bytes.size() + 2);
    const bool same = std::equal(repaired.begin(), repaired.end(), bytes.begin(), bytes.end());
    Require(same || (LooksLikeGif(bytes) && repaired.back() == 0x3B));
    if (const auto at = FirstImagePlacement(bytes))
        Require(at->screenWidth <= 65535 && at->imageLeft >= 0 && at->imageHeight >= 0);
}

// Every chunk lies inside the file, and each marker search moves on.
std::size_t CutByHand(std::span<const std::uint8_t> gif) {
    GifCutter cutter(gif);
    Require(Inside(cutter.Header(), gif));
    std::size_t frames = 0;
    while (const auto chunk = cutter.NextChunk()) {
        Require(Inside(*chunk, gif) && ++frames <= gif.size());
        const std::vector<std::uint8_t> frame = FrameBytes(cutter.Header(), *chunk);
        Require(frame.size() == cutter.Header().size() + chunk->size());
        CheckBlockWalk(frame);
        Require(FrameDisplayTime(*chunk) >= 0);
    }
    if (const auto last = cutter.LastChunk()) {
        Require(Inside(*last, gif));
        ++frames;
    }
    return frames;
}

struct NoEvents : FormEvents {};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> gif(data, size);
    CheckBlockWalk(gif);
    const std::size_t frames = CutByHand(gif);

    fake::FakePlatform os;
    Context ctx(os.bundle);
    NoEvents events;
    const std::unique_ptr<Form> form = os.toolkit.CreateForm(FormKind::Main, events);
    SkinLists lists;
    os.files.Put("C:\\spin.gif", std::vector<std::uint8_t>(gif.begin(), gif.end()));
    BuildAnimationEntry(ctx, *form, lists, "C:\\spin.gif", EntryRect{1, 2, 3, 4});
    Require(lists.AnimCount == 1 && static_cast<std::size_t>(lists.GifFrameCount) == frames);
    for (int tick = 0; tick < 3; ++tick) AdvanceAnimation(*form, lists, 1, os.toolkit.Now());
    return 0;
}
