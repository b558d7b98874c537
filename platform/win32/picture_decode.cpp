// WIC decoding into Win32Picture.
#include "platform/win32/picture_decode.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>
#include <vector>

#include "platform/win32/picture.h"
#include "platform/win32/picture_gif.h"
#include "platform/win32/text.h"

namespace corvale::win32 {
namespace {

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

// A 32-bit BMP whose fourth byte is unused decodes with every alpha at 0;
// such a picture is meant to be opaque.
void OpaqueWhenAlphaUnused(std::vector<std::uint8_t>& bgra) {
    for (std::size_t i = 3; i < bgra.size(); i += 4)
        if (bgra[i] != 0) return;
    for (std::size_t i = 3; i < bgra.size(); i += 4) bgra[i] = 255;
}

// The bytes of a width x height BGRA picture, or nullopt for an empty one or
// one past the bounds. The bounds keep every product below 2^32, so nothing
// here wraps where size_t has 32 bits; the caller allocates.
std::optional<std::size_t> BgraBytes(long long width, long long height) {
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide) return std::nullopt;
    if (width * height > kMaxPicturePixels) return std::nullopt;
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
}

// A GIF frame that covers part of its logical screen is placed on a
// transparent screen-sized canvas, so that every frame of an animation
// shares one geometry, as the frames' controls do. A screen past the bounds
// of a picture gives nothing: the canvas could not be had.
std::optional<Pixels> PlaceOnGifScreen(Pixels frame, const GifPlacement& at) {
    if (frame.width != at.imageWidth || frame.height != at.imageHeight) return frame;
    if (at.screenWidth <= 0 || at.screenHeight <= 0) return frame;
    if (at.screenWidth == frame.width && at.screenHeight == frame.height) return frame;
    const auto bytes = BgraBytes(at.screenWidth, at.screenHeight);
    if (!bytes) return std::nullopt;
    Pixels canvas{at.screenWidth, at.screenHeight, std::vector<std::uint8_t>(*bytes, 0)};
    const int rows = std::min(frame.height, at.screenHeight - at.imageTop);
    const int columns = std::min(frame.width, at.screenWidth - at.imageLeft);
    if (rows <= 0 || columns <= 0) return canvas;
    const std::size_t frameStride = static_cast<std::size_t>(frame.width) * 4;
    const std::size_t canvasStride = static_cast<std::size_t>(at.screenWidth) * 4;
    for (int y = 0; y < rows; ++y) {
        const auto* from = frame.bgra.data() + static_cast<std::size_t>(y) * frameStride;
        auto* to = canvas.bgra.data() + static_cast<std::size_t>(y + at.imageTop) * canvasStride +
                   static_cast<std::size_t>(at.imageLeft) * 4;
        std::copy(from, from + static_cast<std::ptrdiff_t>(columns) * 4, to);
    }
    return canvas;
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

std::uint32_t Le32(std::span<const std::uint8_t> b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// A plain BMP (1, 4, 8, 16 or 24 bits a pixel, uncompressed, with a
// Windows header) drawn by the system's own DIB code into a 32-bit picture:
// no decoder library to load for the pictures most skins are made of.
// Anything else (32 bits, whose fourth byte means different things to
// different writers, compressed data, other headers) is left to WIC.
std::optional<Pixels> DecodePlainBmp(std::span<const std::uint8_t> b) {
    constexpr std::size_t kFileHeader = 14;
    if (b.size() < kFileHeader + 40 || b[0] != 'B' || b[1] != 'M') return std::nullopt;
    const std::uint32_t bitsAt = Le32(b, 10);
    const std::uint32_t headerSize = Le32(b, 14);
    const auto width = static_cast<std::int32_t>(Le32(b, 18));
    const auto height = static_cast<std::int32_t>(Le32(b, 22));
    const unsigned bitCount = b[28] | b[29] << 8;
    const std::uint32_t compression = Le32(b, 30);
    const std::uint32_t used = Le32(b, 46);
    if (headerSize < 40 || headerSize > 124 || compression != BI_RGB) return std::nullopt;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24)
        return std::nullopt;
    if (height == INT32_MIN) return std::nullopt;
    const long long rows = height < 0 ? -static_cast<long long>(height) : height;
    const auto bytes = BgraBytes(width, rows);
    if (!bytes) return std::nullopt;
    const std::size_t colours = bitCount <= 8 ? (used ? used : 1u << bitCount) : 0;
    if (colours > 256) return std::nullopt;
    const std::size_t infoBytes = headerSize + colours * 4;
    const std::size_t stride = ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
    if (kFileHeader + infoBytes > b.size() || bitsAt < kFileHeader + infoBytes || bitsAt > b.size() ||
        stride * static_cast<std::size_t>(rows) > b.size() - bitsAt)
        return std::nullopt;

    // The header and colour table, aligned as GDI wants them.
    std::vector<DWORD> info((infoBytes + 3) / 4);
    std::memcpy(info.data(), b.data() + kFileHeader, infoBytes);
    BITMAPINFO target{};
    target.bmiHeader = {
        sizeof(BITMAPINFOHEADER), width, -static_cast<LONG>(rows), 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pixels = nullptr;
    const UniqueBitmap canvas(CreateDIBSection(nullptr, &target, DIB_RGB_COLORS, &pixels, nullptr, 0));
    const UniqueMemoryDC dc = CreateMemoryDC(nullptr);
    if (!canvas || !pixels || !dc) return std::nullopt;
    const HGDIOBJ before = SelectObject(dc.get(), canvas.get());
    const int drawn = SetDIBitsToDevice(dc.get(), 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(rows),
                                        0, 0, 0, static_cast<UINT>(rows), b.data() + bitsAt,
                                        reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
    SelectObject(dc.get(), before);
    if (drawn != rows) return std::nullopt;
    GdiFlush();
    Pixels out{width, static_cast<int>(rows), std::vector<std::uint8_t>(*bytes)};
    std::memcpy(out.bgra.data(), pixels, *bytes);
    for (std::size_t i = 3; i < out.bgra.size(); i += 4) out.bgra[i] = 255;
    return out;
}

bool LooksLikeBmp(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
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
        std::optional<Pixels> pixels = DecodeOwn(bytes);
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

// GIFs and plain BMPs, the skins' pictures, are decoded here, so that most
// faces never start COM's picture decoders (and the megabytes they bring).
std::optional<Pixels> PictureDecoder::DecodeOwn(std::span<const std::uint8_t> bytes) {
    if (LooksLikeBmp(bytes)) return DecodePlainBmp(bytes);
    if (!LooksLikeGif(bytes)) return std::nullopt;
    const std::vector<std::uint8_t> data = NormaliseGifEnd(bytes);
    std::optional<GifImage> image = DecodeFirstGifImage(data, kMaxPictureSide, kMaxPicturePixels);
    if (!image) return std::nullopt;
    Pixels pixels{image->width, image->height, std::move(image->bgra)};
    if (const auto placement = FirstImagePlacement(data))
        return PlaceOnGifScreen(std::move(pixels), *placement);
    return pixels;
}

std::optional<Pixels> PictureDecoder::DecodeWithWic(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return std::nullopt;
    IWICImagingFactory* factory = Factory();
    if (!factory) return std::nullopt;
    return Decode(*factory, FormatClass(bytes), bytes);
}

}  // namespace corvale::win32
