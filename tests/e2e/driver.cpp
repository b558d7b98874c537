// Starting corvale.exe in a prepared theme folder and watching it from the
// outside: windows, screen pixels, cursor and clicks.
#include "tests/e2e/driver.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>
#include <ostream>
#include <stdexcept>
#include <thread>

#include "platform/display_scale.h"

namespace corvale::e2e {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << "(" << b.left << ", " << b.top << ")-(" << b.right << ", " << b.bottom << ")";
}

// ---- The theme folder ----

namespace {

std::filesystem::path FreshTempFolder() {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH) throw std::runtime_error("no temporary folder");
    const std::wstring name = L"corvale-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(counter++);
    std::filesystem::path root = std::filesystem::path(temp) / name;
    std::filesystem::create_directories(root / L"theme");
    return root;
}

void WriteFileBytes(const std::filesystem::path& path, const char* data, size_t size) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data, static_cast<std::streamsize>(size));
    if (!out) throw std::runtime_error("cannot write " + Utf8(path.wstring()));
}

}  // namespace

ThemeFolder::ThemeFolder() : root_(FreshTempFolder()) {}

ThemeFolder::~ThemeFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string ThemeFolder::Root() const { return Utf8(root_.wstring()) + "\\"; }

std::string ThemeFolder::Theme() const { return Root() + "theme\\"; }

void ThemeFolder::WriteSkin(const std::string& name, const std::string& text) const {
    std::string crlf;
    for (char c : text) {
        if (c == '\n' && (crlf.empty() || crlf.back() != '\r')) crlf += '\r';
        crlf += c;
    }
    WriteFileBytes(root_ / L"theme" / Wide(name), crlf.data(), crlf.size());
}

void ThemeFolder::WriteBytes(const std::string& name, const Bytes& bytes) const {
    WriteFileBytes(root_ / L"theme" / Wide(name), reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void ThemeFolder::WriteBmp(const std::string& name, const Canvas& picture) const {
    WriteBytes(name, EncodeBmp(picture));
}

void ThemeFolder::WriteGif(const std::string& name, const std::vector<GifFrame>& frames) const {
    WriteBytes(name, EncodeGif(frames));
}

void ThemeFolder::WriteWav(const std::string& name, int milliseconds, int frequencyHz) const {
    WriteBytes(name, EncodeWav(milliseconds, frequencyHz));
}

void ThemeFolder::Register() const {
    SaveSetting("Default", "ProgramDir", Root());
    SaveSetting("Default", "ThemeDir", "theme\\");
}

// ---- The running program ----

std::optional<std::filesystem::path> BundledTheme(const wchar_t* name) {
    std::filesystem::path folder = NextToDriver(L"corvalectl.exe").parent_path();
    for (int up = 0; up < 5 && !folder.empty(); ++up, folder = folder.parent_path()) {
        const auto theme = folder / L"themes" / name;
        if (std::filesystem::exists(theme / L"terminal.skn")) return theme;
        if (folder == folder.parent_path()) break;
    }
    return std::nullopt;
}

std::filesystem::path ProgramPath() {
    wchar_t buffer[32768];
    if (const DWORD n = GetEnvironmentVariableW(L"CORVALE_EXE", buffer, 32768); n > 0 && n < 32768)
        return std::filesystem::path(std::wstring(buffer, n));
    return NextToDriver(L"corvale.exe");
}

CallRecorder::CallRecorder(const std::filesystem::path& folder, const std::wstring& name)
    : exe_(folder / name), log_(folder / (name + L".log")) {
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(NextToDriver(L"corvale_e2e_plain.exe"), exe_,
                               std::filesystem::copy_options::overwrite_existing);
}

std::string CallRecorder::Command(const std::string& words) const {
    return std::string("\"")
               .append(Utf8(exe_.wstring()))
               .append("\" \"")
               .append(Utf8(log_.wstring()))
               .append("\" ") +
           words;
}

std::vector<std::string> CallRecorder::Calls() const {
    std::ifstream in(log_, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool CallRecorder::WaitForCalls(size_t count, Milliseconds timeout) const {
    return WaitUntil([&] { return Calls().size() >= count; }, timeout);
}

std::filesystem::path NextToDriver(const wchar_t* name) {
    wchar_t buffer[32768];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, 32768);
    return std::filesystem::path(std::wstring(buffer, n)).parent_path() / name;
}

Panel::Panel(const std::filesystem::path& workingDir, std::optional<WORD> showCommand)
    : Panel(L"\"" + ProgramPath().wstring() + L"\"", workingDir, showCommand) {}

Panel::Panel(const std::wstring& commandLine, const std::filesystem::path& workingDir,
             std::optional<WORD> showCommand) {
    std::wstring line = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (showCommand) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = *showCommand;
    }
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, workingDir.c_str(),
                        &startup, &info))
        throw std::runtime_error("cannot start " + Utf8(commandLine) + " (error " +
                                 std::to_string(GetLastError()) + ")");
    process_.reset(info.hProcess);
    const win32::UniqueKernelObject thread(info.hThread);
    processId_ = info.dwProcessId;
}

