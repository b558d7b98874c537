// WIC decoding into Win32Picture.
#include "platform/win32/picture_decode.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>
#include <vector>

#include "image/bmp.h"
#include "image/decode.h"
#include "platform/win32/picture.h"
#include "platform/win32/text.h"

namespace corvale::win32 {
namespace {

using image::BgraBytes;
using image::FirstImagePlacement;
using image::LooksLikeBmp;
using image::LooksLikeGif;
using image::NormaliseGifEnd;
using image::OpaqueWhenAlphaUnused;
using image::PlaceOnGifScreen;

// Skin pictures are small; this only keeps a wrong path (a disk image, say)
// from being read into memory whole.
constexpr LONGLONG kMaxFileBytes = 64LL * 1024 * 1024;

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path) {
    if (path.empty()) return std::nullopt;
    UniqueFile file(CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxFileBytes)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        const DWORD want = static_cast<DWORD>(bytes.size() - done);
        if (!ReadFile(file.get(), bytes.data() + done, want, &read, nullptr) || read == 0)
            return std::nullopt;
        done += read;
    }
    return bytes;
}

// The decoder for the picture's format. Skins hold BMP and GIF pictures,
// whose decoders come straight from their classes; anything else is left to
// WIC, which searches the registry's decoders for one that takes it.
UniqueCom<IWICBitmapDecoder> OpenDecoder(IWICImagingFactory& factory, IClassFactory* format,
                                         IWICStream& stream) {
    IWICBitmapDecoder* raw = nullptr;
    if (format &&
        SUCCEEDED(format->CreateInstance(nullptr, IID_IWICBitmapDecoder, reinterpret_cast<void**>(&raw)))) {
        UniqueCom<IWICBitmapDecoder> decoder(raw);
        if (SUCCEEDED(decoder.get()->Initialize(&stream, WICDecodeMetadataCacheOnDemand))) return decoder;
        const LARGE_INTEGER start{};
        if (FAILED(stream.Seek(start, STREAM_SEEK_SET, nullptr))) return UniqueCom<IWICBitmapDecoder>();
    }
    raw = nullptr;
    if (FAILED(factory.CreateDecoderFromStream(&stream, nullptr, WICDecodeMetadataCacheOnDemand, &raw)))
        return UniqueCom<IWICBitmapDecoder>();
    return UniqueCom<IWICBitmapDecoder>(raw);
}

std::optional<Pixels> DecodeFirstFrame(IWICImagingFactory& factory, IClassFactory* format,
                                       std::span<std::uint8_t> data) {
    IWICStream* rawStream = nullptr;
    if (FAILED(factory.CreateStream(&rawStream))) return std::nullopt;
    UniqueCom<IWICStream> stream(rawStream);
    if (FAILED(stream.get()->InitializeFromMemory(data.data(), static_cast<DWORD>(data.size()))))
        return std::nullopt;

    const UniqueCom<IWICBitmapDecoder> decoder = OpenDecoder(factory, format, *stream.get());
    if (!decoder) return std::nullopt;
    IWICBitmapFrameDecode* rawFrame = nullptr;
    if (FAILED(decoder.get()->GetFrame(0, &rawFrame))) return std::nullopt;
    UniqueCom<IWICBitmapFrameDecode> frame(rawFrame);

    UINT width = 0, height = 0;
    if (FAILED(frame.get()->GetSize(&width, &height))) return std::nullopt;
    const auto bytes = BgraBytes(width, height);
    if (!bytes) return std::nullopt;

    IWICFormatConverter* rawConverter = nullptr;
    if (FAILED(factory.CreateFormatConverter(&rawConverter))) return std::nullopt;
    UniqueCom<IWICFormatConverter> converter(rawConverter);
    if (FAILED(converter.get()->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                           nullptr, 0.0, WICBitmapPaletteTypeCustom)))
        return std::nullopt;
    Pixels pixels{static_cast<int>(width), static_cast<int>(height), std::vector<std::uint8_t>(*bytes)};
    if (FAILED(converter.get()->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.bgra.size()),
                                           pixels.bgra.data())))
        return std::nullopt;
    return pixels;
}

