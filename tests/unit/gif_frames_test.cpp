// Cutting animated GIFs into frames, and the animation entries built from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "image/gif_cut.h"
#include "skin/animation_entry.h"
#include "tests/unit/skin_scene.h"

namespace corvale {
namespace {

using fake::FakeControl;
using image::FindGifMarker;
using image::FrameDisplayTime;
using image::GifCutter;
using test::Bytes;
using test::Concat;
using test::Gif;
using test::GifFrameBytes;
using test::GifHead;
using test::GifLoop;
using test::SkinScene;

Bytes Span(std::span<const std::uint8_t> bytes) { return Bytes(bytes.begin(), bytes.end()); }
Bytes Without(Bytes bytes, std::size_t front, std::size_t back) {
    return Bytes(bytes.begin() + static_cast<long>(front), bytes.end() - static_cast<long>(back));
}

TEST(GifFrames_Marker, IsFoundAtOrAfterTheStartAndNeverPastTheEnd) {
    const Bytes data = {0x00, 0x00, 0x21, 0xF9, 0x00, 0x21, 0xF9, 0x00, 0x21};
    EXPECT_EQ(FindGifMarker(data, 0), 1u);
    EXPECT_EQ(FindGifMarker(data, 1), 1u);
    EXPECT_EQ(FindGifMarker(data, 2), 4u);
    EXPECT_EQ(FindGifMarker(data, 5), std::nullopt);  // 00 21 at the very end is no marker
    EXPECT_EQ(FindGifMarker(data, 100), std::nullopt);
    EXPECT_EQ(FindGifMarker(Bytes{0x00, 0x21}, 0), std::nullopt);
    EXPECT_EQ(FindGifMarker(Bytes{}, 0), std::nullopt);
}

TEST(GifFrames_DisplayTime, IsTheDelayTimesTenAndZeroForAShortChunk) {
    EXPECT_EQ(FrameDisplayTime(Bytes{0xF9, 0x04, 0x00, 0x0A, 0x00}), 100);
    EXPECT_EQ(FrameDisplayTime(Bytes{0xF9, 0x04, 0x00, 0x2C, 0x01, 0x00}), 3000);
    EXPECT_EQ(FrameDisplayTime(Bytes{0xF9, 0x04, 0x00, 0xFF, 0xFF}), 655350);
    EXPECT_EQ(FrameDisplayTime(Bytes{0xF9, 0x04, 0x00, 0x0A}), 0);
    EXPECT_EQ(FrameDisplayTime(Bytes{}), 0);
}

TEST(GifFrames_Cutter, CutsAThreeFrameGifByteForByte) {
    const Bytes f1 = GifFrameBytes(10), f2 = GifFrameBytes(20), f3 = GifFrameBytes(30);
    const Bytes gif = Concat({GifHead(), GifLoop(), f1, f2, f3, {0x3B}});
    GifCutter cutter(gif);
    // Header: everything before the first graphic control block and its 21.
    EXPECT_EQ(Span(cutter.Header()), Concat({GifHead(), GifLoop(), {0x21}}));
    // Each chunk runs from its F9 to the 21 that opens the next frame.
    const auto c1 = cutter.NextChunk();
    const auto c2 = cutter.NextChunk();
    ASSERT_TRUE(c1 && c2);
    EXPECT_EQ(Span(*c1), Concat({Without(f1, 1, 0), {0x21}}));
    EXPECT_EQ(Span(*c2), Concat({Without(f2, 1, 0), {0x21}}));
    EXPECT_EQ(cutter.NextChunk(), std::nullopt);
    // The last lacks the file's final terminator and trailer.
    const auto c3 = cutter.LastChunk();
    ASSERT_TRUE(c3);
    EXPECT_EQ(Span(*c3), Without(f3, 1, 1));
}

class GifAnimationTest : public ::testing::Test, public SkinScene {
protected:
    void SetUp() override {
        os.toolkit.decodeBytes = [this](std::span<const std::uint8_t> bytes) -> PicturePtr {
            decoded.emplace_back(bytes.begin(), bytes.end());
            return std::make_shared<fake::FakePicture>("frame" + std::to_string(decoded.size()), 1, 1);
        };
        Get(ControlArray::tmrAnim, 0)->interval = 77;  // the template's interval
    }
    FakeControl& Frame(int f) {
        FakeControl* frame = Get(ControlArray::imgGif, f);
        if (!frame) throw std::runtime_error("no frame " + std::to_string(f));
        return *frame;
    }
    std::vector<Bytes> decoded;
};

TEST_F(GifAnimationTest, AThreeFrameGifGivesThreeFramesOnOneRectangleWithTheFirstShown) {
    os.files.Put("C:\\P\\T\\spin.gif", Gif({10, 20, 30}));
    Layout({"01=spin.gif,A,-100,20,0,-10"});
    Build();

    EXPECT_EQ(lists.AnimCount, 1);
    EXPECT_EQ(lists.GifFrameCount, 3);
    EXPECT_EQ(lists.AnimFirstFrame, (std::vector<long>{0, 1}));
    EXPECT_EQ(lists.AnimLastFrame, (std::vector<long>{0, 3}));
    EXPECT_EQ(lists.AnimFrame, (std::vector<long>{0, 1}));
    const char* tags[] = {"100", "200", "300"};
    for (int f = 1; f <= 3; ++f) {
        const FakeControl& frame = Frame(f);
        // "A" geometry: Left from the right edge, Width 0 stays 0.
        EXPECT_EQ((std::vector<long>{frame.left, frame.top, frame.width, frame.height}),
                  (std::vector<long>{700, 20, 0, 570}));
        EXPECT_TRUE(frame.stretch);
        EXPECT_FALSE(frame.enabled);
        EXPECT_EQ(frame.tag, tags[f - 1]);
        EXPECT_EQ(frame.visible, f == 1);
        EXPECT_EQ(fake::PictureSource(frame.picture), "frame" + std::to_string(f));
    }
    EXPECT_LT(Frame(1).zOrder, Frame(2).zOrder);
    const FakeControl* timer = Get(ControlArray::tmrAnim, 1);
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval, 100);
    EXPECT_TRUE(timer->enabled);
}

TEST_F(GifAnimationTest, EachFrameIsDecodedFromTheHeaderAndItsOwnChunk) {
    const Bytes f1 = GifFrameBytes(10, 0x41), f2 = GifFrameBytes(20, 0x42), f3 = GifFrameBytes(30, 0x43);
    const Bytes gif = Concat({GifHead(), GifLoop(), f1, f2, f3, {0x3B}});
    os.files.Put("C:\\P\\T\\spin.gif", gif);
    Layout({"01=spin.gif,A,0,0,10,10"});
    Build();
    const Bytes header = Concat({GifHead(), GifLoop()});  // the 21 comes with each chunk's F9
    ASSERT_EQ(decoded.size(), 3u);
    // Frames but the last end with the next frame's 21; the last lacks 00 3B.
    EXPECT_EQ(decoded[0], Concat({header, f1, {0x21}}));
    EXPECT_EQ(decoded[1], Concat({header, f2, {0x21}}));
    EXPECT_EQ(decoded[2], Concat({header, Without(f3, 0, 1)}));
    EXPECT_EQ(os.files.reads, std::vector<std::string>{"C:\\P\\T\\spin.gif"});
}

TEST_F(GifAnimationTest, TheVariantTheDisplayChoseIsCutAndEachFrameCarriesItsDensity) {
    os.files.Put("C:\\P\\T\\spin.gif", Gif({10}));
    os.files.Put("C:\\P\\T\\spin@2x.gif", Gif({10, 20}));
    os.toolkit.denseVariants["C:\\P\\T\\spin.gif"] = {"C:\\P\\T\\spin@2x.gif", 2};
    Layout({"01=spin.gif,A,0,0,10,10"});
    Build();
    EXPECT_EQ(os.files.reads, std::vector<std::string>{"C:\\P\\T\\spin@2x.gif"});
    ASSERT_EQ(lists.GifFrameCount, 2);
    EXPECT_EQ(fake::PictureSource(Frame(2).picture), "frame2@2");
}

TEST_F(GifAnimationTest, AFrameIsMadeInOrderAndEventsRunAfterEveryMarkerSearch) {
    os.files.Put("C:\\P\\T\\spin.gif", Gif({10, 20, 30}));
    Layout({"01=spin.gif,A,1,2,3,4"});
    Build();
    const fake::Journal firstFrame = {
        "create imgGif(1)",
        "front imgGif(1)",
        "set imgGif(1).Stretch True",
        "set imgGif(1).Left 1",
        "set imgGif(1).Top 2",
        "set imgGif(1).Width 3",
        "set imgGif(1).Height 4",
        "set imgGif(1).Tag 100",
        "set imgGif(1).Picture frame1",
        "set imgGif(1).Enabled False",
        "set imgGif(1).Visible True",
        "doevents",
    };
    const auto& j = os.toolkit.journal;
    const auto start = std::find(j.begin(), j.end(), "create imgGif(1)");
    ASSERT_LE(start + static_cast<long>(firstFrame.size()), j.end());
    EXPECT_EQ(fake::Journal(start, start + static_cast<long>(firstFrame.size())), firstFrame);
    // The timer is made disabled before any frame, and started after them.
    const auto made = std::find(j.begin(), j.end(), "create tmrAnim(1)");
    EXPECT_LT(made, start);
    EXPECT_EQ(*(made + 1), "set tmrAnim(1).Enabled False");
    // Three searches (two found, one not), then one after the entry.
    EXPECT_EQ(os.toolkit.doEventsCount, 4);
    const fake::Journal tail = {"set tmrAnim(1).Interval 100", "set tmrAnim(1).Enabled True", "doevents"};
    EXPECT_EQ(fake::Journal(j.end() - 3, j.end()), tail);
}

TEST_F(GifAnimationTest, TwoAnimationsInARowNumberTheirFramesOnwards) {
    os.files.Put("C:\\P\\T\\a.gif", Gif({50, 20, 30}));
    os.files.Put("C:\\P\\T\\b.gif", Gif({7, 8}));
    Layout({"01=a.gif,A,0,0,10,10", "02=x.bmp,P,0,0,5,5", "03=b.gif,A,20,20,10,10"});
    Build();
    EXPECT_EQ(lists.AnimCount, 2);
    EXPECT_EQ(lists.GifFrameCount, 5);
    EXPECT_EQ(lists.AnimFirstFrame, (std::vector<long>{0, 1, 4}));
    EXPECT_EQ(lists.AnimLastFrame, (std::vector<long>{0, 3, 5}));
    EXPECT_EQ(lists.AnimFrame, (std::vector<long>{0, 1, 4}));
    for (int f = 1; f <= 5; ++f) EXPECT_EQ(Frame(f).visible, f == 1 || f == 4) << f;
    EXPECT_EQ(Frame(4).left, 20);
    EXPECT_EQ(Get(ControlArray::tmrAnim, 1)->interval, 500);
    EXPECT_EQ(Get(ControlArray::tmrAnim, 2)->interval, 70);
}

TEST_F(GifAnimationTest, AFirstFrameLongerThanA16BitIntervalLeavesTheTimersOwn) {
    // 3276 and 3277 hundredths: 32760 ms fits, 32770 ms does not.
    os.files.Put("C:\\P\\T\\a.gif", Gif({3276, 10}));
    os.files.Put("C:\\P\\T\\b.gif", Gif({3277, 10}));
    Layout({"01=a.gif,A,0,0,10,10", "02=b.gif,A,0,0,10,10"});
    Build();
    EXPECT_EQ(Get(ControlArray::tmrAnim, 1)->interval, 32760);
    EXPECT_EQ(Frame(3).tag, "32770");
    EXPECT_EQ(Get(ControlArray::tmrAnim, 2)->interval, 77);
    EXPECT_TRUE(Get(ControlArray::tmrAnim, 2)->enabled);
}

TEST_F(GifAnimationTest, AGifWithoutMarkersIsOneFrameOfAllButItsLastTwoBytes) {
    const Bytes still = {'G', 'I', 'F', '8', '7', 'a', 1, 0, 1, 0, 0, 0, 0, 0x2C, 0x3B};
    os.files.Put("C:\\P\\T\\still.gif", still);
    Layout({"01=still.gif,A,0,0,10,10"});
    Build();
    ASSERT_EQ(decoded.size(), 1u);
    EXPECT_EQ(decoded[0], Without(still, 0, 2));
    EXPECT_EQ(lists.AnimFirstFrame[1], 1);
    EXPECT_EQ(lists.AnimLastFrame[1], 1);
    // Its "delay" is whatever stands at chunk bytes 3 and 4 ("7a"): far
    // beyond a 16-bit interval, so the timer keeps the template's.
    EXPECT_EQ(Frame(1).tag, std::to_string((0x37 + 256 * 0x61) * 10));
    EXPECT_EQ(Get(ControlArray::tmrAnim, 1)->interval, 77);
    EXPECT_TRUE(Get(ControlArray::tmrAnim, 1)->enabled);
}

TEST_F(GifAnimationTest, AnUnreadableGifGivesAnAnimationWithoutFramesWhoseTimerStillRuns) {
    os.files.Put("C:\\P\\T\\a.gif", Gif({10, 20}));
    Layout({"01=a.gif,A,0,0,10,10", "02=missing.gif,A,0,0,10,10", "03=a.gif,A,0,0,10,10"});
    Build();
    EXPECT_EQ(lists.AnimCount, 3);
    EXPECT_EQ(lists.AnimFirstFrame, (std::vector<long>{0, 1, 3, 3}));
    EXPECT_EQ(lists.AnimLastFrame, (std::vector<long>{0, 2, 2, 4}));
    const FakeControl* timer = Get(ControlArray::tmrAnim, 2);
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval, 77);
    EXPECT_TRUE(timer->enabled);
    // The third animation is not thrown off by the second.
    EXPECT_TRUE(Frame(3).visible);
    EXPECT_EQ(Get(ControlArray::tmrAnim, 3)->interval, 100);
}

