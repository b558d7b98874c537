// What the user sees: the X server's picture under Wine, the screen copy on
// Windows.
#include <atomic>
#include <cctype>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "tests/e2e/driver.h"

namespace corvale::e2e {
namespace {

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The root window's picture read straight from the X server (ImageMagick's
// import makes one GetImage of the root), as a binary PPM. xwd is not used:
// once windows of more than one visual are on the screen it puts the
// picture together window by window and paints some of them black.
Bytes TakeRootPicture() { return UnixCommandOutput("import -silent -window root -depth 8 ppm:-"); }

// "P6", width, height and the largest value, each after blanks, then one
// blank and the pixels, three bytes each.
size_t PpmNumber(const Bytes& ppm, size_t& at) {
    while (at < ppm.size() && std::isspace(ppm[at])) ++at;
    size_t value = 0;
    const size_t start = at;
    while (at < ppm.size() && std::isdigit(ppm[at])) value = value * 10 + (ppm[at++] - '0');
    if (at == start) throw std::runtime_error("not a PPM picture");
    return value;
}

}  // namespace

// The command writes to a name of its own and the shell renames it once
// complete, so the file is never read half written; the Unix process Wine
// starts cannot be waited for, so the finished file is the signal.
Bytes UnixCommandOutput(const std::string& command) {
    static std::atomic<int> serial{0};
    const std::string name =
        "corvale-unix-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    const std::string unixPath = "/tmp/" + name;
    const std::filesystem::path output = "Z:\\tmp\\" + name + ".out";
    std::wstring line = Wide("sh -c \"" + command + " >" + unixPath + ".part && mv " + unixPath + ".part " +
                             unixPath + ".out\"");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started))
        throw std::runtime_error("cannot start the shell for " + command);
    const win32::UniqueKernelObject process(started.hProcess);
    const win32::UniqueKernelObject thread(started.hThread);
    std::error_code ignored;
    if (!WaitUntil([&] { return std::filesystem::exists(output, ignored); }, 10s))
        throw std::runtime_error(command + " wrote nothing");
    Bytes bytes = ReadFile(output);
    std::filesystem::remove(output, ignored);
    return bytes;
}

ShownScreen::ShownScreen() {
    // Wine hands its windows' pictures to X a moment after they are drawn.
    Sleep(150);
    if (!RunningUnderWine()) {
        const ScreenShot copy(Box{0, 0, ScreenWidth(), ScreenHeight()});
        width_ = ScreenWidth();
        height_ = ScreenHeight();
        pixels_.reserve(static_cast<size_t>(width_) * height_);
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                const Rgb c = copy.At(x, y);
                pixels_.push_back(std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b);
            }
        return;
    }
    const Bytes ppm = TakeRootPicture();
    if (ppm.size() < 2 || ppm[0] != 'P' || ppm[1] != '6') throw std::runtime_error("not a PPM picture");
    size_t at = 2;
    width_ = static_cast<int>(PpmNumber(ppm, at));
    height_ = static_cast<int>(PpmNumber(ppm, at));
    if (PpmNumber(ppm, at) != 255) throw std::runtime_error("a PPM picture of more than 8 bits a channel");
    ++at;
    const size_t count = static_cast<size_t>(width_) * height_;
    if (ppm.size() < at + count * 3) throw std::runtime_error("PPM picture cut short");
    pixels_.reserve(count);
    for (size_t i = 0; i < count; ++i, at += 3)
        pixels_.push_back(std::uint32_t{ppm[at]} << 16 | std::uint32_t{ppm[at + 1]} << 8 | ppm[at + 2]);
}

Rgb ShownScreen::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) throw std::out_of_range("point outside the screen");
    const std::uint32_t p = pixels_[static_cast<size_t>(y) * width_ + x];
    return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
            static_cast<std::uint8_t>(p)};
}

void ShownScreen::Save(const std::filesystem::path& bmp) const {
    Canvas picture(width_, height_, Rgb{});
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) picture.Set(x, y, At(x, y));
    const Bytes bytes = EncodeBmp(picture);
    std::ofstream(bmp, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace corvale::e2e