std::optional<Pixels> Decode(IWICImagingFactory& factory, IClassFactory* format,
                             std::span<const std::uint8_t> bytes) {
    // A private copy: the stream reads from it, and the repair of a cut GIF
    // frame must not touch the caller's bytes.
    std::vector<std::uint8_t> data = NormaliseGifEnd(bytes);
    std::optional<Pixels> pixels = DecodeFirstFrame(factory, format, data);
    if (!pixels) return std::nullopt;
    if (!LooksLikeGif(data)) OpaqueWhenAlphaUnused(pixels->bgra);
    else if (const auto placement = FirstImagePlacement(data))
        return PlaceOnGifScreen(std::move(*pixels), *placement);
    return pixels;
}

}  // namespace

ComApartment::ComApartment() {
    const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // S_FALSE: already initialised on this thread, which still wants a
    // matching CoUninitialize. RPC_E_CHANGED_MODE: usable, not ours to undo.
    mustUninitialize_ = result == S_OK || result == S_FALSE;
}

ComApartment::~ComApartment() {
    if (mustUninitialize_) CoUninitialize();
}

IWICImagingFactory* PictureDecoder::Factory() {
    if (!factory_) {
        IWICImagingFactory* raw = nullptr;
        if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IWICImagingFactory, reinterpret_cast<void**>(&raw))))
            factory_.reset(raw);
    }
    return factory_.get();
}

IClassFactory* PictureDecoder::FormatClass(std::span<const std::uint8_t> bytes) {
    const bool gif = LooksLikeGif(bytes);
    if (!gif && !LooksLikeBmp(bytes)) return nullptr;
    KnownClass& known = gif ? gifClass_ : bmpClass_;
    if (!known.asked) {
        known.asked = true;
        IClassFactory* raw = nullptr;
        if (SUCCEEDED(CoGetClassObject(gif ? CLSID_WICGifDecoder : CLSID_WICBmpDecoder, CLSCTX_INPROC_SERVER,
                                       nullptr, IID_IClassFactory, reinterpret_cast<void**>(&raw))))
            known.factory.reset(raw);
    }
    return known.factory.get();
}

// Running out of memory on the way (a 32-bit process and a hostile header)
// is one more picture that cannot be had.
PicturePtr PictureDecoder::FromFile(const std::string& path) {
    try {
        const auto bytes = ReadWholeFile(path);
        if (!bytes) return nullptr;
        return FromBytes(*bytes);
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (const std::length_error&) {
        return nullptr;
    }
}

PicturePtr PictureDecoder::FromBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return nullptr;
    try {
        // GIFs and plain BMPs, the skins' pictures, are decoded by the
        // program, so that most faces never start COM's picture decoders
        // (and the megabytes they bring).
        std::optional<Pixels> pixels = image::DecodeOwn(bytes);
        if (!pixels) pixels = DecodeWithWic(bytes);
        if (!pixels) return nullptr;
        return Win32Picture::FromBgra(pixels->width, pixels->height, pixels->bgra);
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (const std::length_error&) {
        return nullptr;
    }
}

PicturePtr PictureDecoder::FromBytesThroughWic(std::span<const std::uint8_t> bytes) {
    try {
        const std::optional<Pixels> pixels = DecodeWithWic(bytes);
        return pixels ? Win32Picture::FromBgra(pixels->width, pixels->height, pixels->bgra) : nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::optional<Pixels> PictureDecoder::DecodeWithWic(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return std::nullopt;
    IWICImagingFactory* factory = Factory();
    if (!factory) return std::nullopt;
    return Decode(*factory, FormatClass(bytes), bytes);
}

}  // namespace corvale::win32
