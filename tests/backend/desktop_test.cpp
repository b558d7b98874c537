// The instance mark, the walk over top-level windows and raising a window.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/desktop_win32.h"
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

TEST(Win32Desktop_Windows, RaisesAWindowAboveTheOthersWithoutMovingItOrLeavingItTopmost) {
    const UniqueWindow lower = MakeTestWindow(UniqueCaption("lower"), true);
    const UniqueWindow upper = MakeTestWindow(UniqueCaption("upper"), true);
    ASSERT_TRUE(lower && upper);
    SetWindowPos(upper.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    testing::PumpFor(std::chrono::milliseconds(50));
    Win32Desktop desktop;
    auto windows = desktop.TopLevelWindows();
    ASSERT_LT(PositionIn(windows, upper.get()), PositionIn(windows, lower.get()));
    RECT before{};
    GetWindowRect(lower.get(), &before);

    desktop.RaiseWindow(reinterpret_cast<WindowHandle>(lower.get()));
    testing::PumpFor(std::chrono::milliseconds(50));

    windows = desktop.TopLevelWindows();
    const auto lowerAt = PositionIn(windows, lower.get());
    ASSERT_GE(lowerAt, 0);
    EXPECT_LT(lowerAt, PositionIn(windows, upper.get()));
    EXPECT_FALSE(windows[static_cast<size_t>(lowerAt)].exStyle & WS_EX_TOPMOST);
    RECT after{};
    GetWindowRect(lower.get(), &after);
    EXPECT_TRUE(EqualRect(&before, &after));
}

}  // namespace
}  // namespace corvale::win32
