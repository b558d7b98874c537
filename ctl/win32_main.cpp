// corvalectl.exe: the commands over the real settings store, skin reader,
// files, desktop and picture decoder.
#include "platform/win32/toolkit.h"  // <windows.h> before any core header

#include <iostream>
#include <string>
#include <vector>

#include "app/startup.h"
#include "ctl/commands.h"
#include "platform/win32/desktop_win32.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/launcher_win32.h"
#include "platform/win32/mixer_win32.h"
#include "platform/win32/probes_win32.h"
#include "platform/win32/profile_win32.h"
#include "platform/win32/settings_win32.h"
#include "platform/win32/shaper_win32.h"
#include "platform/win32/sound_win32.h"
#include "platform/win32/text.h"

namespace corvale::ctl {
namespace {

using win32::Narrow;
using win32::Widen;

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

    bool PanelRunning() override { return PanelWindow() != nullptr; }

    void LetPanelComeForward() override {
        DWORD process = 0;
        if (const HWND panel = PanelWindow(); panel && GetWindowThreadProcessId(panel, &process))
            AllowSetForegroundWindow(process);
    }

    std::optional<std::pair<int, int>> ScreenPixels() override {
        const int width = GetSystemMetrics(SM_CXSCREEN);
        const int height = GetSystemMetrics(SM_CYSCREEN);
        if (width <= 0 || height <= 0) return std::nullopt;
        return std::pair{width, height};
    }
    void Pause(int milliseconds) override { ::Sleep(static_cast<DWORD>(milliseconds)); }
    long long NowMilliseconds() override { return static_cast<long long>(GetTickCount64()); }

private:
    HWND PanelWindow() {
        const long long found = FindPreviousInstance(desktop_.TopLevelWindows(), kAppCaption);
        return found == -1 ? nullptr : reinterpret_cast<HWND>(found);
    }

    win32::Win32Windows desktop_;
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
