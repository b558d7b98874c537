// The window toolkit over the Win32 API.
#pragma once

// <windows.h> before the interface: its MessageBox macro then renames the
// interface's member and this override alike. A file that needs both
// includes this header (or <windows.h>) before any core header.
#include <windows.h>

#include <memory>
#include <span>
#include <string>

#include "platform/toolkit.h"
#include "platform/win32/frame_store.h"
#include "platform/win32/picture_decode.h"

namespace corvale::win32 {

class Win32Toolkit final : public Toolkit {
public:
    Win32Toolkit() = default;

    std::unique_ptr<Form> CreateOwnedForm(FormKind kind, FormEvents& events, WindowHandle owner) override;
    PicturePtr LoadPicture(const std::string& path) override;
    PicturePtr LoadPictureFromBytes(std::span<const std::uint8_t> bytes) override;
    PicturePtr LoadDensePictureFromBytes(std::span<const std::uint8_t> bytes, int density) override;
    PictureFile ChoosePictureFile(const std::string& path) override;
    void DoEvents() override;
    void Sleep(int milliseconds) override;
    long long Now() const override;
    void MessageBox(const std::string& text) override;
    int ScreenWidthPixels() const override;
    int TwipsPerPixelX() const override;
    int TwipsPerPixelY() const override;
    Rect WorkArea() const override;
    NearestMonitor MonitorNearest(const Rect& r) const override;
    Point CursorPos() const override;
    WindowHandle WindowFromPoint(Point screen) const override;
    [[noreturn]] void EndProgram() override;

    // The program's message loop, after the main form's load: runs until the
    // quit message and returns its exit code.
    int RunMessageLoop();

private:
    PictureDecoder decoder_;
    // The cursor as last read, so that the window under it is looked up
    // where it really is, not where its skin pixel begins.
    mutable POINT cursor_{};
    mutable Point cursorInSkin_{};  // holds COM for the thread
    FrameStore frames_{decoder_};   // animation frames cut from GIF bytes
};

}  // namespace corvale::win32
