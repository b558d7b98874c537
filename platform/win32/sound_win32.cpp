// Sound through the system's simple player and through MCI.
#include "platform/win32/sound_win32.h"

#include <utility>
#include <vector>

#include "platform/win32/text.h"
#include "platform/win32/window_class.h"

namespace corvale::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"Corvale sound notifications";

bool RegisterWindowClass(WNDPROC procedure) { return RegisteredClass({kWindowClass, procedure}) != nullptr; }

bool Mci(const std::wstring& command, HWND callback = nullptr) {
    return mciSendStringW(command.c_str(), nullptr, 0, callback) == 0;
}

}  // namespace

Win32Sound::~Win32Sound() {
    // Moved out first: closing never reenters the map, but a notification
    // handled meanwhile must not see half of it.
    const auto open = std::exchange(open_, {});
    for (const auto& [device, alias] : open) CloseAlias(alias);
}

std::string Win32Sound::ShortPath(const std::string& path) {
    const std::wstring wide = Widen(path);
    const DWORD needed = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (needed == 0) return {};
    std::wstring shortPath(needed, L'\0');
    const DWORD written = GetShortPathNameW(wide.c_str(), shortPath.data(), needed);
    if (written == 0 || written >= needed) return {};
    shortPath.resize(written);
    return Narrow(shortPath);
}

bool Win32Sound::PlaySimple(const std::string& file) {
    const std::wstring wide = Widen(file);
    // An asynchronous start opens the file on the player's own thread and
    // reports success before it knows; a missing file at least is told here.
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    // No default sound: a file that will not play stays silent instead of
    // beeping at the user.
    return PlaySoundW(wide.c_str(), nullptr, SND_ASYNC | SND_FILENAME | SND_NODEFAULT) != FALSE;
}

bool Win32Sound::PlayOverlapping(const std::string& file) {
    if (file.empty() || !EnsureWindow()) return false;
    const std::wstring alias = L"corvale" + std::to_wstring(next_++);
    // Quoted, so that a path with blanks opens even when no short form
    // exists. No device type: MCI picks it from the file's type, so a MIDI
    // or other file plays here as it does through the simple "play".
    if (!Mci(L"open \"" + Widen(file) + L"\" alias " + alias)) return false;
    const MCIDEVICEID device = mciGetDeviceIDW(alias.c_str());
    if (device == 0 || !Mci(L"play " + alias + L" notify", window_.get())) {
        CloseAlias(alias);
        return false;
    }
    open_[device] = alias;
    return true;
}

bool Win32Sound::EnsureWindow() {
    if (window_) return true;
    if (!RegisterWindowClass(&Win32Sound::WindowProc)) return false;
    window_.reset(CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), this));
    return static_cast<bool>(window_);
}

void Win32Sound::OnNotify(WPARAM flags, MCIDEVICEID device) {
    // A superseded notification means the sound still plays under a newer
    // request; every other outcome is its end.
    if (flags == MCI_NOTIFY_SUPERSEDED) return;
    const auto found = open_.find(device);
    if (found == open_.end()) return;
    const std::wstring alias = std::move(found->second);
    open_.erase(found);
    CloseAlias(alias);
}

void Win32Sound::CloseAlias(const std::wstring& alias) { Mci(L"close " + alias); }

LRESULT CALLBACK Win32Sound::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == MM_MCINOTIFY) {
        if (auto* player = reinterpret_cast<Win32Sound*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
            try {
                player->OnNotify(wParam, static_cast<MCIDEVICEID>(lParam));
            } catch (...) {
                // Out of memory building a command: the alias stays open
                // until the player goes, which closes it.
            }
            return 0;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace corvale::win32