TEST_F(GifAnimationTest, FramesThatNoLongerFitInMemoryEndTheAnimationWithTheFramesItHas) {
    os.toolkit.decodeBytes = [this](std::span<const std::uint8_t> bytes) -> PicturePtr {
        if (decoded.size() == 2) throw std::bad_alloc();
        decoded.emplace_back(bytes.begin(), bytes.end());
        return std::make_shared<fake::FakePicture>("frame" + std::to_string(decoded.size()), 1, 1);
    };
    os.files.Put("C:\\P\\T\\long.gif", Gif({10, 20, 30, 40, 50}));
    Layout({"01=long.gif,A,0,0,10,10", "02=long.gif,A,0,0,10,10"});
    Build();
    // The third frame is made without its picture; the rest of the file and
    // the next entry are not cut, and both timers run.
    EXPECT_EQ(lists.AnimCount, 2);
    EXPECT_EQ(lists.AnimLastFrame, (std::vector<long>{0, 3, 4}));
    EXPECT_EQ(fake::PictureSource(Frame(2).picture), "frame2");
    EXPECT_EQ(Frame(3).picture, nullptr);
    EXPECT_EQ(Frame(4).picture, nullptr);
    EXPECT_TRUE(Get(ControlArray::tmrAnim, 1)->enabled);
    EXPECT_EQ(Get(ControlArray::tmrAnim, 2)->interval, 100);
}

