// The end-to-end driver: prepares a theme folder and the settings store,
// starts corvale.exe and watches it from outside, as a user would.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/handles.h"
#include "tests/support/encode.h"

namespace corvale::e2e {

using namespace std::chrono_literals;
using Milliseconds = std::chrono::milliseconds;

inline constexpr char kCaption[] = "VEXAL Terminal - Corvale";
inline constexpr char kProgramId[] = "Corvale";

// UTF-8 in the tests, UTF-16 at the system calls.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

// A screen rectangle in pixels, right and bottom exclusive as in RECT.
struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const Box&, const Box&) = default;
};
std::ostream& operator<<(std::ostream& out, const Box& b);

// ---- Pictures and sounds of known content ----------------------------------

using test::Bytes;
using test::Canvas;
using test::EncodeBmp;
using test::EncodeGif;
using test::EncodeWav;
using test::GifFrame;
using test::Rgb;
using test::SkinColor;

// ---- The theme folder -------------------------------------------------------

// A fresh folder under the temporary directory, removed with everything in
// it when the object goes. The theme lives in its subfolder "theme\"; the
// settings that point the program at it are ProgramDir = Root() and
// ThemeDir = "theme\".
class ThemeFolder {
public:
    ThemeFolder();
    ~ThemeFolder();
    ThemeFolder(const ThemeFolder&) = delete;
    ThemeFolder& operator=(const ThemeFolder&) = delete;

    // With a trailing backslash, as the settings store keeps it.
    std::string Root() const;
    std::string Theme() const;
    std::filesystem::path RootPath() const { return root_; }

    // Names are relative to the theme folder ("Corvale.skn", "pics\a.bmp");
    // missing folders are made. A skin's "\n" become "\r\n".
    void WriteSkin(const std::string& name, const std::string& text) const;
    void WriteBytes(const std::string& name, const Bytes& bytes) const;
    void WriteBmp(const std::string& name, const Canvas& picture) const;
    void WriteGif(const std::string& name, const std::vector<GifFrame>& frames) const;
    void WriteWav(const std::string& name, int milliseconds, int frequencyHz) const;

    // ProgramDir and ThemeDir pointing here, as an installer writes them.
    void Register() const;

private:
    std::filesystem::path root_;
};

// ---- The settings store -----------------------------------------------------

// HKCU\Software\VB and VBA Program Settings\VEXAL Terminal\<section>.
void SaveSetting(const std::string& section, const std::string& key, const std::string& value);
std::optional<std::string> GetSetting(const std::string& section, const std::string& key);
void DeleteSetting(const std::string& section, const std::string& key);

// Takes the whole "VEXAL Terminal" tree aside for one test and puts it back
// afterwards, so the driver can run on a machine that has real settings.
class SettingsSandbox {
public:
    SettingsSandbox();
    ~SettingsSandbox();
    SettingsSandbox(const SettingsSandbox&) = delete;
    SettingsSandbox& operator=(const SettingsSandbox&) = delete;

private:
    struct Value {
        std::wstring section, key, text;
    };
    std::vector<Value> saved_;
};

// The remote control that the suite's other programs use.
void RequestExit();
void SendVoiceCommand(const std::string& command);

// ---- The running program ------------------------------------------------------

// corvale.exe: %CORVALE_EXE% when set, else the one next to this test program.
std::filesystem::path ProgramPath();
// A file next to this test program, where its helper programs are built.
std::filesystem::path NextToDriver(const wchar_t* name);
// A bundled theme of the repository ("default", "daylight"), found above the
// folder of the test programs (build\win32\ in a checkout).
std::optional<std::filesystem::path> BundledTheme(const wchar_t* name);
inline std::optional<std::filesystem::path> DefaultTheme() { return BundledTheme(L"default"); }

