// A text box's thin scroll bar as numbers: its look, where its thumb lies for
// the lines in view, which first line a dragged thumb asks for, and how many
// lines a turn of the mouse wheel scrolls.
#pragma once

#include <algorithm>
#include <cstdint>

#include "platform/types.h"

namespace corvale {

// The bar's width and its thumb's shortest length, in skin pixels.
inline constexpr int kScrollBarWidth = 6;
inline constexpr int kScrollThumbShortest = 16;

// The lines of a box of text: how many there are, how many whole ones the
// box shows, and the first one it shows.
struct ScrollView {
    int lines = 1;
    int visible = 1;
    int first = 0;
    friend bool operator==(const ScrollView&, const ScrollView&) = default;

    // A box whose text fits, shown from its first line, has no bar.
    constexpr bool NeedsBar() const { return lines > visible || first > 0; }
    // The last line that can come first: the text scrolls no further.
    constexpr int LastFirst() const { return std::max(0, lines - std::max(visible, 1)); }
};

// A stretch of the track, in pixels from its top.
struct TrackSpan {
    int start = 0;
    int length = 0;
    friend bool operator==(const TrackSpan&, const TrackSpan&) = default;
};

// The thumb takes the share of the track that the lines in view take of all
// the lines, never less than `shortest` (nor more than the track), and lies
// as far down the room left as the first line lies down the lines that can
// come first.
constexpr TrackSpan ThumbOf(const ScrollView& v, int track, int shortest) {
    if (track <= 0) return {};
    const std::int64_t all = std::max({v.lines, v.visible, 1});
    const std::int64_t share = track * std::int64_t{std::max(v.visible, 1)} / all;
    const int length = static_cast<int>(std::clamp<std::int64_t>(share, std::min(shortest, track), track));
    const int last = v.LastFirst();
    if (last == 0) return {0, length};
    const std::int64_t room = track - length;
    const std::int64_t first = std::clamp(v.first, 0, last);
    return {static_cast<int>((room * first + last / 2) / last), length};
}

// The first line that brings the thumb's top to `thumbStart`, the nearest
// of the lines that can come first: the inverse of ThumbOf wherever the
// track has a pixel for each of them.
constexpr int FirstLineAt(const ScrollView& v, int track, int shortest, int thumbStart) {
    const TrackSpan thumb = ThumbOf(v, track, shortest);
    const std::int64_t room = track - thumb.length;
    const int last = v.LastFirst();
    if (room <= 0 || last == 0) return std::clamp(v.first, 0, last);
    const std::int64_t at = std::clamp<std::int64_t>(thumbStart, 0, room);
    return static_cast<int>((at * last + room / 2) / room);
}

enum class TrackPart { Before, Thumb, After };

// What a press at `at` pixels down the track lands on: the thumb, or the
// track before or after it (a page up or down).
constexpr TrackPart TrackPartAt(const ScrollView& v, int track, int shortest, int at) {
    const TrackSpan thumb = ThumbOf(v, track, shortest);
    if (at < thumb.start) return TrackPart::Before;
    return at < thumb.start + thumb.length ? TrackPart::Thumb : TrackPart::After;
}

// The track is the box's background with a fifth of its text colour in it;
// the thumb is the text colour itself.
constexpr Color ScrollTrackColor(Color background, Color text) {
    Color mixed = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const Color b = (background >> shift) & 0xFF, t = (text >> shift) & 0xFF;
        mixed |= ((b * 4 + t + 2) / 5) << shift;
    }
    return mixed;
}

// Turns of the mouse wheel as lines: a notch (a turn of 120) scrolls
// `perNotch` lines; a finer wheel's smaller turns add up until they make a
// whole line, and a turn the other way starts the count afresh.
class WheelLines {
public:
    static constexpr int kNotch = 120;

    // The lines to scroll, later lines positive: a wheel turned away from
    // the user (a positive turn) brings earlier lines into view.
    int Turn(int delta, int perNotch) {
        if ((rest_ > 0 && delta < 0) || (rest_ < 0 && delta > 0)) rest_ = 0;
        rest_ += std::int64_t{delta} * std::max(perNotch, 0);
        const std::int64_t lines = rest_ / kNotch;
        rest_ -= lines * kNotch;
        return static_cast<int>(-lines);
    }
    void Forget() { rest_ = 0; }

private:
    std::int64_t rest_ = 0;  // in 120ths of a line
};

}  // namespace corvale