TEST_F(GifAnimationTest, TruncatedChunksGiveFramesWithoutADelay) {
    // A marker right after another, and a last chunk of three bytes.
    const Bytes gif = {'G', 'I', 'F', 0x00, 0x21, 0xF9, 0x00, 0x21, 0xF9, 0x04, 0x0A, 0x00, 0x3B};
    os.files.Put("C:\\P\\T\\cut.gif", gif);
    Layout({"01=cut.gif,A,0,0,10,10"});
    Build();
    ASSERT_EQ(decoded.size(), 2u);
    const Bytes header = {'G', 'I', 'F', 0x00, 0x21};
    EXPECT_EQ(decoded[0], Concat({header, {0xF9, 0x00, 0x21}}));
    EXPECT_EQ(decoded[1], Concat({header, {0xF9, 0x04, 0x0A}}));
    EXPECT_EQ(Frame(1).tag, "0");
    EXPECT_EQ(Frame(2).tag, "0");
    // A first frame time of 0 stops the animation on its first frame.
    EXPECT_EQ(Get(ControlArray::tmrAnim, 1)->interval, 0);
}

TEST_F(GifAnimationTest, FilesTooShortForAFrameGiveNone) {
    const Bytes cases[] = {
        {}, {'G'}, {'G', 'I'}, {'G', 'I', 'F'}, {0x00, 0x21, 0xF9}, {0x00, 0x21, 0xF9, 0x04}};
    for (const Bytes& bytes : cases) {
        SkinScene scene;
        scene.os.files.Put("C:\\P\\T\\tiny.gif", bytes);
        scene.Layout({"01=tiny.gif,A,0,0,10,10"});
        scene.Build();
        EXPECT_EQ(scene.lists.GifFrameCount, 0) << bytes.size() << " bytes";
        EXPECT_EQ(scene.lists.AnimLastFrame[1], 0);
    }
}

