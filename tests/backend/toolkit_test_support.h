// Helpers for the toolkit's backend tests: a recording event sink, pumping
// messages for a while, and pictures written byte by byte.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/toolkit.h"

namespace corvale::win32::testing {

// Wine's major version (10 for "10.0"); 0 on Windows.
inline int WineMajorVersion() {
    using Version = const char*(CDECL*)();
    const auto version = reinterpret_cast<Version>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
    return version ? std::atoi(version()) : 0;
}

struct Heard {
    std::string what;  // "down", "move", "up", "click", "key", "timer"
    ControlRef ref;
    MouseEvent mouse;
    KeyEvent key;
};

class RecordingEvents : public FormEvents {
public:
    void OnMouseDown(ControlRef r, const MouseEvent& e) override { Record({"down", r, e, {}}); }
    void OnMouseMove(ControlRef r, const MouseEvent& e) override { Record({"move", r, e, {}}); }
    void OnMouseUp(ControlRef r, const MouseEvent& e) override { Record({"up", r, e, {}}); }
    void OnClick(ControlRef r) override { Record({"click", r, {}, {}}); }
    void OnKeyUp(ControlRef r, const KeyEvent& k) override { Record({"key", r, {}, k}); }
    void OnTimer(ControlRef r) override { Record({"timer", r, {}, {}}); }

    int Count(const std::string& what, ControlRef ref) const {
        int n = 0;
        for (const Heard& h : heard)
            if (h.what == what && h.ref == ref) ++n;
        return n;
    }
    // What was heard, in order, leaving out timer ticks.
    std::vector<Heard> Mouse() const {
        std::vector<Heard> out;
        for (const Heard& h : heard)
            if (h.what != "timer") out.push_back(h);
        return out;
    }
    void Forget() { heard.clear(); }

    std::vector<Heard> heard;
    // Runs after each event is recorded, as a handler of the program would.
    std::function<void(const Heard&)> onHeard;

private:
    void Record(const Heard& h) {
        heard.push_back(h);
        if (onHeard) onHeard(h);
    }
};

// Lets events run for about `milliseconds`, in small steps.
inline void PumpFor(Toolkit& toolkit, int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        toolkit.DoEvents();
        ::Sleep(2);
    }
    toolkit.DoEvents();
}

inline HWND AsHwnd(WindowHandle h) { return reinterpret_cast<HWND>(h); }

inline void PutLe16(std::vector<std::uint8_t>& out, int v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
inline void PutLe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

// A 24-bit BMP of `rgb` (rows top to bottom, R G B), stored as BMPs are:
// bottom row first, B G R, rows padded to four bytes.
inline std::vector<std::uint8_t> Bmp24(int width, int height, const std::vector<std::uint8_t>& rgb) {
    const int stride = (width * 3 + 3) & ~3;
    std::vector<std::uint8_t> out{'B', 'M'};
    PutLe32(out, static_cast<std::uint32_t>(54 + stride * height));
    PutLe32(out, 0);
    PutLe32(out, 54);
    PutLe32(out, 40);
    PutLe32(out, static_cast<std::uint32_t>(width));
    PutLe32(out, static_cast<std::uint32_t>(height));
    PutLe16(out, 1);
    PutLe16(out, 24);
    for (int i = 0; i < 6; ++i) PutLe32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t p = static_cast<std::size_t>((y * width + x) * 3);
            out.push_back(rgb[p + 2]);
            out.push_back(rgb[p + 1]);
            out.push_back(rgb[p]);
        }
        for (int pad = width * 3; pad < stride; ++pad) out.push_back(0);
    }
    return out;
}

// GIF image data for colour indices 0..3 (minimum code size 2). Each pair of
// pixels follows a clear code, so the code width stays at three bits and no
// table entry is ever used: plain, and valid for every decoder.
inline std::vector<std::uint8_t> GifLiteralData(const std::vector<int>& pixels) {
    std::vector<int> codes;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (i % 2 == 0) codes.push_back(4);  // clear
        codes.push_back(pixels[i]);
    }
    codes.push_back(5);  // end of information
    std::vector<std::uint8_t> packed;
    std::uint32_t bits = 0;
    int count = 0;
    for (int code : codes) {
        bits |= static_cast<std::uint32_t>(code) << count;
        count += 3;
        while (count >= 8) {
            packed.push_back(static_cast<std::uint8_t>(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    }
    if (count > 0) packed.push_back(static_cast<std::uint8_t>(bits & 0xFF));
    std::vector<std::uint8_t> out{2};  // minimum code size
    for (std::size_t i = 0; i < packed.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, packed.size() - i);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), packed.begin() + static_cast<std::ptrdiff_t>(i),
                   packed.begin() + static_cast<std::ptrdiff_t>(i + n));
    }
    out.push_back(0);  // block terminator
    return out;
}

