// Decoding pictures (the first frame): the program's own decoders, and WIC
// for the rest.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/pixels.h"
#include "platform/types.h"
#include "platform/win32/handles.h"

namespace corvale::win32 {

// COM for the calling thread, for as long as the object lives.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool mustUninitialize_ = false;
};

using image::Pixels;

class PictureDecoder {
public:
    // nullptr for a missing or unreadable file, undecodable bytes or an
    // empty picture. The caller's bytes are never changed.
    PicturePtr FromFile(const std::string& path);
    PicturePtr FromBytes(std::span<const std::uint8_t> bytes);
    // The same through WIC alone, the decoder every picture once went
    // through; what the program's own decoding must agree with.
    PicturePtr FromBytesThroughWic(std::span<const std::uint8_t> bytes);
    // Whether WIC has been started: not until a picture needs it.
    bool StartedWic() const { return factory_.get() != nullptr; }

private:
    std::optional<Pixels> DecodeWithWic(std::span<const std::uint8_t> bytes);

    // A decoder class asked for once; no factory when the system has none.
    struct KnownClass {
        bool asked = false;
        UniqueCom<IClassFactory> factory;
    };

    IWICImagingFactory* Factory();
    // The class of the BMP or GIF decoder the bytes need, or nullptr.
    IClassFactory* FormatClass(std::span<const std::uint8_t> bytes);

    ComApartment apartment_;                 // first in, last out
    UniqueCom<IWICImagingFactory> factory_;  // made on first use
    KnownClass bmpClass_;
    KnownClass gifClass_;
};

}  // namespace corvale::win32