Panel::~Panel() { Kill(); }

bool Panel::Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

bool Panel::WaitForExit(Milliseconds timeout) const {
    return process_ &&
           WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

std::optional<DWORD> Panel::ExitCode() const {
    DWORD code = 0;
    if (Running() || !process_ || !GetExitCodeProcess(process_.get(), &code)) return std::nullopt;
    return code;
}

void Panel::Kill() {
    if (!Running()) return;
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 10000);
}

// One argument as the C runtime splits a command line: quoted, with the
// backslashes before a quote doubled.
std::wstring QuoteArgument(const std::wstring& arg) {
    std::wstring quoted = L"\"";
    size_t slashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        quoted.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
        slashes = 0;
        quoted += c;
    }
    quoted.append(slashes * 2, L'\\');
    return quoted + L"\"";
}

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::wstring QuoteArguments(const std::vector<std::string>& args) {
    std::wstring line;
    for (const std::string& arg : args) line += (line.empty() ? L"" : L" ") + QuoteArgument(Wide(arg));
    return line;
}

ProgramRun RunProgram(const std::filesystem::path& exe, const std::wstring& arguments,
                      const std::filesystem::path& folder, Milliseconds timeout) {
    std::wstring line = QuoteArgument(exe.wstring()) + L" " + arguments;
    // Files of each run's own: a console helper of an earlier run may still
    // hold the handles it inherited.
    static std::atomic<int> runs{0};
    const std::wstring number = std::to_wstring(++runs);
    const std::filesystem::path outPath = folder / (L"run-out-" + number + L".txt");
    const std::filesystem::path errPath = folder / (L"run-err-" + number + L".txt");
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    ProgramRun run;
    {
        auto create = [&](const std::filesystem::path& path) {
            return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        };
        const win32::UniqueFile out(create(outPath));
        const win32::UniqueFile err(create(errPath));
        if (!out || !err) {
            ADD_FAILURE() << "cannot make the output files (error " << GetLastError() << ")";
            return run;
        }
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = out.get();
        startup.hStdError = err.get();
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                            nullptr, &startup, &info)) {
            ADD_FAILURE() << "cannot start " << Utf8(exe.wstring()) << " (error " << GetLastError() << ")";
            return run;
        }
        const win32::UniqueKernelObject process(info.hProcess);
        const win32::UniqueKernelObject thread(info.hThread);
        if (WaitForSingleObject(info.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
            TerminateProcess(info.hProcess, 99);
            ADD_FAILURE() << Utf8(exe.filename().wstring()) << " did not end within " << timeout.count()
                          << " ms";
        }
        GetExitCodeProcess(info.hProcess, &run.code);
    }
    run.out = ReadText(outPath);
    run.err = ReadText(errPath);
    return run;
}

namespace {

// The Linux process of ours that runs `exe` in this Wine prefix, the newest
// when several do.
std::optional<std::string> LinuxProcessOf(const std::filesystem::path& exe) {
    const std::string prefix = "WINEPREFIX=" + Utf8(_wgetenv(L"WINEPREFIX") ? _wgetenv(L"WINEPREFIX") : L"");
    const auto read = [](const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    std::optional<std::string> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("Z:\\proc", error)) {
        const std::string pid = Utf8(entry.path().filename().wstring());
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        const std::string environment = read(entry.path() / "environ");
        if (read(entry.path() / "cmdline").find(Utf8(exe.filename().wstring())) == std::string::npos ||
            environment.find(prefix + '\0') == std::string::npos)
            continue;
        if (!found || std::stoll(pid) > std::stoll(*found)) found = pid;
    }
    return found;
}

}  // namespace

