// Sound through the system's simple player and through MCI.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <map>
#include <string>

#include "platform/sound.h"
#include "platform/win32/handles.h"

namespace corvale::win32 {

// Overlapping sounds each get an MCI alias of their own; MCI tells a
// message-only window of the player when a sound has ended and the player
// then closes that alias, so no device stays open per sound played. The
// notifications arrive through the thread's message loop. Aliases still
// open when the player goes are closed with it.
class Win32Sound final : public SoundPlayer {
public:
    Win32Sound() = default;
    ~Win32Sound() override;
    // The notification window points back at the player.
    Win32Sound(const Win32Sound&) = delete;
    Win32Sound& operator=(const Win32Sound&) = delete;

    std::string ShortPath(const std::string& path) override;
    // True once the system player has the file; a file that exists but will
    // not decode fails later, in silence.
    bool PlaySimple(const std::string& file) override;
    bool PlayOverlapping(const std::string& file) override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool EnsureWindow();
    void OnNotify(WPARAM flags, MCIDEVICEID device);
    void CloseAlias(const std::wstring& alias);

    UniqueWindow window_;
    std::map<MCIDEVICEID, std::wstring> open_;  // device -> alias
    unsigned next_ = 1;
};

}  // namespace corvale::win32