TEST_F(GifAnimationTest, GarbageNeverReadsOutsideTheFileAndEveryFrameStartsWithTheHeader) {
    std::mt19937 random(20240511);
    for (int round = 0; round < 200; ++round) {
        Bytes bytes(random() % 64);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(random() % 4 == 0 ? 0x00 : random() % 2 ? 0x21 : 0xF9);
        SkinScene scene;
        std::vector<Bytes> frames;
        scene.os.toolkit.decodeBytes = [&](std::span<const std::uint8_t> b) -> PicturePtr {
            frames.emplace_back(b.begin(), b.end());
            return nullptr;  // an undecodable frame is still made and placed
        };
        scene.os.files.Put("C:\\P\\T\\junk.gif", bytes);
        scene.Layout({"01=junk.gif,A,0,0,10,10"});
        scene.Build();
        const GifCutter cutter(bytes);
        const Bytes header = Span(cutter.Header());
        ASSERT_TRUE(std::equal(header.begin(), header.end(), bytes.begin()));
        ASSERT_EQ(static_cast<long>(frames.size()), scene.lists.GifFrameCount);
        for (const Bytes& frame : frames) {
            ASSERT_GE(frame.size(), header.size());
            EXPECT_TRUE(std::equal(header.begin(), header.end(), frame.begin()));
            EXPECT_LE(frame.size(), header.size() + bytes.size());
        }
        for (long f = 1; f <= scene.lists.GifFrameCount; ++f)
            ASSERT_NE(scene.Get(ControlArray::imgGif, static_cast<int>(f)), nullptr);
    }
}

}  // namespace
}  // namespace corvale