std::chrono::nanoseconds Panel::CpuTime() const {
    if (!RunningUnderWine()) {
        FILETIME created, ended, kernel, user;
        if (!GetProcessTimes(process_.get(), &created, &ended, &kernel, &user)) return {};
        const auto ticks = [](FILETIME t) {
            return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime;
        };
        return std::chrono::nanoseconds((ticks(kernel) + ticks(user)) * 100);
    }
    const std::optional<std::string> pid = LinuxProcessOf(ProgramPath());
    std::chrono::nanoseconds total{};
    std::error_code error;
    if (pid)
        for (const auto& task : std::filesystem::directory_iterator("Z:\\proc\\" + *pid + "\\task", error)) {
            long long ns = 0;  // schedstat: time on the processor, in ns, first
            if (std::ifstream(task.path() / "schedstat") >> ns) total += std::chrono::nanoseconds(ns);
        }
    return total;
}

namespace {

struct WindowSearch {
    DWORD processId;
    std::wstring caption;
    HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !IsWindowVisible(window)) return TRUE;
    if (Wide(WindowText(window)) != search.caption) return TRUE;
    search.found = window;
    return FALSE;
}

}  // namespace

HWND Panel::WaitForWindow(Milliseconds timeout) const {
    WindowSearch search{processId_, Wide(kCaption)};
    WaitUntil(
        [&] {
            EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr || !Running();
        },
        timeout);
    return search.found;
}

// ---- Watching from outside ----

