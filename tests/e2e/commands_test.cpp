// Button commands, the exit sequence and the remote control, as a user and
// the suite's other programs see them.
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>

#include "tests/e2e/driver.h"

namespace corvale::e2e {
namespace {

using Clock = std::chrono::steady_clock;

constexpr Rgb kFace{20, 20, 20};
constexpr Rgb kButton{200, 200, 200};

// Button n sits in a row along the top, 40 x 20 pixels each.
Box ButtonBox(int n) { return {10 + (n - 1) * 50, 10, 50 + (n - 1) * 50, 30}; }

class CommandsTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        recorder_ = std::make_unique<CallRecorder>(theme_->RootPath());
        theme_->WriteBmp("b.bmp", Canvas(8, 8, kButton));
        theme_->WriteSkin("terminal.skn", "[DEFAULT]\n");
        PlaceWindow(0, 0, 800, 600);
    }

    // A face of buttons with these commands, after `before` other entries.
    void Buttons(const std::vector<std::string>& commands, const std::string& before = "") {
        std::string skin = "[DEFAULT]\nBackGround=" + SkinColor(kFace) + "\n" + before;
        int entry = static_cast<int>(std::count(before.begin(), before.end(), '\n'));
        for (size_t i = 0; i < commands.size(); ++i) {
            const Box b = ButtonBox(static_cast<int>(i) + 1);
            skin += TwoDigits(++entry) + "=b.bmp,B," + std::to_string(b.left) + "," + std::to_string(b.top) +
                    ",40,20,nohover,nosound,0," + commands[i] + "\n";
        }
        theme_->WriteSkin("Corvale.skn", skin);
    }

    static std::string TwoDigits(int n) { return std::string(n < 10 ? "0" : "").append(std::to_string(n)); }

    // Once the button shows: the face is built after the window appears.
    void ClickButton(HWND window, int n) {
        const Box b = ButtonBox(n);
        const Box client = ClientRectOnScreen(window);
        const POINT picture = OnScreen(client, b.left + 2, b.top + 2);
        EXPECT_TRUE(WaitUntil([&] { return ScreenPixelNow(picture.x, picture.y) == kButton; }, 10s))
            << "button " << n << " did not appear";
        const POINT middle = OnScreen(client, (b.left + b.right) / 2, (b.top + b.bottom) / 2);
        Click(middle.x, middle.y);
    }

    // How long the process took to end after `since`; nothing when it did not
    // end within the limit.
    std::optional<Milliseconds> EndsWithin(const Panel& panel, Clock::time_point since, Milliseconds limit) {
        if (!panel.WaitForExit(limit)) return std::nullopt;
        return std::chrono::duration_cast<Milliseconds>(Clock::now() - since);
    }

    std::unique_ptr<CallRecorder> recorder_;
};

// ---- Commands ---------------------------------------------------------------------

using ButtonCommands = CommandsTest;

TEST_F(ButtonCommands, AppletWordsOpenTheirControlPanelPages) {
    if (!RunningUnderWine()) GTEST_SKIP() << "the page captions are Wine's";
    Buttons({"cp07", "CP03"});
    const HWND window = StartPanelAndWait();
    ASSERT_TRUE(window);
    for (const auto& [button, caption] : {std::pair{1, "Internet Settings"}, {2, "Add/Remove Programs"}}) {
        SCOPED_TRACE(caption);
        ClickButton(window, button);
        HWND page = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return (page = FindWindowByCaption(caption)) != nullptr; }, 20s));
        if (page) PostMessageW(page, WM_CLOSE, 0, 0);
    }
}

