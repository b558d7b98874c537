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

#include "image/gif_cut.h"
#include "platform/win32/toolkit.h"
#include "tests/support/encode.h"

namespace corvale::win32::testing {

// Wine's major version (10 for "10.0"); 0 on Windows.
inline int WineMajorVersion() {
    using Version = const char*(CDECL*)();
    const auto version = reinterpret_cast<Version>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
    return version ? std::atoi(version()) : 0;
}

struct Heard {
    std::string what;  // "down", "move", "up", "click", "key", "timer", "display"
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
    void OnDisplayChange() override { Record({"display", {}, {}, {}}); }

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

using test::PutLe16;
using test::PutLe32;

// A 24-bit BMP of `rgb` (rows top to bottom, R G B).
inline std::vector<std::uint8_t> Bmp24(int width, int height, const std::vector<std::uint8_t>& rgb) {
    return test::EncodeBmp(test::Canvas::FromRgb(width, height, rgb));
}

// A frame of palette indices: 0 red, 1 green, 2 blue, 3 white.
struct GifFrame {
    int delay;  // hundredths of a second
    int left, top, width, height;
    std::vector<int> pixels;
};

inline std::vector<std::uint8_t> AnimatedGif(int width, int height, const std::vector<GifFrame>& frames) {
    static const test::Rgb kColours[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    std::vector<test::GifFrame> encoded;
    for (const GifFrame& f : frames) {
        test::Canvas canvas(f.width, f.height, {});
        for (std::size_t i = 0; i < f.pixels.size(); ++i)
            canvas.Set(static_cast<int>(i) % f.width, static_cast<int>(i) / f.width, kColours[f.pixels[i]]);
        encoded.push_back({canvas, f.delay, f.left, f.top});
    }
    return test::EncodeGif(encoded, std::pair{width, height});
}

// Frames cut the way the animation entry cuts them.
inline std::vector<std::vector<std::uint8_t>> CutFrames(const std::vector<std::uint8_t>& gif) {
    std::vector<std::vector<std::uint8_t>> frames;
    image::GifCutter cutter(gif);
    while (const auto chunk = cutter.NextChunk())
        frames.push_back(image::FrameBytes(cutter.Header(), *chunk));
    if (const auto chunk = cutter.LastChunk()) frames.push_back(image::FrameBytes(cutter.Header(), *chunk));
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
