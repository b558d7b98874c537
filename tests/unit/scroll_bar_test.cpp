// A text box's scroll bar as numbers: the thumb for the lines in view, the
// line a dragged thumb asks for, the lines a turn of the wheel scrolls.
#include <gtest/gtest.h>

#include <vector>

#include "platform/scroll_bar.h"

namespace corvale {
namespace {

TEST(ScrollBar_Thumb, TakesTheShareOfLinesInViewAndLiesAsFarDownAsTheFirstLine) {
    const struct {
        const char* why;
        ScrollView view;
        int track;
        TrackSpan thumb;
    } cases[] = {
        {"text that fits: the whole track", {10, 20, 0}, 100, {0, 100}},
        {"half the lines in view, half way down", {40, 20, 10}, 100, {25, 50}},
        {"a first line past the last keeps the thumb at the end", {40, 20, 35}, 100, {50, 50}},
        {"a long text keeps the shortest thumb", {1000, 10, 990}, 100, {84, 16}},
        {"a track shorter than the shortest thumb is all thumb", {100, 10, 50}, 10, {0, 10}},
    };
    for (const auto& c : cases) EXPECT_EQ(ThumbOf(c.view, c.track, 16), c.thumb) << c.why;
}

TEST(ScrollBar_Drag, TheThumbsPlaceGivesBackItsLineAndBeyondTheTrackTheFirstOrLast) {
    for (ScrollView v{75, 11, 0}; v.first <= v.LastFirst(); ++v.first)
        ASSERT_EQ(FirstLineAt(v, 300, 16, ThumbOf(v, 300, 16).start), v.first) << v.first;
    EXPECT_EQ(FirstLineAt({40, 20, 10}, 100, 16, -50), 0);
    EXPECT_EQ(FirstLineAt({40, 20, 10}, 100, 16, 500), 20);
}

TEST(ScrollBar_Wheel, NotchesScrollTheSetLinesAndFineTurnsAddUpUntilTheWheelTurnsBack) {
    const struct {
        const char* why;
        int perNotch;
        std::vector<int> turns, lines;
    } cases[] = {
        {"a notch away shows earlier lines, a notch back later ones", 3, {120, -120}, {-3, 3}},
        {"a fine wheel's quarter notches make a line at a time", 3, {30, 30, 30, 30}, {0, -1, -1, -1}},
        {"a turn back forgets the part of a line", 3, {60, -120}, {-1, 3}},
        {"seven a notch: half a notch gives three, the next half four", 7, {60, 60}, {-3, -4}},
    };
    for (const auto& c : cases) {
        WheelLines wheel;
        std::vector<int> lines;
        for (const int delta : c.turns) lines.push_back(wheel.Turn(delta, c.perNotch));
        EXPECT_EQ(lines, c.lines) << c.why;
    }
}

}  // namespace
}  // namespace corvale
