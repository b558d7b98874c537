// The screen's resolution changed under a running panel, as the user does
// it in the display settings, judged on the screen.
#include "tests/e2e/driver.h"

namespace corvale::e2e {
namespace {

constexpr Rgb kCrimson{200, 40, 90}, kSkyBlue{0, 128, 255}, kMoss{70, 110, 30};

// Xvfb lists no size but its own, and Wine changes the screen only to a
// size the X server lists: the X server is given an 800x600 mode through
// the Unix shell (Xvfb names its one output "screen"). Started Unix
// programs cannot be waited for, so a file they leave is the signal.
void OfferSmallerScreen() {
    const std::string done = "corvale-mode-" + std::to_string(GetCurrentProcessId());
    std::wstring command = Wide(
        "sh -c \"xrandr --newmode 800x600 40 800 840 968 1056 600 601 605 628; "
        "xrandr --addmode screen 800x600; touch /tmp/" +
        done + "\"");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(L"Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started))
        return;
    const win32::UniqueKernelObject process(started.hProcess), thread(started.hThread);
    const std::filesystem::path signal = "Z:\\tmp\\" + done;
    std::error_code ignored;
    WaitUntil([&] { return std::filesystem::exists(signal, ignored); }, 10s);
    std::filesystem::remove(signal, ignored);
}

// The helper that changes the resolution: a 64-bit program, since under Wine
// a 32-bit one is offered the current mode alone. Its exit code, or nothing
// when it did not run.
std::optional<DWORD> SetScreen(const std::filesystem::path& helper, int width, int height) {
    std::wstring line =
        L"\"" + helper.wstring() + L"\" " + std::to_wstring(width) + L" " + std::to_wstring(height);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(helper.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &started))
        return std::nullopt;
    const win32::UniqueKernelObject process(started.hProcess), thread(started.hThread);
    DWORD code = 1;
    if (WaitForSingleObject(started.hProcess, 20000) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(started.hProcess, &code))
        return std::nullopt;
    return code;
}

// The primary monitor's work area as its monitor information gives it:
// under Wine a 32-bit program's SPI_GETWORKAREA keeps the old size.
Box PrimaryWorkArea() {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

using DisplayChange = PanelTest;

TEST_F(DisplayChange, ANewResolutionGivesTheWindowTheNewAreaAndTheFaceOfTheNewWidth) {
    if (!RunningUnderWine()) GTEST_SKIP() << "it would change this machine's own screen";
    const std::filesystem::path helper =
        NextToDriver(L"corvale.exe").parent_path().parent_path() / L"win64" / L"corvale_e2e_display_mode.exe";
    if (!std::filesystem::exists(helper)) GTEST_SKIP() << "no 64-bit helper at " << helper.string();
    const int width = ScreenWidth(), height = ScreenHeight();
    const struct {
        int width, height;
        Rgb face;
    } screens[] = {{800, 600, kSkyBlue}, {width, height, kCrimson}};
    // Each width's layout skin, with a strip placed against the bottom edge.
    theme_->WriteBmp("strip.bmp", Canvas(2, 2, kMoss));
    for (const auto& s : screens)
        theme_->WriteSkin("Corvale" + std::to_string(Unscaled(Box{0, 0, s.width, s.height}).right) + ".skn",
                          "[DEFAULT]\nBackGround=" + SkinColor(s.face) + "\n01=strip.bmp,P,0,-10,0,10\n");
    SaveSetting("General", "Running", "False");
    const HWND window = StartPanelAndWait();
    ASSERT_TRUE(window);
    OfferSmallerScreen();

    struct Restore {
        const std::filesystem::path& helper;
        int width, height;
        ~Restore() { SetScreen(helper, width, height); }
    } restore{helper, width, height};
    for (const auto& s : screens) {
        const std::optional<DWORD> set = SetScreen(helper, s.width, s.height);
        ASSERT_TRUE(set) << "the helper did not run";
        if (*set != 0) GTEST_SKIP() << "the system offers no " << s.width << "x" << s.height << " screen";
        EXPECT_TRUE(WaitUntil([&] { return WindowRect(window) == PrimaryWorkArea(); }, 10s))
            << "at " << s.width << "x" << s.height << " the window is " << WindowRect(window) << ", the area "
            << PrimaryWorkArea();
        const Box face = WindowRect(window);
        const POINT centre = PointIn(face, 0.5, 0.5);
        EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(centre.x, centre.y) == s.face; }, 10s))
            << "the layout skin of width " << s.width;
        EXPECT_EQ(ScreenPixel(centre.x, face.bottom - Scaled(5)), kMoss)
            << "the strip at the new bottom edge";
    }
}

}  // namespace
}  // namespace corvale::e2e
