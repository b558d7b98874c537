// The screen's resolution changed under a running panel, as the user does
// it in the display settings, judged on the screen.
#include "tests/e2e/driver.h"

namespace corvale::e2e {
namespace {

constexpr Rgb kCrimson{200, 40, 90}, kSkyBlue{0, 128, 255}, kMoss{70, 110, 30};

// The helper's exit code (fixtures/display_mode.cpp), 1 when it did not run.
DWORD SetScreen(const std::filesystem::path& helper, int width, int height) {
    std::wstring line =
        L"\"" + helper.wstring() + L"\" " + std::to_wstring(width) + L" " + std::to_wstring(height);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    DWORD code = 1;
    if (!CreateProcessW(helper.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started))
        return code;
    const win32::UniqueKernelObject process(started.hProcess), thread(started.hThread);
    if (WaitForSingleObject(started.hProcess, 20000) != WAIT_OBJECT_0) return 1;
    GetExitCodeProcess(started.hProcess, &code);
    return code;
}

using DisplayChange = PanelTest;

// Each width's layout skin has its colour and a strip against the bottom
// edge. The test command gives Xvfb an 800x600 mode (scripts/lib.sh); the
// helper that changes to it is a 64-bit program, as Wine offers a 32-bit
// one no mode but the current one where its 32-bit X libraries are missing.
TEST_F(DisplayChange, ANewResolutionGivesTheWindowTheNewAreaAndTheFaceOfTheNewWidth) {
    if (!RunningUnderWine()) GTEST_SKIP() << "it would change this machine's own screen";
    const std::filesystem::path helper =
        NextToDriver(L"corvale.exe").parent_path().parent_path() / L"win64" / L"corvale_e2e_display_mode.exe";
    if (!std::filesystem::exists(helper)) GTEST_SKIP() << "no 64-bit helper at " << helper.string();
    const struct {
        int width, height;
        Rgb face;
    } screens[] = {{800, 600, kSkyBlue}, {ScreenWidth(), ScreenHeight(), kCrimson}};
    theme_->WriteBmp("strip.bmp", Canvas(2, 2, kMoss));
    for (const auto& s : screens)
        theme_->WriteSkin("Corvale" + std::to_string(Unscaled(Box{0, 0, s.width, s.height}).right) + ".skn",
                          "[DEFAULT]\nBackGround=" + SkinColor(s.face) + "\n01=strip.bmp,P,0,-10,0,10\n");
    SaveSetting("General", "Running", "False");
    const HWND window = StartPanelAndWait();
    ASSERT_TRUE(window);
    const struct Restore {
        const std::filesystem::path& helper;
        int width, height;
        ~Restore() { SetScreen(helper, width, height); }
    } restore{helper, screens[1].width, screens[1].height};
    for (const auto& s : screens) {
        if (SetScreen(helper, s.width, s.height) != 0)
            GTEST_SKIP() << "no " << s.width << "x" << s.height << " mode";
        const Box area{0, 0, s.width, s.height};  // Wine has no taskbar
        EXPECT_TRUE(WaitUntil([&] { return WindowRect(window) == area; }, 10s)) << WindowRect(window);
        const POINT centre = PointIn(area, 0.5, 0.5);
        EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(centre.x, centre.y) == s.face; }, 10s)) << s.width;
        EXPECT_EQ(ScreenPixel(centre.x, area.bottom - Scaled(5)), kMoss)
            << "the strip at the new bottom edge";
    }
}

}  // namespace
}  // namespace corvale::e2e
