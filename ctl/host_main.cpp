// corvalectl on Linux: the theme checker over the files on disk, so a theme
// can be checked where it is made. The other commands need the panel's
// settings store and say so.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>

#include "ctl/commands.h"
#include "skin/profile_text.h"
#include "skin/values.h"
#include "tests/fake/fake_platform.h"

namespace corvale::ctl {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Skins name their files as Windows does: with backslashes, in any case.
// The first entry of each folder that matches without regard to case is
// the one taken.
std::optional<fs::path> Resolve(const std::string& windowsPath) {
    std::string path = windowsPath;
    std::replace(path.begin(), path.end(), '\\', '/');
    std::error_code error;
    if (fs::exists(path, error)) return fs::path(path);
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
    return resolved;
}

std::optional<Bytes> ReadFile(const std::string& windowsPath) {
    const auto path = Resolve(windowsPath);
    std::error_code error;
    if (!path || !fs::is_regular_file(*path, error)) return std::nullopt;
    std::ifstream in(*path, std::ios::binary);
    if (!in) return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class HostFiles final : public FileSystem {
public:
    std::optional<Bytes> ReadAll(const std::string& path) override { return ReadFile(path); }
    std::int64_t FileLength(const std::string& path) override {
        const auto resolved = Resolve(path);
        std::error_code error;
        if (!resolved || !fs::is_regular_file(*resolved, error)) return -1;
        const auto size = fs::file_size(*resolved, error);
        return error ? -1 : static_cast<std::int64_t>(size);
    }
    std::optional<FileDate> LastModified(const std::string&) override { return std::nullopt; }
    std::optional<std::vector<std::string>> ListFiles(const std::string&, const std::string&) override {
        return std::nullopt;
    }
};

// The system's reader's rules, as the panel applies them to the UTF-8
// skins that reader cannot take. Skins on the host are read as UTF-8 (an
// ANSI skin's letters beyond ASCII may show differently; its numbers and
// names do not).
class HostProfile final : public ProfileReader {
public:
    std::optional<std::string> Read(const std::string& section, const std::string& key,
                                    const std::string& fallback, const std::string& file,
                                    int bufferChars) override {
        std::string value(ProfileFallback(fallback));
        if (const auto bytes = ReadFile(file)) {
            std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
            if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
            if (const auto found = FindProfileValue(text, section, key)) value = std::string(*found);
        }
        const size_t room = bufferChars > 0 ? static_cast<size_t>(bufferChars - 1) : 0;
        if (value.size() > room) value.resize(room);
        return value;
    }
};

std::uint32_t Little(const Bytes& b, size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | b[at + static_cast<size_t>(i)];
    return value;
}

// Whether the bytes hold a bitmap the system would show: a known header, a
// sane size and depth, and pixel data that fits in the file.
std::optional<std::pair<int, int>> BitmapSize(const Bytes& b) {
    if (b.size() < 26 || b[0] != 'B' || b[1] != 'M') return std::nullopt;
    const std::uint32_t offset = Little(b, 10, 4);
    const std::uint32_t header = Little(b, 14, 4);
    long long width = 0, height = 0;
    std::uint32_t planes = 0, depth = 0, compression = 0;
    if (header == 12) {
        width = Little(b, 18, 2);
        height = Little(b, 20, 2);
        planes = Little(b, 22, 2);
        depth = Little(b, 24, 2);
    } else if (header >= 40 && b.size() >= 34) {
        width = static_cast<std::int32_t>(Little(b, 18, 4));
        height = static_cast<std::int32_t>(Little(b, 22, 4));
        planes = Little(b, 26, 2);
        depth = Little(b, 28, 2);
        compression = Little(b, 30, 4);
    } else {
        return std::nullopt;
    }
    const bool knownDepth =
        depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
    if (planes != 1 || !knownDepth || width <= 0 || height == 0 || width > 65535 ||
        std::llabs(height) > 65535 || offset >= b.size())
        return std::nullopt;
    if (compression == 0 || compression == 3) {
        const long long stride = (width * depth + 31) / 32 * 4;
        if (offset + stride * std::llabs(height) > static_cast<long long>(b.size())) return std::nullopt;
    }
    return std::pair{static_cast<int>(width), static_cast<int>(std::llabs(height))};
}

// Whether the bytes hold a GIF with at least one image whose data starts:
// the header, the colour table, and the blocks up to the first image. A
// frame cut out of an animation lacks its proper end, which the system's
// decoder forgives too.
std::optional<std::pair<int, int>> GifSize(const Bytes& b) {
    const std::string signature(b.begin(),
                                b.begin() + static_cast<std::ptrdiff_t>(std::min<size_t>(6, b.size())));
    if (b.size() < 13 || (signature != "GIF87a" && signature != "GIF89a")) return std::nullopt;
    const int width = static_cast<int>(Little(b, 6, 2));
    const int height = static_cast<int>(Little(b, 8, 2));
    size_t at = 13 + ((b[10] & 0x80) ? 3u << ((b[10] & 7) + 1) : 0);
    auto skipSubBlocks = [&] {
        while (at < b.size() && b[at] != 0) at += 1 + b[at];
        return at < b.size() ? ++at : at;
    };
    while (at < b.size()) {
        if (b[at] == 0x21 && at + 1 < b.size()) {
            at += 2;
            skipSubBlocks();
        } else if (b[at] == 0x2C && at + 10 < b.size()) {
            const std::uint8_t flags = b[at + 9];
            at += 10 + ((flags & 0x80) ? 3u << ((flags & 7) + 1) : 0);
            const bool codeSize = at < b.size() && b[at] >= 1 && b[at] <= 11;
            const bool data = at + 1 < b.size() && b[at + 1] > 0;
            if (!codeSize || !data || width == 0 || height == 0) return std::nullopt;
            return std::pair{width, height};
        } else {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

PicturePtr Decode(const std::string& source, const Bytes& bytes) {
    auto size = BitmapSize(bytes);
    if (!size) size = GifSize(bytes);
    if (!size) return nullptr;
    return std::make_shared<fake::FakePicture>(source, size->first, size->second);
}

// The fake toolkit with pictures read from disk and checked for what a
// decoder needs; the system's decoder is not here.
class HostToolkit final : public fake::FakeToolkit {
public:
    PicturePtr LoadPicture(const std::string& path) override {
        const auto bytes = ReadFile(path);
        return bytes ? Decode(path, *bytes) : nullptr;
    }
    PicturePtr LoadPictureFromBytes(std::span<const std::uint8_t> bytes) override {
        return Decode("bytes", Bytes(bytes.begin(), bytes.end()));
    }
};

class HostSystem final : public System {
public:
    std::optional<std::string> FullFolderPath(const std::string& typed) override {
        std::error_code error;
        const auto folder = Resolve(typed);
        if (!folder || !fs::is_directory(*folder, error)) return std::nullopt;
        std::string full = fs::canonical(*folder, error).string();
        if (error) return std::nullopt;
        if (!full.ends_with('/')) full += '/';
        return full;
    }
    FileSystem& Files() override { return files_; }
    Platform& ThemePlatform(const std::string&) override { return platform_; }
    SettingsStore* Settings() override { return nullptr; }
    bool PanelRunning() override { return false; }
    std::optional<std::pair<int, int>> ScreenPixels() override { return std::nullopt; }
    void Pause(int) override {}
    long long NowMilliseconds() override { return 0; }
    std::string PanelProgram() override { return ""; }
    std::optional<std::string> LogonCommand() override { return std::nullopt; }
    bool SetLogonCommand(const std::optional<std::string>&) override { return false; }

private:
    // The checker reads skins, files and pictures; the other fakes only
    // complete the bundle the skin reader is made with.
    fake::FakePlatform unused_;
    HostToolkit toolkit_;
    HostProfile profile_;
    HostFiles files_;
    Platform platform_{toolkit_,      unused_.settings, profile_,       files_,         unused_.desktop,
                       unused_.sound, unused_.launcher, unused_.shaper, unused_.probes, unused_.mixer};
};

}  // namespace
}  // namespace corvale::ctl

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    corvale::ctl::HostSystem system;
    return corvale::ctl::Run(args, system, std::cout, std::cerr);
}