bool WaitUntil(const std::function<bool()>& done, Milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return done();
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

HWND FindWindowByCaption(const std::string& caption) { return FindWindowW(nullptr, Wide(caption).c_str()); }

std::string WindowText(HWND window) {
    // WM_GETTEXT through SendMessageTimeout reads another process's edit
    // controls too, and a hung program cannot hang the test.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 2000, &copied))
        return {};
    text.resize(std::min<size_t>(copied, length));
    return Utf8(text);
}

std::string WindowClass(HWND window) {
    wchar_t name[256];
    const int n = GetClassNameW(window, name, 256);
    return Utf8(std::wstring(name, n > 0 ? static_cast<size_t>(n) : 0));
}

Box WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

Box ClientRectOnScreen(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    MapWindowPoints(window, nullptr, corners, 2);
    return {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

LONG_PTR WindowStyle(HWND window) { return GetWindowLongPtrW(window, GWL_STYLE); }

LONG_PTR WindowExStyle(HWND window) { return GetWindowLongPtrW(window, GWL_EXSTYLE); }

namespace {

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    auto& children = *reinterpret_cast<std::vector<ChildWindow>*>(param);
    children.push_back(
        {child, WindowClass(child), WindowText(child), WindowRect(child), IsWindowVisible(child) != 0});
    return TRUE;
}

}  // namespace

std::vector<ChildWindow> ChildWindows(HWND parent) {
    std::vector<ChildWindow> children;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

// ---- Screen density ----

void FollowMonitorDensity() {
    // The calls for it are looked up: Windows 7 has only SetProcessDPIAware,
    // and Wine answers FALSE to the newer one while it already gives the
    // real density to a program that only asks the old way.
    using SetContext = BOOL(WINAPI*)(HANDLE);
    const auto set = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
    const auto perMonitorV2 = reinterpret_cast<HANDLE>(-4), perMonitor = reinterpret_cast<HANDLE>(-3);
    if (set && (set(perMonitorV2) || set(perMonitor))) return;
    SetProcessDPIAware();
}

// The system's density, which the panel's window takes on the main screen.
int ScreenDpi() {
    const win32::UniqueWindowDC screen = win32::GetWindowDCOf(nullptr);
    return screen ? GetDeviceCaps(screen.get().dc, LOGPIXELSX) : 96;
}

int Scaled(int skin) { return static_cast<int>(SkinToDevice(skin, ScreenDpi())); }
Box Scaled(const Box& skin) {
    return {Scaled(skin.left), Scaled(skin.top), Scaled(skin.right), Scaled(skin.bottom)};
}
Box Unscaled(const Box& device) {
    const auto skin = [](int d) { return static_cast<int>(DeviceToSkin(d, ScreenDpi())); };
    return {skin(device.left), skin(device.top), skin(device.right), skin(device.bottom)};
}
Box ScreenInSkinPixels() { return Unscaled(Box{0, 0, ScreenWidth(), ScreenHeight()}); }

Box InnerToScreen(HWND window, const Box& inner) {
    const Box client = ClientRectOnScreen(window);
    const Box scaled = Scaled(inner);
    return {client.left + scaled.left, client.top + scaled.top, client.left + scaled.right,
            client.top + scaled.bottom};
}

POINT OnScreen(const Box& client, int x, int y) { return {client.left + Scaled(x), client.top + Scaled(y)}; }

std::optional<std::string> TextBoxText(HWND window, const Box& inner) {
    const Box rect = InnerToScreen(window, inner);
    for (const ChildWindow& child : ChildWindows(window))
        if (child.className == "Edit" && child.rect == rect) return child.text;
    return std::nullopt;
}

Box WorkArea() {
    RECT r{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return {r.left, r.top, r.right, r.bottom};
}

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }

int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

Rgb ScreenPixel(int x, int y) {
    std::this_thread::sleep_for(50ms);
    const win32::UniqueWindowDC screen = win32::GetWindowDCOf(nullptr);
    const COLORREF c = screen ? GetPixel(screen.get().dc, x, y) : CLR_INVALID;
    if (c == CLR_INVALID)
        throw std::runtime_error("cannot read the screen at " + std::to_string(x) + ", " + std::to_string(y));
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

POINT PointIn(const Box& b, double fx, double fy) {
    return {b.left + static_cast<LONG>(b.Width() * fx), b.top + static_cast<LONG>(b.Height() * fy)};
}

Rgb ScreenPixelNow(int x, int y) {
    const win32::UniqueWindowDC screen = win32::GetWindowDCOf(nullptr);
    const COLORREF c = screen ? GetPixel(screen.get().dc, x, y) : CLR_INVALID;
    if (c == CLR_INVALID)
        throw std::runtime_error("cannot read the screen at " + std::to_string(x) + ", " + std::to_string(y));
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

ScreenShot::ScreenShot(const Box& area)
    : area_(area), pixels_(static_cast<size_t>(std::max(area.Width(), 0)) * std::max(area.Height(), 0)) {
    if (pixels_.empty()) return;
    const win32::UniqueWindowDC screen = win32::GetWindowDCOf(nullptr);
    if (!screen) throw std::runtime_error("cannot read the screen");
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = area.Width();
    info.bmiHeader.biHeight = -area.Height();  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const win32::UniqueBitmap bitmap(
        CreateDIBSection(screen.get().dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const win32::UniqueMemoryDC memory(CreateCompatibleDC(screen.get().dc));
    if (!bitmap || !memory || !bits) throw std::runtime_error("cannot copy the screen");
    const HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
    const bool copied = BitBlt(memory.get(), 0, 0, area.Width(), area.Height(), screen.get().dc, area.left,
                               area.top, SRCCOPY) != FALSE;
    GdiFlush();
    if (copied) std::memcpy(pixels_.data(), bits, pixels_.size() * sizeof(std::uint32_t));
    SelectObject(memory.get(), old);
    if (!copied) throw std::runtime_error("cannot copy the screen");
}

Rgb ScreenShot::At(int x, int y) const {
    if (x < area_.left || y < area_.top || x >= area_.right || y >= area_.bottom)
        throw std::out_of_range("point outside the screen shot");
    const std::uint32_t p = pixels_[static_cast<size_t>(y - area_.top) * area_.Width() + (x - area_.left)];
    return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
            static_cast<std::uint8_t>(p)};
}

void MoveCursor(int x, int y) { SetCursorPos(x, y); }

void Press(int x, int y, MouseButton button) {
    SetCursorPos(x, y);
    INPUT presses[2]{};
    presses[0].type = presses[1].type = INPUT_MOUSE;
    const bool left = button == MouseButton::Left;
    presses[0].mi.dwFlags = left ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN;
    presses[1].mi.dwFlags = left ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP;
    SendInput(2, presses, sizeof(INPUT));
}

namespace {

struct ProcessWindows {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<ProcessWindows*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && IsWindowVisible(window)) search.found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> VisibleTopLevelWindows(DWORD processId) {
    ProcessWindows search{processId, {}};
    EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool FileHeldOpen(const std::filesystem::path& path) {
    const win32::UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    return !file && GetLastError() == ERROR_SHARING_VIOLATION;
}

namespace {

std::string Describe(HWND window) {
    if (!window) return "no window";
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return "\"" + WindowText(window) + "\" (class " + WindowClass(window) + ", process " +
           std::to_string(process) + ")";
}

// Whether keys sent now reach `window`. A window that has just opened may
// take a moment to come to the front.
::testing::AssertionResult KeysReach(HWND window) {
    const HWND top = GetAncestor(window, GA_ROOT);
    HWND front = nullptr;
    WaitUntil([&] { return top && (front = GetForegroundWindow()) == top; }, 2s);
    if (!top || front != top)
        return ::testing::AssertionFailure()
               << "the keys are meant for " << Describe(window) << ", but the foreground window is "
               << Describe(front) << "; nothing was sent";
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &thread) && thread.hwndFocus &&
        thread.hwndFocus != window && !IsChild(window, thread.hwndFocus))
        return ::testing::AssertionFailure()
               << "the keys are meant for " << Describe(window) << ", but the focus is on "
               << Describe(thread.hwndFocus) << "; nothing was sent";
    return ::testing::AssertionSuccess();
}

}  // namespace

::testing::AssertionResult TypeText(HWND window, const std::string& text) {
    if (auto reach = KeysReach(window); !reach) return reach;
    for (const wchar_t c : Wide(text)) {
        INPUT strokes[2]{};
        strokes[0].type = strokes[1].type = INPUT_KEYBOARD;
        strokes[0].ki.wScan = strokes[1].ki.wScan = c;
        strokes[0].ki.dwFlags = KEYEVENTF_UNICODE;
        strokes[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, strokes, sizeof(INPUT));
        Sleep(20);
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult PressKey(HWND window, WORD virtualKey, bool withAlt) {
    if (auto reach = KeysReach(window); !reach) return reach;
    std::vector<INPUT> strokes;
    auto key = [&](WORD vk, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        strokes.push_back(in);
    };
    if (withAlt) key(VK_MENU, false);
    key(virtualKey, false);
    key(virtualKey, true);
    if (withAlt) key(VK_MENU, true);
    SendInput(static_cast<UINT>(strokes.size()), strokes.data(), sizeof(INPUT));
    return ::testing::AssertionSuccess();
}

void Click(int x, int y) {
    SetCursorPos(x, y);
    INPUT presses[2]{};
    presses[0].type = presses[1].type = INPUT_MOUSE;
    presses[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    presses[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, presses, sizeof(INPUT));
}

// ---- The fixture ----

void PanelTest::SetUp() {
    // Rectangles and pixels as the panel places them, at every density.
    FollowMonitorDensity();
    sandbox_ = std::make_unique<SettingsSandbox>();
    ASSERT_EQ(FindWindowByCaption(kCaption), nullptr)
        << "a Corvale panel is already running; close it before running these tests";
    theme_ = std::make_unique<ThemeFolder>();
    theme_->Register();
}

void PanelTest::TearDown() {
    panels_.clear();
    theme_.reset();
    sandbox_.reset();
}

Panel& PanelTest::StartPanel(std::optional<WORD> showCommand) {
    panels_.push_back(std::make_unique<Panel>(theme_->RootPath() / L"theme", showCommand));
    return *panels_.back();
}

HWND PanelTest::StartPanelAndWait() {
    Panel& panel = StartPanel();
    const HWND window = panel.WaitForWindow();
    if (!window)
        ADD_FAILURE() << "no window \"" << kCaption << "\" appeared"
                      << (panel.Running() ? ""
                                          : "; the program ended with code " +
                                                std::to_string(panel.ExitCode().value_or(0)));
    return window;
}

void PanelTest::PlaceWindow(int left, int top, int right, int bottom) {
    SaveSetting("General", "Running", "True");
    SaveSetting("Screen", "Left", std::to_string(left));
    SaveSetting("Screen", "Top", std::to_string(top));
    SaveSetting("Screen", "Right", std::to_string(right));
    SaveSetting("Screen", "Bottom", std::to_string(bottom));
}

}  // namespace corvale::e2e
