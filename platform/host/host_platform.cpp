// Files by their Windows names, skins by the reader's rules and pictures by
// the program's decoders, on a Linux host.
#include "platform/host/host_platform.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <thread>

#include "base/profile_text.h"
#include "base/values.h"
#include "image/bmp.h"
#include "image/decode.h"
#include "image/scale_pixels.h"

namespace corvale::host {
namespace {

namespace fs = std::filesystem;

// A decoded picture kept as its pixels; one known only by its headers has
// none.
class PixelPicture final : public Picture {
public:
    explicit PixelPicture(image::Pixels pixels) : pixels_(std::move(pixels)) {}
    int Width() const override { return pixels_.width; }
    int Height() const override { return pixels_.height; }
    std::vector<std::uint8_t> Rgb24() const override {
        std::vector<std::uint8_t> rgb;
        rgb.reserve(pixels_.bgra.size() / 4 * 3);
        for (std::size_t i = 0; i + 3 < pixels_.bgra.size(); i += 4)
            rgb.insert(rgb.end(), {pixels_.bgra[i + 2], pixels_.bgra[i + 1], pixels_.bgra[i]});
        return rgb;
    }

private:
    image::Pixels pixels_;
};

std::optional<fs::path> RegularFile(const std::string& windowsPath) {
    const auto path = ResolvePath(windowsPath);
    std::error_code error;
    if (!path || !fs::is_regular_file(*path, error)) return std::nullopt;
    return fs::path(*path);
}

}  // namespace

std::optional<std::string> ResolvePath(const std::string& windowsPath) {
    std::string path = windowsPath;
    std::replace(path.begin(), path.end(), '\\', '/');
    std::error_code error;
    if (fs::exists(path, error)) return path;
    fs::path resolved = path.starts_with("/") ? fs::path("/") : fs::path(".");
    for (const fs::path& part : fs::path(path).relative_path()) {
        if (part.empty() || part == ".") continue;
        if (fs::exists(resolved / part, error)) {
            resolved /= part;
            continue;
        }
        std::optional<fs::path> match;
        for (fs::directory_iterator it(resolved, error), end; !error && it != end; it.increment(error))
            if (EqualsNoCase(it->path().filename().string(), part.string())) {
                match = it->path();
                break;
            }
        if (!match) return std::nullopt;
        resolved = *match;
    }
    return resolved.string();
}

std::optional<std::vector<std::uint8_t>> HostFiles::ReadAll(const std::string& path) {
    const auto file = RegularFile(path);
    if (!file) return std::nullopt;
    std::ifstream in(*file, std::ios::binary);
    if (!in) return std::nullopt;
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::int64_t HostFiles::FileLength(const std::string& path) {
    const auto file = RegularFile(path);
    std::error_code error;
    if (!file) return -1;
    const auto size = fs::file_size(*file, error);
    return error ? -1 : static_cast<std::int64_t>(size);
}

std::optional<FileDate> HostFiles::LastModified(const std::string&) { return std::nullopt; }

std::optional<std::vector<std::string>> HostFiles::ListFiles(const std::string&, const std::string&) {
    return std::nullopt;
}

std::optional<std::string> HostProfile::Read(const std::string& section, const std::string& key,
                                             const std::string& fallback, const std::string& file,
                                             int bufferChars) {
    std::string value(ProfileFallback(fallback));
    if (const auto bytes = HostFiles().ReadAll(file)) {
        std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
        if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
        if (const auto found = FindProfileValue(text, section, key)) value = std::string(*found);
    }
    const size_t room = bufferChars > 0 ? static_cast<size_t>(bufferChars - 1) : 0;
    if (value.size() > room) value.resize(room);
    return value;
}

PicturePtr HostToolkit::LoadPicture(const std::string& path) {
    const auto bytes = HostFiles().ReadAll(path);
    return bytes ? LoadPictureFromBytes(*bytes) : nullptr;
}

// What the program decodes itself. The rest is the system's decoder's on
// Windows, which is not here: a BMP or GIF whose headers are sound counts
// as a picture of the size they give, without pixels.
PicturePtr HostToolkit::LoadPictureFromBytes(std::span<const std::uint8_t> bytes) {
    if (std::optional<image::Pixels> pixels = image::DecodeOwn(bytes))
        return std::make_shared<PixelPicture>(std::move(*pixels));
    if (const auto bmp = image::ReadBmpHeader(bytes))
        return std::make_shared<PixelPicture>(image::Pixels{bmp->width, bmp->height, {}});
    if (const auto gif = image::FirstImagePlacement(image::NormaliseGifEnd(bytes));
        gif && gif->screenWidth > 0 && gif->screenHeight > 0)
        return std::make_shared<PixelPicture>(image::Pixels{gif->screenWidth, gif->screenHeight, {}});
    return nullptr;
}

PicturePtr HostToolkit::LoadDensePictureFromBytes(std::span<const std::uint8_t> bytes, int density) {
    std::optional<image::Pixels> dense = image::DecodeOwn(bytes);
    if (!dense || density <= 1) return LoadPictureFromBytes(bytes);
    image::Pixels plain{dense->width / density, dense->height / density, {}};
    plain.bgra.resize(static_cast<std::size_t>(plain.width) * static_cast<std::size_t>(plain.height) * 4);
    if (!ScalePixels(dense->bgra, dense->width, dense->height, plain.bgra, plain.width, plain.height))
        return nullptr;
    return std::make_shared<PixelPicture>(std::move(plain));
}

void HostToolkit::Sleep(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::max(0, milliseconds)));
}

long long HostToolkit::Now() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void HostToolkit::MessageBox(const std::string& text) { std::cerr << text << '\n'; }

void HostToolkit::EndProgram() { std::exit(0); }

}  // namespace corvale::host
