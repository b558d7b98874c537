// The animation entry: a timer and one picture a frame.
#include "skin/animation_entry.h"

#include <new>

#include "base/values.h"
#include "image/gif_cut.h"
#include "platform/system.h"

namespace corvale {
namespace {

using image::FrameBytes;
using image::FrameDisplayTime;
using image::GifCutter;

// Timer intervals are 16-bit signed where the frame time is handed over.
constexpr long kLongestInterval = 32767;

// The lists are indexed afresh after every point where handlers ran; a slot
// that is somehow gone reads as 0 rather than outside the list.
long Slot(const std::vector<long>& list, long index) {
    return index >= 0 && static_cast<std::size_t>(index) < list.size() ? list[static_cast<std::size_t>(index)]
                                                                       : 0;
}

// False when memory ran out while the picture was made: the frame stays
// without one, as an undecodable frame does, and the cutting stops.
bool MakeFrame(Context& ctx, Form& form, SkinLists& lists, long animation, const EntryRect& rect, int density,
               std::span<const std::uint8_t> header, std::span<const std::uint8_t> chunk) {
    const long frame = ++lists.GifFrameCount;
    const long displayTime = FrameDisplayTime(chunk);
    Control* element = form.Create(ControlArray::imgGif, static_cast<int>(frame));
    if (!element) return true;
    element->BringToFront();
    element->SetStretch(true);
    element->SetLeft(static_cast<int>(rect.left));
    element->SetTop(static_cast<int>(rect.top));
    element->SetWidth(static_cast<int>(rect.width));
    element->SetHeight(static_cast<int>(rect.height));
    element->SetTag(std::to_string(displayTime));
    bool fitted = true;
    try {
        // The backend's decoder copes with the cut ends; the core hands over
        // the bytes exactly as cut.
        if (PicturePtr picture = ctx.os.toolkit.LoadDensePictureFromBytes(FrameBytes(header, chunk), density))
            element->SetPicture(std::move(picture));
    } catch (const std::bad_alloc&) {
        fitted = false;
    }
    element->SetEnabled(false);
    if (frame == Slot(lists.AnimFirstFrame, animation)) element->SetVisible(true);
    return fitted;
}

// A very long animation whose frames no longer fit in memory keeps the
// frames it has. Handlers run between frames: nothing of the form or the
// lists is held across DoEvents, only the bytes, which are the caller's.
void CutFrames(Context& ctx, Form& form, SkinLists& lists, long animation, const EntryRect& rect, int density,
               std::span<const std::uint8_t> data) {
    GifCutter cutter(data);
    try {
        for (;;) {
            const auto chunk = cutter.NextChunk();
            if (chunk && !MakeFrame(ctx, form, lists, animation, rect, density, cutter.Header(), *chunk))
                return;
            ctx.os.toolkit.DoEvents();
            if (!chunk) break;
        }
        if (const auto chunk = cutter.LastChunk())
            MakeFrame(ctx, form, lists, animation, rect, density, cutter.Header(), *chunk);
    } catch (const std::bad_alloc&) {
    }
}

// Timer: the first frame's time when it fits, else the interval it was made
// with. The first frame is due to give way once its time from `now` is up.
void StartAnimationTimer(Form& form, SkinLists& lists, long animation, long long now) {
    Control* timer = form.Find(ControlArray::tmrAnim, static_cast<int>(animation));
    if (!timer) return;
    const long first = Slot(lists.AnimFirstFrame, animation);
    const long last = Slot(lists.AnimLastFrame, animation);
    if (first <= last)
        if (Control* frame = form.Find(ControlArray::imgGif, static_cast<int>(first)))
            if (const auto time = ReadLong(frame->Tag());
                time && *time >= -32768 && *time <= kLongestInterval) {
                timer->SetInterval(static_cast<int>(*time));
                if (*time > 0) lists.AnimDue[static_cast<std::size_t>(animation)] = now + *time;
            }
    timer->SetEnabled(true);
}

}  // namespace

void BuildAnimationEntry(Context& ctx, Form& form, SkinLists& lists, const std::string& gifPath,
                         const EntryRect& rect) {
    const long animation = ++lists.AnimCount;
    const auto size = static_cast<std::size_t>(animation) + 1;
    lists.AnimFirstFrame.resize(size);
    lists.AnimLastFrame.resize(size);
    lists.AnimFrame.resize(size);
    lists.AnimDue.resize(size);
    lists.AnimFirstFrame[static_cast<std::size_t>(animation)] = lists.GifFrameCount + 1;

    // A denser variant of the GIF (activity@2x.gif) is cut instead when the
    // display draws from it; its frames keep the plain picture's size.
    const PictureFile file = ctx.os.toolkit.ChoosePictureFile(gifPath);
    const std::optional<std::vector<std::uint8_t>> data = ctx.os.files.ReadAll(file.path);

    if (Control* timer = form.Create(ControlArray::tmrAnim, static_cast<int>(animation)))
        timer->SetEnabled(false);

    if (data) CutFrames(ctx, form, lists, animation, rect, file.density, *data);

    const auto index = static_cast<std::size_t>(animation);
    for (auto* list : {&lists.AnimFirstFrame, &lists.AnimLastFrame, &lists.AnimFrame})
        if (list->size() <= index) list->resize(index + 1);
    if (lists.AnimDue.size() <= index) lists.AnimDue.resize(index + 1);
    lists.AnimLastFrame[index] = lists.GifFrameCount;
    lists.AnimFrame[index] = lists.AnimFirstFrame[index];
    StartAnimationTimer(form, lists, animation, ctx.os.toolkit.Now());
}

}  // namespace corvale