// One process of corvale.exe, ended (killed) when the object goes.
class Panel {
public:
    // Starts the program with `workingDir` as its current directory and,
    // when given, the show command a shortcut's "Run" setting passes.
    explicit Panel(const std::filesystem::path& workingDir, std::optional<WORD> showCommand = {});
    // Starts a command line as the shell does (an installed copy, say).
    Panel(const std::wstring& commandLine, const std::filesystem::path& workingDir,
          std::optional<WORD> showCommand = {});
    ~Panel();
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    DWORD ProcessId() const { return processId_; }
    bool Running() const;
    // The visible top-level window of this process with the program's
    // caption, or null when it did not appear in time.
    HWND WaitForWindow(Milliseconds timeout = 15s) const;
    // True when the process ended in time.
    bool WaitForExit(Milliseconds timeout) const;
    std::optional<DWORD> ExitCode() const;
    void Kill();
    // The processor time it has used so far. Wine answers nothing for
    // another process, so there it is read from the Linux process's
    // threads.
    std::chrono::nanoseconds CpuTime() const;

private:
    win32::UniqueKernelObject process_;
    DWORD processId_ = 0;
};

// A console program's exit code and what it wrote.
struct ProgramRun {
    DWORD code = 0xFFFFFFFF;
    std::string out;
    std::string err;
};
// Arguments quoted as the C runtime splits a command line.
std::wstring QuoteArgument(const std::wstring& arg);
std::wstring QuoteArguments(const std::vector<std::string>& args);
// A whole file's bytes as text; "" when it cannot be read.
std::string ReadText(const std::filesystem::path& path);
// Runs `exe` with an argument text, its output and errors in files of
// `folder`, and waits for it to end; a test failure when it cannot start or
// does not end in time.
ProgramRun RunProgram(const std::filesystem::path& exe, const std::wstring& arguments,
                      const std::filesystem::path& folder, Milliseconds timeout = 60s);

// The helper program that writes down how it was started (fixtures/
// program.cpp), copied into a folder of the test's.
class CallRecorder {
public:
    explicit CallRecorder(const std::filesystem::path& folder, const std::wstring& name = L"rec.exe");
    // A command text that makes it record `words`, quoted so that blanks in
    // the folder do not cut it.
    std::string Command(const std::string& words) const;
    // The lines recorded so far, oldest first.
    std::vector<std::string> Calls() const;
    bool WaitForCalls(size_t count, Milliseconds timeout) const;

private:
    std::filesystem::path exe_, log_;
};

// ---- Watching from outside ------------------------------------------------------

// Calls `done` every 20 ms until it holds or the time is up; its last answer.
bool WaitUntil(const std::function<bool()>& done, Milliseconds timeout);

HWND FindWindowByCaption(const std::string& caption);
std::string WindowText(HWND window);
std::string WindowClass(HWND window);
// The outer rectangle, in screen pixels.
Box WindowRect(HWND window);
// The client area, in screen pixels.
Box ClientRectOnScreen(HWND window);
LONG_PTR WindowStyle(HWND window);
LONG_PTR WindowExStyle(HWND window);

struct ChildWindow {
    HWND handle;
    std::string className;
    std::string text;
    Box rect;  // screen pixels
    bool visible;
};
// Every descendant, in the system's enumeration order.
std::vector<ChildWindow> ChildWindows(HWND parent);

// ---- Screen density ---------------------------------------------------------------

// The driver draws nothing itself, but it reads rectangles, pixels and the
// cursor as the panel places them: both follow each monitor's density (the
// panel by its manifest, the driver by asking when a test starts).
void FollowMonitorDensity();
// The density of the screen the panel opens on (96 dots per inch at 100%).
int ScreenDpi();
// Skin pixels (1/96 inch) as screen pixels: where skin pixel `skin` begins.
// Geometry the tests state in skin pixels goes through these.
int Scaled(int skin);
Box Scaled(const Box& skin);
// Screen pixels as the panel reads them back: the skin pixels they belong to.
Box Unscaled(const Box& device);
// The screen in skin pixels, as the panel sees it.
Box ScreenInSkinPixels();

// A rectangle of a window's inner area, given in the skin's pixels, on the
// screen.
Box InnerToScreen(HWND window, const Box& inner);
// Skin pixel (x, y) of a client area that lies at `client` on the screen.
POINT OnScreen(const Box& client, int x, int y);
// The text of the window's text box (an edit control) at that inner
// rectangle; nothing when no text box is there.
std::optional<std::string> TextBoxText(HWND window, const Box& inner);

