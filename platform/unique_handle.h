// One owner for every system handle: a move-only wrapper whose release
// function is part of its type.
#pragma once

#include <utility>

namespace corvale {

// Traits: `Handle` the handle type, `Invalid()` the empty value and
// `Release(h)` the one function that gives the handle back.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::Invalid(); }

    // Gives up ownership without releasing, for when the system takes the
    // handle over (a window region, say).
    [[nodiscard]] Handle release() noexcept { return std::exchange(handle_, Traits::Invalid()); }

    void reset(Handle handle = Traits::Invalid()) noexcept {
        const Handle old = std::exchange(handle_, handle);
        if (old != Traits::Invalid()) Traits::Release(old);
    }

private:
    Handle handle_ = Traits::Invalid();
};

}  // namespace corvale