// The first process named `exe` that `parent` starts from now on, opened
// before it can end; none within the time.
win32::UniqueKernelObject ChildNamed(DWORD parent, const wchar_t* exe, Milliseconds within) {
    win32::UniqueKernelObject child;
    WaitUntil(
        [&] {
            const win32::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
            PROCESSENTRY32W entry{};
            entry.dwSize = sizeof entry;
            for (BOOL more = snapshot && Process32FirstW(snapshot.get(), &entry); more && !child;
                 more = Process32NextW(snapshot.get(), &entry))
                if (entry.th32ParentProcessID == parent && _wcsicmp(entry.szExeFile, exe) == 0)
                    child.reset(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
            return static_cast<bool>(child);
        },
        within);
    return child;
}

TEST_F(ButtonCommands, TheThirtyTwoBitPanelOnSixtyFourBitWindowsRunsAppletsUnderTheNativeRundll32) {
    BOOL redirected = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &redirected) || !redirected)
        GTEST_SKIP() << "not 64-bit Windows with 32-bit programs (a 64-bit Wine prefix runs them so)";
    Buttons({"CP01"});
    const HWND window = StartPanelAndWait();
    ASSERT_TRUE(window);
    ClickButton(window, 1);
    const win32::UniqueKernelObject rundll = ChildNamed(panels_.back()->ProcessId(), L"rundll32.exe", 20s);
    ASSERT_TRUE(rundll) << "the panel started no rundll32";
    wchar_t image[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    ASSERT_TRUE(QueryFullProcessImageNameW(rundll.get(), 0, image, &length));
    std::wstring path(image, length);
    CharLowerBuffW(path.data(), length);
    // The 32-bit one is SysWOW64's.
    EXPECT_TRUE(path.ends_with(L"\\system32\\rundll32.exe")) << Utf8(path);
}

TEST_F(ButtonCommands, AQuotedPathWithBlanksStartsThatProgramWithItsParameters) {
    const CallRecorder inFolderWithBlanks(theme_->RootPath() / L"my tools");
    Buttons({inFolderWithBlanks.Command("one two,three")});
    const HWND window = StartPanelAndWait();
    ASSERT_TRUE(window);
    ClickButton(window, 1);
    ASSERT_TRUE(inFolderWithBlanks.WaitForCalls(1, 10s));
    EXPECT_EQ(inFolderWithBlanks.Calls(), std::vector<std::string>{"one two,three"});
}

// ---- The exit sequence -----------------------------------------------------------

using ExitSequence = CommandsTest;

TEST_F(ExitSequence, TheExitKeyEndsTheProgramAfterItsPauseAndWithinFourSeconds) {
    Buttons({"notepad.exe"});
    ASSERT_TRUE(StartPanelAndWait());
    RequestExit();
    const auto took = EndsWithin(*panels_.back(), Clock::now(), 6s);
    ASSERT_TRUE(took);
    EXPECT_GE(*took, 2000ms);
    EXPECT_LE(*took, 4000ms);
}

TEST_F(ExitSequence, ACloseRequestRunsTheExitSequenceAndTheSessionEndIsPrompt) {
    Buttons({"notepad.exe"});
    for (const char* how : {"WM_CLOSE", "Alt+F4", "end of session"}) {
        SCOPED_TRACE(how);
        const HWND window = StartPanelAndWait();
        ASSERT_TRUE(window);
        const std::string request = how;
        const auto asked = Clock::now();
        if (request == "WM_CLOSE") {
            PostMessageW(window, WM_CLOSE, 0, 0);
        } else if (request == "Alt+F4") {
            SetForegroundWindow(window);
            ASSERT_TRUE(PressKey(window, VK_F4, true));
        } else {
            EXPECT_TRUE(
                SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr));
            SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
        }
        const auto took = EndsWithin(*panels_.back(), asked, 8s);
        ASSERT_TRUE(took) << "the program did not end";
        if (request == "end of session") EXPECT_LT(*took, 1500ms);
        else EXPECT_GE(*took, 1900ms) << "the exit sequence was skipped";
    }
}

// ---- Voice --------------------------------------------------------------------------

using VoiceCommands = CommandsTest;

TEST_F(VoiceCommands, AnExactCommandPerformsEveryButtonThatCarriesItOnceAndIsTaken) {
    const std::string both = recorder_->Command("both");
    Buttons({both, recorder_->Command("other"), both});
    ASSERT_TRUE(StartPanelAndWait());

    SendVoiceCommand(recorder_->Command("BOTH"));  // differs in case only
    Sleep(1500);
    EXPECT_TRUE(recorder_->Calls().empty());
    EXPECT_EQ(GetSetting("Voice", kProgramId), recorder_->Command("BOTH"));

    SendVoiceCommand(both);
    ASSERT_TRUE(recorder_->WaitForCalls(2, 8s));
    Sleep(1500);
    EXPECT_EQ(recorder_->Calls(), (std::vector<std::string>{"both", "both"}));
    EXPECT_EQ(GetSetting("Voice", kProgramId), "");
}

}  // namespace
}  // namespace corvale::e2e
