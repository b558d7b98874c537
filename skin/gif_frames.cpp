// GIF frame cutting and the animation entry.
#include "skin/gif_frames.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/system.h"
#include "skin/values.h"

namespace corvale {
namespace {

constexpr std::uint8_t kMarker[] = {0x00, 0x21, 0xF9};
constexpr std::size_t kMarkerSize = sizeof kMarker;

// Timer intervals are 16-bit signed where the frame time is handed over.
constexpr long kLongestInterval = 32767;

}  // namespace

std::optional<std::size_t> FindGifMarker(std::span<const std::uint8_t> data, std::size_t from) {
    if (data.size() < kMarkerSize) return std::nullopt;
    const std::size_t last = data.size() - kMarkerSize;
    for (std::size_t at = from; at <= last;) {
        const void* zero = std::memchr(data.data() + at, 0x00, last - at + 1);
        if (!zero) return std::nullopt;
        at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - data.data());
        if (data[at + 1] == kMarker[1] && data[at + 2] == kMarker[2]) return at;
        ++at;
    }
    return std::nullopt;
}

GifCutter::GifCutter(std::span<const std::uint8_t> data) : data_(data) {
    const auto first = FindGifMarker(data_, 0);
    // Without any marker the header is the first byte alone, and the search
    // goes on from where a marker at -1 would have ended.
    const std::size_t headerEnd = first ? *first + 2 : 1;
    header_ = data_.first(std::min(headerEnd, data_.size()));
    next_ = first ? *first + kMarkerSize : 2;
}

std::optional<std::span<const std::uint8_t>> GifCutter::NextChunk() {
    const auto marker = FindGifMarker(data_, next_);
    if (!marker) return std::nullopt;
    const std::size_t begin = next_ - 1;
    const std::size_t end = *marker + 2;  // one past the marker's 21
    next_ = *marker + kMarkerSize;
    return data_.subspan(begin, end - begin);
}

std::optional<std::span<const std::uint8_t>> GifCutter::LastChunk() const {
    if (data_.size() < 2 || next_ >= data_.size() - 1) return std::nullopt;
    const std::size_t begin = next_ - 1;
    const std::size_t end = data_.size() - 2;
    return data_.subspan(begin, end - begin);
}

long FrameDisplayTime(std::span<const std::uint8_t> chunk) {
    if (chunk.size() < 5) return 0;
    return (static_cast<long>(chunk[3]) + 256L * chunk[4]) * 10;
}

std::vector<std::uint8_t> FrameBytes(std::span<const std::uint8_t> header,
                                     std::span<const std::uint8_t> chunk) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(header.size() + chunk.size());
    bytes.insert(bytes.end(), header.begin(), header.end());
    bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    return bytes;
}

namespace {

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

// Timer: the first frame's time when it fits, else the interval it was made with.
void StartAnimationTimer(Form& form, const SkinLists& lists, long animation) {
    Control* timer = form.Find(ControlArray::tmrAnim, static_cast<int>(animation));
    if (!timer) return;
    const long first = Slot(lists.AnimFirstFrame, animation);
    const long last = Slot(lists.AnimLastFrame, animation);
    if (first <= last)
        if (Control* frame = form.Find(ControlArray::imgGif, static_cast<int>(first)))
            if (const auto time = ReadLong(frame->Tag());
                time && *time >= -32768 && *time <= kLongestInterval)
                timer->SetInterval(static_cast<int>(*time));
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
    lists.AnimLastFrame[index] = lists.GifFrameCount;
    lists.AnimFrame[index] = lists.AnimFirstFrame[index];
    StartAnimationTimer(form, lists, animation);
}

}  // namespace corvale