Box WorkArea();
int ScreenWidth();
int ScreenHeight();
// The colour on the screen, read after a short settle so that pending paints
// have landed.
Rgb ScreenPixel(int x, int y);
// A point inside a rectangle, as fractions of its width and height.
POINT PointIn(const Box& b, double fx, double fy);

// The screen's colour now, without waiting for paints; for watching changes.
Rgb ScreenPixelNow(int x, int y);

// A copy of part of the screen taken at one moment, for many samples.
class ScreenShot {
public:
    explicit ScreenShot(const Box& area);
    // In screen coordinates; the point must lie inside the area.
    Rgb At(int x, int y) const;
    const Box& Area() const { return area_; }

private:
    Box area_;
    std::vector<std::uint32_t> pixels_;  // 0x00RRGGBB, top row first
};

// The whole screen as the user sees it. Under Wine that is the X server's
// picture of the root window: GetPixel and BitBlt read Wine's own copy of
// each window and can show a window that X shows beneath another. On
// Windows it is the screen copy above.
class ShownScreen {
public:
    ShownScreen();
    Rgb At(int x, int y) const;
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Saves it as a 24-bit BMP, for a person to look at when a test fails.
    void Save(const std::filesystem::path& bmp) const;

private:
    int width_ = 0, height_ = 0;
    std::vector<std::uint32_t> pixels_;  // 0x00RRGGBB, top row first
};

// Under Wine: what a Unix shell command writes to its output (the X server's
// own tools see what the user sees).
Bytes UnixCommandOutput(const std::string& command);

void MoveCursor(int x, int y);
void Click(int x, int y);
enum class MouseButton { Left, Right };
// Moves the cursor there, then presses and releases the button.
void Press(int x, int y, MouseButton button);
// Keys go to whatever has the keyboard focus, which on a desktop may be the
// terminal that runs the tests. So both send nothing, and fail, unless the
// window they are meant for (a top-level window or a control in one) is
// the foreground window and holds the focus.
// Types the text, one key at a time.
::testing::AssertionResult TypeText(HWND window, const std::string& text);
// Presses and releases one key, with Alt held down when asked.
::testing::AssertionResult PressKey(HWND window, WORD virtualKey, bool withAlt = false);

// The visible top-level windows of a process: its main window and any
// message box it shows.
std::vector<HWND> VisibleTopLevelWindows(DWORD processId);

// True when another process holds the file open (it cannot be opened for
// exclusive use).
bool FileHeldOpen(const std::filesystem::path& path);

// ---- Wine's per-program settings ------------------------------------------

// True under Wine, whose settings below mean nothing to Windows itself.
bool RunningUnderWine();
// Wine's major version (8 for "8.0"); 0 on Windows.
int WineMajorVersion();

// A string value under HKCU\Software\Wine, set for one test and put back
// as it was when the object goes. Processes started meanwhile see it.
class WineSetting {
public:
    WineSetting(const std::string& subkey, const std::string& name, const std::string& value);
    ~WineSetting();
    WineSetting(const WineSetting&) = delete;
    WineSetting& operator=(const WineSetting&) = delete;

private:
    std::wstring key_, name_;
    std::optional<std::wstring> previous_;
};

// Wine reports another Windows version ("winxp", "win98", "win10") to
// corvale.exe alone.
WineSetting WindowsVersionForProgram(const std::string& version);
// No audio driver at all: the program finds no mixer to open.
WineSetting NoAudioDriver();

// ---- The fixture ----------------------------------------------------------------

// Each test gets empty settings, a theme folder registered in them, and
// panels that are killed when the test ends.
class PanelTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts corvale.exe in the theme folder; the process stays owned here.
    Panel& StartPanel(std::optional<WORD> showCommand = {});
    // Starts corvale.exe and waits for its window; fails the test when it
    // does not appear.
    HWND StartPanelAndWait();

    // Runs the window in the screen rectangle (left, top)-(right, bottom).
    static void PlaceWindow(int left, int top, int right, int bottom);

    std::unique_ptr<SettingsSandbox> sandbox_;
    std::unique_ptr<ThemeFolder> theme_;
    std::vector<std::unique_ptr<Panel>> panels_;
};

}  // namespace corvale::e2e
