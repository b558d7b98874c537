// Compressed frames and the cache of the ones drawn last.
#include "platform/win32/frame_store.h"

#include <algorithm>
#include <list>
#include <new>
#include <utility>
#include <vector>

namespace corvale::win32 {

struct FrameStore::Shared {
    PictureDecoder* decoder = nullptr;  // null once the store is gone
    // Most recently drawn first; keyed by the frame's address.
    std::list<std::pair<const void*, std::shared_ptr<const Win32Picture>>> recent;

    std::shared_ptr<const Win32Picture> Cached(const void* frame) {
        const auto it =
            std::find_if(recent.begin(), recent.end(), [&](const auto& e) { return e.first == frame; });
        if (it == recent.end()) return nullptr;
        recent.splice(recent.begin(), recent, it);
        return recent.front().second;
    }

    void Keep(const void* frame, std::shared_ptr<const Win32Picture> decoded) {
        recent.emplace_front(frame, std::move(decoded));
        if (recent.size() > kCachedFrames) recent.pop_back();
    }

    void Forget(const void* frame) {
        recent.remove_if([&](const auto& e) { return e.first == frame; });
    }
};

namespace {

class KeptFrame final : public Picture {
public:
    KeptFrame(std::shared_ptr<FrameStore::Shared> store, std::vector<std::uint8_t> bytes, int width,
              int height, int density)
        : store_(std::move(store)),
          bytes_(std::move(bytes)),
          width_(width),
          height_(height),
          density_(density) {}
    ~KeptFrame() override { store_->Forget(this); }
    KeptFrame(const KeptFrame&) = delete;
    KeptFrame& operator=(const KeptFrame&) = delete;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    std::vector<std::uint8_t> Rgb24() const override {
        const auto decoded = Decoded();
        return decoded ? decoded->Rgb24() : std::vector<std::uint8_t>{};
    }

    std::shared_ptr<const Win32Picture> Decoded() const {
        if (auto cached = store_->Cached(this)) return cached;
        if (!store_->decoder) return nullptr;
        auto decoded = Win32Picture::WithDensity(
            std::dynamic_pointer_cast<const Win32Picture>(store_->decoder->FromBytes(bytes_)), density_);
        if (decoded) store_->Keep(this, decoded);
        return decoded;
    }

private:
    std::shared_ptr<FrameStore::Shared> store_;
    std::vector<std::uint8_t> bytes_;
    int width_;  // in skin pixels
    int height_;
    int density_;
};

}  // namespace

FrameStore::FrameStore(PictureDecoder& decoder) : shared_(std::make_shared<Shared>()) {
    shared_->decoder = &decoder;
}

FrameStore::~FrameStore() {
    shared_->decoder = nullptr;
    shared_->recent.clear();
}

PicturePtr FrameStore::Load(std::span<const std::uint8_t> bytes, int density) {
    PicturePtr decoded = shared_->decoder->FromBytes(bytes);
    if (!decoded) return nullptr;
    if (density != 1) {
        // A frame whose size is no multiple of its density is shown as it is.
        auto dense =
            Win32Picture::WithDensity(std::dynamic_pointer_cast<const Win32Picture>(decoded), density);
        if (dense) decoded = std::move(dense);
        else density = 1;
    }
    const std::size_t pixelBytes = static_cast<std::size_t>(decoded->Width()) *
                                   static_cast<std::size_t>(decoded->Height()) * 4 *
                                   static_cast<std::size_t>(density * density);
    if (pixelBytes <= kKeepDecodedBytes) return decoded;
    try {
        auto frame =
            std::make_shared<const KeptFrame>(shared_, std::vector<std::uint8_t>(bytes.begin(), bytes.end()),
                                              decoded->Width(), decoded->Height(), density);
        // The frame just decoded is the one most likely to be drawn next
        // (an animation's first frame shows as soon as it is made).
        if (auto drawable = std::dynamic_pointer_cast<const Win32Picture>(decoded))
            shared_->Keep(frame.get(), std::move(drawable));
        return frame;
    } catch (const std::bad_alloc&) {
        return decoded;  // no room for the copy: the decoded picture still draws
    }
}

bool DecodesWhenDrawn(const PicturePtr& picture) {
    return dynamic_cast<const KeptFrame*>(picture.get()) != nullptr;
}

std::shared_ptr<const Win32Picture> DrawableNow(const PicturePtr& picture) {
    if (const auto* frame = dynamic_cast<const KeptFrame*>(picture.get())) return frame->Decoded();
    return Win32Picture::Drawable(picture);
}

}  // namespace corvale::win32
