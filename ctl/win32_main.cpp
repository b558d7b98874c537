// corvalectl.exe: the commands over the real settings store, skin reader,
// files, desktop and picture decoder.
#include "platform/win32/toolkit.h"  // <windows.h> before any core header

#include <iostream>
#include <string>
#include <vector>

#include "app/startup.h"
#include "ctl/commands.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/launcher_win32.h"
#include "platform/win32/mixer_win32.h"
#include "platform/win32/probes_win32.h"
#include "platform/win32/profile_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/settings_win32.h"
#include "platform/win32/shaper_win32.h"
#include "platform/win32/sound_win32.h"
#include "platform/win32/text.h"

namespace corvale::ctl {
namespace {

using win32::Narrow;
using win32::Widen;

// The desktop's windows as the panel's single-instance rule sees them. Not
// the program's own desktop object: that one takes the panel's instance
// mark, and a panel started while this runs would take itself for a second.
class CtlDesktop final : public Desktop {
public:
    bool PreviousInstanceRunning() override { return false; }

    std::vector<TopWindow> TopLevelWindows() override {
        constexpr size_t kMaxWindows = 65536;  // a z-order changing into a loop under us
        std::vector<TopWindow> windows;
        for (HWND w = GetTopWindow(nullptr); w && windows.size() < kMaxWindows;
             w = GetWindow(w, GW_HWNDNEXT)) {
            TopWindow info;
            info.handle = reinterpret_cast<WindowHandle>(w);
            info.visible = IsWindowVisible(w) != FALSE;
            info.parent = reinterpret_cast<WindowHandle>(GetParent(w));
            const HWND owner = GetWindow(w, GW_OWNER);
            info.owner = reinterpret_cast<WindowHandle>(owner);
            info.exStyle = static_cast<std::uint32_t>(GetWindowLongPtrW(w, GWL_EXSTYLE));
            info.ownerExStyle = owner ? static_cast<std::uint32_t>(GetWindowLongPtrW(owner, GWL_EXSTYLE)) : 0;
            wchar_t caption[256] = {};
            const int copied = GetWindowTextW(w, caption, static_cast<int>(std::size(caption)));
            info.caption = Narrow(std::wstring_view(caption, copied > 0 ? static_cast<size_t>(copied) : 0));
            windows.push_back(std::move(info));
        }
        return windows;
    }

    void RaiseWindow(WindowHandle window) override {
        const HWND target = reinterpret_cast<HWND>(window);
        SetWindowPos(target, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetWindowPos(target, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
};

// What the system starts when the user signs in: one value per program, named
// here for the panel, as the installer writes it too.
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
std::wstring RunValueName() { return Widen(kProgramId); }

class Win32System final : public System {
public:
    std::optional<std::string> FullFolderPath(const std::string& typed) override {
        const std::wstring wide = Widen(typed);
        const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
        if (needed == 0) return std::nullopt;
        std::wstring full(needed, L'\0');
        const DWORD written = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
        if (written == 0 || written >= needed) return std::nullopt;
        full.resize(written);
        const DWORD attributes = GetFileAttributesW(full.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return std::nullopt;
        if (full.back() != L'\\' && full.back() != L'/') full += L'\\';
        return Narrow(full);
    }

    FileSystem& Files() override { return files_; }
    Platform& ThemePlatform(const std::string&) override { return platform_; }
    SettingsStore* Settings() override { return &settings_; }

    bool PanelRunning() override {
        return FindPreviousInstance(desktop_.TopLevelWindows(), kAppCaption) != -1;
    }

    std::optional<std::pair<int, int>> ScreenPixels() override {
        const int width = GetSystemMetrics(SM_CXSCREEN);
        const int height = GetSystemMetrics(SM_CYSCREEN);
        if (width <= 0 || height <= 0) return std::nullopt;
        return std::pair{width, height};
    }
    void Pause(int milliseconds) override { ::Sleep(static_cast<DWORD>(milliseconds)); }
    long long NowMilliseconds() override { return static_cast<long long>(GetTickCount64()); }

    std::string PanelProgram() override {
        std::wstring path(MAX_PATH, L'\0');
        for (;;) {
            const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
            if (length == 0) return "corvale.exe";
            if (length < path.size()) {
                path.resize(length);
                break;
            }
            path.resize(path.size() * 2);  // cut short: a long path
        }
        path.resize(path.find_last_of(L"\\/") + 1);
        return Narrow(path + L"corvale.exe");
    }

    std::optional<std::string> LogonCommand() override {
        HKEY opened = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
            return std::nullopt;
        const win32::UniqueKey key(opened);
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
        if (win32::QueryValueBytes(key.get(), RunValueName(), type, data) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::nullopt;
        return Narrow(win32::RegistryText(data));
    }

    bool SetLogonCommand(const std::optional<std::string>& command) override {
        if (!command) {
            const LONG code = RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, RunValueName().c_str());
            return code == ERROR_SUCCESS || code == ERROR_FILE_NOT_FOUND;
        }
        HKEY created = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                            nullptr, &created, nullptr) != ERROR_SUCCESS)
            return false;
        const win32::UniqueKey key(created);
        const std::wstring text = Widen(*command);
        const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
        return RegSetValueExW(key.get(), RunValueName().c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(text.c_str()), bytes) == ERROR_SUCCESS;
    }

private:
    CtlDesktop desktop_;
    win32::Win32Toolkit toolkit_;  // its picture decoder is the panel's
    win32::RegistrySettings settings_;
    win32::ProfileFileReader profile_;
    win32::Win32Files files_;
    // The checker reads no sound, launches nothing and opens no mixer; these
    // only complete the bundle the skin reader is made with.
    win32::Win32Sound sound_;
    win32::Win32Launcher launcher_;
    win32::Win32Shaper shaper_;
    win32::Win32Probes probes_;
    win32::Win32Mixer mixer_;
    Platform platform_{toolkit_, settings_, profile_, files_,  desktop_,
                       sound_,   launcher_, shaper_,  probes_, mixer_};
};

}  // namespace
}  // namespace corvale::ctl

int wmain(int argc, wchar_t** argv) {
    using namespace corvale;
    // Text is UTF-8 throughout; so is what the console shows.
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(win32::Narrow(argv[i]));
    ctl::Win32System system;
    const int code = ctl::Run(args, system, std::cout, std::cerr);
    std::cout.flush();
    return code;
}
