// Large animation frames kept as the bytes they were cut as and decoded only
// when they are drawn, so that a long recording costs its file size rather
// than a full 32-bit bitmap per frame. A small cache holds the frames drawn
// last: the frame on show is painted again without decoding it again.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "platform/types.h"
#include "platform/win32/picture.h"
#include "platform/win32/picture_decode.h"

namespace corvale::win32 {

// Frames whose decoded pixels take more than this stay compressed.
constexpr std::size_t kKeepDecodedBytes = 256 * 1024;
// How many decoded frames the cache holds.
constexpr std::size_t kCachedFrames = 4;

class FrameStore {
public:
    explicit FrameStore(PictureDecoder& decoder);
    // Frames that outlive the store draw nothing from then on.
    ~FrameStore();
    FrameStore(const FrameStore&) = delete;
    FrameStore& operator=(const FrameStore&) = delete;

    // The picture in `bytes`, decoded once to check it and learn its size;
    // nullptr when it does not decode. A large one comes back holding only
    // a copy of the bytes. `density` pixels of it make one skin pixel.
    PicturePtr Load(std::span<const std::uint8_t> bytes, int density = 1);

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
};

// Whether the picture is a frame kept compressed, which the control that
// shows it draws through DrawableNow instead of holding a bitmap of its own.
bool DecodesWhenDrawn(const PicturePtr& picture);

// What to draw for the picture now: a kept frame from the cache (decoded
// when it is not there), any other picture as Win32Picture::Drawable gives it.
std::shared_ptr<const Win32Picture> DrawableNow(const PicturePtr& picture);

}  // namespace corvale::win32