struct GifFrame {
    int delay;  // hundredths of a second
    int left, top, width, height;
    std::vector<int> pixels;
};

// Palette: 0 red, 1 green, 2 blue, 3 white.
inline std::vector<std::uint8_t> AnimatedGif(int width, int height, const std::vector<GifFrame>& frames) {
    std::vector<std::uint8_t> out{'G', 'I', 'F', '8', '9', 'a'};
    PutLe16(out, width);
    PutLe16(out, height);
    out.insert(out.end(), {0x81, 0, 0});
    out.insert(out.end(), {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
    const char* loop = "NETSCAPE2.0";
    out.insert(out.end(), {0x21, 0xFF, 11});
    out.insert(out.end(), loop, loop + 11);
    out.insert(out.end(), {3, 1, 0, 0, 0});
    for (const GifFrame& f : frames) {
        out.insert(out.end(), {0x21, 0xF9, 4, 0});
        PutLe16(out, f.delay);
        out.insert(out.end(), {0, 0});
        out.push_back(0x2C);
        PutLe16(out, f.left);
        PutLe16(out, f.top);
        PutLe16(out, f.width);
        PutLe16(out, f.height);
        out.push_back(0);
        const auto data = GifLiteralData(f.pixels);
        out.insert(out.end(), data.begin(), data.end());
    }
    out.push_back(0x3B);
    return out;
}

// Frames cut the way the animation step cuts them: the header up to the first
// graphic control block's introducer, then from each F9 up to and including
// the next 21; the last from its F9 up to the file's last two bytes.
inline std::vector<std::vector<std::uint8_t>> CutFrames(const std::vector<std::uint8_t>& gif) {
    auto marker = [&](std::size_t from) -> std::ptrdiff_t {
        for (std::size_t i = from; i + 2 < gif.size(); ++i)
            if (gif[i] == 0x00 && gif[i + 1] == 0x21 && gif[i + 2] == 0xF9)
                return static_cast<std::ptrdiff_t>(i);
        return -1;
    };
    std::vector<std::vector<std::uint8_t>> frames;
    const std::ptrdiff_t first = marker(0);
    if (first < 0) return frames;
    const std::vector<std::uint8_t> header(gif.begin(), gif.begin() + first + 2);
    auto add = [&](std::size_t from, std::size_t to) {  // inclusive
        std::vector<std::uint8_t> frame = header;
        frame.insert(frame.end(), gif.begin() + static_cast<std::ptrdiff_t>(from),
                     gif.begin() + static_cast<std::ptrdiff_t>(to + 1));
        frames.push_back(std::move(frame));
    };
    std::size_t q = static_cast<std::size_t>(first) + 3;
    for (std::ptrdiff_t m = marker(q); m >= 0; m = marker(q)) {
        add(q - 1, static_cast<std::size_t>(m) + 1);
        q = static_cast<std::size_t>(m) + 3;
    }
    if (q < gif.size() - 1) add(q - 1, gif.size() - 3);
    return frames;
}

// A folder of its own under the temp folder, removed with what it holds.
class TempFolder {
public:
    explicit TempFolder(const std::wstring& name) {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        path_ = std::wstring(base) + name + L"-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() {
        for (const auto& file : files_) DeleteFileW(file.c_str());
        RemoveDirectoryW(path_.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::wstring Write(const std::wstring& name, const std::vector<std::uint8_t>& bytes) {
        const std::wstring file = path_ + L"\\" + name;
        HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
        DWORD written = 0;
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(h);
        files_.push_back(file);
        return file;
    }
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
    std::vector<std::wstring> files_;
};

}  // namespace corvale::win32::testing
