// corvalectl.exe: the commands over the real settings store, skin reader,
// files, desktop and picture decoder.
#include "platform/win32/toolkit.h"  // <windows.h> before any core header

#include <algorithm>
#include <ostream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

#include "app/startup.h"
#include "ctl/commands.h"
#include "platform/win32/desktop_win32.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/handles.h"
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

// Text to one of the standard handles, a line at a time: to a console as
// UTF-16 through WriteConsoleW, which shows every character whatever the
// console's code page and leaves that page as the user had it; to a pipe or
// a file as UTF-8, each line ended with CR LF as Windows' text files are.
class StandardOutput final : public std::streambuf {
public:
    explicit StandardOutput(DWORD which) : handle_(GetStdHandle(which)) {
        DWORD mode = 0;
        console_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE && GetConsoleMode(handle_, &mode);
    }
    ~StandardOutput() override { sync(); }
    StandardOutput(const StandardOutput&) = delete;
    StandardOutput& operator=(const StandardOutput&) = delete;

protected:
    int_type overflow(int_type ch) override {
        if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
        const char c = traits_type::to_char_type(ch);
        xsputn(&c, 1);
        return ch;
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending_.append(text, static_cast<std::size_t>(count));
        // Whole lines go out at once; a line never ends inside a character.
        if (const std::size_t end = pending_.rfind('\n'); end != std::string::npos) {
            Write(std::string_view(pending_).substr(0, end + 1));
            pending_.erase(0, end + 1);
        }
        return count;
    }
    int sync() override {
        Write(pending_);
        pending_.clear();
        return 0;
    }

private:
    void Write(std::string_view text) const {
        if (text.empty() || !handle_ || handle_ == INVALID_HANDLE_VALUE) return;
        DWORD written = 0;
        if (!console_) {
            std::string bytes;
            for (const char c : text) {
                if (c == '\n') bytes += '\r';
                bytes += c;
            }
            WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            return;
        }
        // Older consoles take at most 64 KB a call; a pair of surrogates
        // stays together.
        const std::wstring wide = Widen(text);
        for (std::size_t at = 0; at < wide.size();) {
            std::size_t count = std::min<std::size_t>(wide.size() - at, 8192);
            if (at + count < wide.size() && IS_HIGH_SURROGATE(wide[at + count - 1])) --count;
            WriteConsoleW(handle_, wide.data() + at, static_cast<DWORD>(count), &written, nullptr);
            at += count;
        }
    }

    HANDLE handle_;
    bool console_ = false;
    std::string pending_;
};

// What the system starts when the user signs in: one value per program, named
// here for the panel, as the installer writes it too.
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
std::wstring RunValueName() { return Widen(kProgramId); }

// The full path of what was typed, without separators at its end (a drive's
// root keeps its own).
std::optional<std::wstring> FullPath(const std::string& typed) {
    const std::wstring wide = Widen(typed);
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return std::nullopt;
    std::wstring full(needed, L'\0');
    const DWORD written = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed) return std::nullopt;
    full.resize(written);
    while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
    return full;
}

class Win32System final : public System {
public:
    std::optional<std::string> FullFolderPath(const std::string& typed) override {
        std::optional<std::wstring> full = FullPath(typed);
        if (!full) return std::nullopt;
        const DWORD attributes = GetFileAttributesW(full->c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return std::nullopt;
        if (full->back() != L'\\' && full->back() != L'/') *full += L'\\';
        return Narrow(*full);
    }

    FileSystem& Files() override { return files_; }
    std::optional<std::string> NewEmptyFolder(const std::string& typed, std::string& problem) override;
    bool WriteNewFile(const std::string& path, std::span<const std::uint8_t> bytes) override;
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
    // The panel's own view of the work area, which its window fills.
    std::optional<std::pair<int, int>> WorkAreaPixels() override {
        const Rect area = toolkit_.WorkArea();
        if (area.Width() <= 0 || area.Height() <= 0) return std::nullopt;
        return std::pair{static_cast<int>(area.Width()), static_cast<int>(area.Height())};
    }

    std::optional<bool> FindProgram(const std::string& program, const std::string& folder) override;

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

bool EmptyFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    const win32::UniqueFindSearch search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!search) return true;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") return false;
    } while (FindNextFileW(search.get(), &found));
    return true;
}

std::optional<std::string> Win32System::NewEmptyFolder(const std::string& typed, std::string& problem) {
    const auto folder = FullPath(typed);
    if (!folder) {
        problem = "there is no folder name in " + typed;
        return std::nullopt;
    }
    const DWORD attributes = GetFileAttributesW(folder->c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || !EmptyFolder(*folder)) {
            problem =
                typed + " is there and not an empty folder: a starter theme goes into a new or empty one";
            return std::nullopt;
        }
    } else if (!CreateDirectoryW(folder->c_str(), nullptr)) {
        problem = "cannot make the folder " + typed + " (its parent folder must be there)";
        return std::nullopt;
    }
    return Narrow(*folder) + "\\";
}

// CREATE_NEW: the file is made new or not at all, never written over.
bool Win32System::WriteNewFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    const win32::UniqueFile file(CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool Found(const wchar_t* path, const std::wstring& program) {
    wchar_t full[MAX_PATH];
    return SearchPathW(path, program.c_str(), L".exe", MAX_PATH, full, nullptr) != 0;
}

// Where the shell looks for a program: the folder it starts in, the
// system's own search (the system folders and PATH), and the programs
// registered under App Paths.
std::optional<bool> Win32System::FindProgram(const std::string& program, const std::string& folder) {
    const std::wstring wide = Widen(program);
    if (Found(Widen(folder).c_str(), wide) || Found(nullptr, wide)) return true;
    const std::wstring appPath = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + wide;
    for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        if (RegGetValueW(root, appPath.c_str(), nullptr, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ, nullptr,
                         nullptr, nullptr) == ERROR_SUCCESS)
            return true;
    return false;
}

}  // namespace
}  // namespace corvale::ctl

int wmain(int argc, wchar_t** argv) {
    using namespace corvale;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(win32::Narrow(argv[i]));
    ctl::Win32System system;
    ctl::StandardOutput outBuffer(STD_OUTPUT_HANDLE);
    ctl::StandardOutput errBuffer(STD_ERROR_HANDLE);
    std::ostream out(&outBuffer);
    std::ostream err(&errBuffer);
    const int code = ctl::Run(args, system, out, err);
    out.flush();
    err.flush();
    return code;
}
