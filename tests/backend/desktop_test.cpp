// The instance mark, the walk over top-level windows and raising a window.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/desktop_win32.h"
#include "platform/win32/toolkit_form.h"
#include "platform/win32/toolkit_screen.h"
#include "service_test_support.h"

namespace corvale::win32 {
namespace {

using testing::MakeTestWindow;

std::string UniqueCaption(const std::string& what) {
    return "Corvale svc " + what + " " + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(GetTickCount());
}

const TopWindow* FindIn(const std::vector<TopWindow>& windows, HWND window) {
    const auto found = std::find_if(windows.begin(), windows.end(), [&](const TopWindow& w) {
        return w.handle == reinterpret_cast<WindowHandle>(window);
    });
    return found == windows.end() ? nullptr : &*found;
}

std::ptrdiff_t PositionIn(const std::vector<TopWindow>& windows, HWND window) {
    const TopWindow* found = FindIn(windows, window);
    return found ? found - windows.data() : -1;
}

TEST(Win32Desktop_Instance, SeesNoOtherInstanceFromTheFirstProcessAndKeepsTheAnswer) {
    Win32Desktop desktop;
    EXPECT_FALSE(desktop.PreviousInstanceRunning());
    Win32Desktop second;  // the same process: still the first instance
    EXPECT_FALSE(second.PreviousInstanceRunning());
    EXPECT_FALSE(desktop.PreviousInstanceRunning());
}

TEST(Win32Desktop_Instance, ASecondProcessSeesTheFirstWhileTheFirstLives) {
    { Win32Desktop desktop; }  // the mark outlives the object that took it
    testing::MarkChildrenExpected();
    EXPECT_EQ(testing::RunChildTest("Win32Desktop_Instance.DISABLED_ChildSeesAPreviousInstance"), 0);
}

TEST(Win32Desktop_Instance, DISABLED_ChildSeesAPreviousInstance) {
    if (testing::ChildMarker().empty()) GTEST_SKIP() << "runs only as the child of the test above";
    Win32Desktop desktop;
    EXPECT_TRUE(desktop.PreviousInstanceRunning());
}

TEST(Win32Desktop_Windows, ListsAVisibleWindowWithItsCaptionAndNoParentOrOwner) {
    const std::string caption = UniqueCaption(
        "visible \xE2\x80\x93 pr\xC3\xBC"
        "fung");
    const UniqueWindow window = MakeTestWindow(caption, true);
    ASSERT_TRUE(window);
    Win32Desktop desktop;
    const auto windows = desktop.TopLevelWindows();
    const TopWindow* found = FindIn(windows, window.get());
    ASSERT_NE(found, nullptr);
    EXPECT_TRUE(found->visible);
    EXPECT_EQ(found->caption, caption);
    EXPECT_EQ(found->parent, 0u);
    EXPECT_EQ(found->owner, 0u);
    EXPECT_EQ(found->ownerExStyle, 0u);
    EXPECT_EQ(found->exStyle, static_cast<std::uint32_t>(GetWindowLongPtrW(window.get(), GWL_EXSTYLE)));
}

TEST(Win32Desktop_Windows, ReportsHiddenWindowsOwnersAndTheOwnersStyle) {
    const UniqueWindow hidden = MakeTestWindow(UniqueCaption("hidden"), false);
    const UniqueWindow tool = MakeTestWindow(UniqueCaption("tool owner"), true, nullptr, WS_EX_TOOLWINDOW);
    ASSERT_TRUE(hidden && tool);
    const UniqueWindow owned = MakeTestWindow(UniqueCaption("owned"), true, tool.get());
    ASSERT_TRUE(owned);
    Win32Desktop desktop;
    const auto windows = desktop.TopLevelWindows();
    const TopWindow* hiddenSeen = FindIn(windows, hidden.get());
    const TopWindow* toolSeen = FindIn(windows, tool.get());
    const TopWindow* ownedSeen = FindIn(windows, owned.get());
    ASSERT_TRUE(hiddenSeen && toolSeen && ownedSeen);
    EXPECT_FALSE(hiddenSeen->visible);
    EXPECT_TRUE(toolSeen->exStyle & WS_EX_TOOLWINDOW);
    EXPECT_EQ(ownedSeen->owner, reinterpret_cast<WindowHandle>(tool.get()));
    EXPECT_TRUE(ownedSeen->ownerExStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(ownedSeen->exStyle & WS_EX_TOOLWINDOW);
}

TEST(Win32Desktop_Windows, RaisingReturnsAtOnceAndTheBusyPanelLaterComesBackAboveTheOthersInItsPlace) {
    const UniqueWindow other = MakeTestWindow(UniqueCaption("other"), true);
    std::atomic<HWND> made{nullptr};
    std::atomic<bool> done{false};
    // A panel's main window on a thread of its own, minimised, which sleeps
    // through one of the panel's pauses before it reads its messages.
    const std::jthread busy([&] {
        FormEvents events;
        Win32Form form(FormKind::Main, events);
        constexpr int tpp = 15;  // twips per skin pixel
        form.Move(60.0 * tpp, 40.0 * tpp, 200.0 * tpp, 120.0 * tpp);
        form.Show();
        ShowWindow(reinterpret_cast<HWND>(form.Handle()), SW_MINIMIZE);
        made = reinterpret_cast<HWND>(form.Handle());
        ::Sleep(1500);
        testing::PumpUntil([&] { return done.load(); }, std::chrono::seconds(30));
    });
    while (!made) ::Sleep(5);
    const HWND panel = made;
    Win32Desktop desktop;

    const auto start = std::chrono::steady_clock::now();
    desktop.RaiseWindow(reinterpret_cast<WindowHandle>(panel));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200))
        << "the second start waits for the busy panel";

    // Restored in its place and lifted above the other window, through a
    // moment of topmost that must not last.
    const auto comeBack = [&] {
        RECT r{};
        const auto windows = desktop.TopLevelWindows();
        const auto at = PositionIn(windows, panel);
        return !IsIconic(panel) && GetWindowRect(panel, &r) && r.left == 60 && r.right == 260 && at >= 0 &&
               at < PositionIn(windows, other.get()) &&
               !(windows[static_cast<size_t>(at)].exStyle & WS_EX_TOPMOST);
    };
    EXPECT_TRUE(testing::PumpUntil(comeBack, std::chrono::seconds(5)))
        << "minimised, moved, not raised or topmost";
    done = true;
}

}  // namespace
}  // namespace corvale::win32
