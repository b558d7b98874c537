// The password prompt as a user sees it: where it opens, its outline on the
// X screen in both ways of shaping, what typing shows, and what its buttons
// and the protected button do.
#include "tests/e2e/driver.h"

namespace corvale::e2e {
namespace {

constexpr char kPromptCaption[] = "VEXAL Terminal - Input";
constexpr Rgb kMainFace{20, 20, 20};
constexpr Rgb kPromptFace{250, 200, 40};
constexpr Rgb kMask{255, 0, 255};
constexpr Rgb kLock{230, 230, 230};
constexpr Rgb kOk{30, 190, 60};
constexpr Rgb kQuit{200, 30, 30};
constexpr Rgb kRun{40, 60, 220};

// Inside the prompt's 200 x 100 picture: the text box, three buttons and a
// mask-coloured hole through which the main window shows.
constexpr Box kInputBox{10, 10, 150, 32};
constexpr Box kOkButton{10, 60, 50, 85};
constexpr Box kQuitButton{60, 60, 100, 85};
constexpr Box kRunButton{110, 60, 150, 85};
constexpr Box kHole{160, 10, 195, 90};
constexpr Box kLockButton{10, 10, 70, 40};

std::string Geometry(const Box& b) {
    return std::to_string(b.left) + "," + std::to_string(b.top) + "," + std::to_string(b.Width()) + "," +
           std::to_string(b.Height());
}

POINT Centre(const Box& b) { return {(b.left + b.right) / 2, (b.top + b.bottom) / 2}; }

POINT On(const Box& window, POINT inner) { return OnScreen(window, inner.x, inner.y); }

class PromptTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        recorder_ = std::make_unique<CallRecorder>(theme_->RootPath());
        Canvas back(200, 100, kPromptFace);
        back.FillRect(kHole.left, kHole.top, kHole.Width(), kHole.Height(), kMask);
        back.FillRect(0, 0, 8, 8, kMask);
        theme_->WriteBmp("prompt.bmp", back);
        // Buttons show their picture at its own size: these fill them.
        for (const auto& [name, colour] : {std::pair{"ok.bmp", kOk}, {"quit.bmp", kQuit}, {"run.bmp", kRun}})
            theme_->WriteBmp(name, Canvas(kOkButton.Width(), kOkButton.Height(), colour));
        theme_->WriteBmp("lock.bmp", Canvas(kLockButton.Width(), kLockButton.Height(), kLock));
        theme_->WriteSkin("terminal.skn",
                          "[DEFAULT]\n[INPUT]\nBackGround=prompt.bmp\nMaskColor=255,0,255\n"
                          "InputBox=" +
                              Geometry(kInputBox) +
                              ",255,255,255,0,0,0,Arial,10\n"
                              "01=ok.bmp,B," +
                              Geometry(kOkButton) +
                              ",nohover,nosound,0,ok\n"
                              "02=quit.bmp,B," +
                              Geometry(kQuitButton) +
                              ",nohover,nosound,0,QUIT\n"
                              "03=run.bmp,B," +
                              Geometry(kRunButton) + ",nohover,nosound,0," +
                              recorder_->Command("from the prompt") + "\n[STARTUP]\nAnimated=False\n");
        theme_->WriteSkin("Corvale.skn", "[DEFAULT]\nBackGround=" + SkinColor(kMainFace) +
                                             "\n01=lock.bmp,B," + Geometry(kLockButton) +
                                             ",nohover,nosound,True," + recorder_->Command("protected") +
                                             "\n");
    }

    HWND StartAt(const Box& placement) {
        PlaceWindow(placement.left, placement.top, placement.right, placement.bottom);
        main_ = StartPanelAndWait();
        return main_;
    }

    // Clicks the protected button and waits for the prompt.
    HWND OpenPrompt() {
        const POINT lock = On(ClientRectOnScreen(main_), Centre(kLockButton));
        WaitUntil([&] { return ScreenPixelNow(lock.x, lock.y) == kLock; }, 5s);
        Click(lock.x, lock.y);
        HWND prompt = nullptr;
        WaitUntil([&] { return (prompt = FindWindowByCaption(kPromptCaption)) && IsWindowVisible(prompt); },
                  5s);
        return prompt;
    }

    void ClickIn(HWND prompt, const Box& button) {
        const POINT p = On(WindowRect(prompt), Centre(button));
        Click(p.x, p.y);
    }

    static bool PromptGone(Milliseconds within) {
        return WaitUntil([] { return !FindWindowByCaption(kPromptCaption); }, within);
    }

    std::unique_ptr<CallRecorder> recorder_;
    HWND main_ = nullptr;
};

// ---- Size, place and outline, in both ways of shaping ------------------------------

struct PromptCase {
    const char* windows;  // what Wine tells the program it runs on
    bool fullScreen;      // the main window covers the screen, or part of it
};

class PromptOutline : public PromptTest, public ::testing::WithParamInterface<PromptCase> {};

TEST_P(PromptOutline, OpensCentredAboveTheMainWindowWithTheMaskShowingWhatLiesBeneath) {
    if (!RunningUnderWine()) GTEST_SKIP() << "the Windows version is chosen through Wine's settings";
    const WineSetting version = WindowsVersionForProgram(GetParam().windows);
    ASSERT_TRUE(StartAt(GetParam().fullScreen ? ScreenInSkinPixels() : Box{0, 0, 800, 600}));
    const HWND prompt = OpenPrompt();
    ASSERT_TRUE(prompt) << "no prompt opened";

    const Box r = WindowRect(prompt);
    EXPECT_EQ(r.Width(), Scaled(200));
    EXPECT_EQ(r.Height(), Scaled(100));
    EXPECT_EQ(r.left, (ScreenWidth() - Scaled(200)) / 2);
    EXPECT_EQ(r.top, (ScreenHeight() - Scaled(100)) / 2);

    const POINT face = On(r, {100, 45});
    const POINT hole = On(r, Centre(kHole));
    const POINT corner = On(r, {2, 2});
    const POINT ok = On(r, Centre(kOkButton));
    bool shown = WaitUntil([&] { return ShownScreen().At(face.x, face.y) == kPromptFace; }, 5s);
    const ShownScreen screen;
    if (!shown) screen.Save(theme_->RootPath().parent_path() / "prompt-not-shown.bmp");
    EXPECT_EQ(screen.At(face.x, face.y), kPromptFace) << "the prompt is not what the user sees";
    EXPECT_EQ(screen.At(ok.x, ok.y), kOk);
    EXPECT_EQ(screen.At(hole.x, hole.y), kMainFace) << "the mask colour does not let the main window through";
    EXPECT_EQ(screen.At(corner.x, corner.y), kMainFace);
}

INSTANTIATE_TEST_SUITE_P(BothFamilies, PromptOutline,
                         ::testing::Values(PromptCase{"winxp", false}, PromptCase{"winxp", true},
                                           PromptCase{"win98", false}, PromptCase{"win98", true}),
                         [](const auto& test) {
                             return std::string(test.param.windows) +
                                    (test.param.fullScreen ? "Full" : "Part");
                         });

// ---- Typing and the buttons ---------------------------------------------------------

using PromptAnswers = PromptTest;

TEST_F(PromptAnswers, TypingShowsHashesAndOnlyTheExactPasswordRunsTheCommandAfterItsPause) {
    SaveSetting("DEFAULT", "Password", "Secret");
    ASSERT_TRUE(StartAt({0, 0, 800, 600}));

    HWND prompt = OpenPrompt();
    ASSERT_TRUE(prompt);
    HWND box = nullptr;
    for (const ChildWindow& child : ChildWindows(prompt))
        if (child.className == "Edit") box = child.handle;
    ASSERT_TRUE(box);
    EXPECT_EQ(SendMessageW(box, EM_GETPASSWORDCHAR, 0, 0), '#');
    ASSERT_TRUE(TypeText(box, "secret"));
    ASSERT_TRUE(PressKey(box, VK_RETURN));
    EXPECT_TRUE(PromptGone(3s));
    Sleep(3000);
    EXPECT_TRUE(recorder_->Calls().empty()) << "a password differing in case was taken";

    prompt = OpenPrompt();
    ASSERT_TRUE(prompt);
    ASSERT_TRUE(TypeText(prompt, "Secret"));
    ClickIn(prompt, kOkButton);  // its command is written "ok"
    const auto confirmed = std::chrono::steady_clock::now();
    EXPECT_TRUE(PromptGone(3s));
    ASSERT_TRUE(recorder_->WaitForCalls(1, 8s));
    EXPECT_GE(std::chrono::steady_clock::now() - confirmed, 1900ms) << "the command ran before the pause";
    EXPECT_EQ(recorder_->Calls(), std::vector<std::string>{"protected"});
}

TEST_F(PromptAnswers, QuitLeavesWithNothingAndAnotherCommandRunsWithThePromptStillOpen) {
    SaveSetting("DEFAULT", "Password", "Secret");
    ASSERT_TRUE(StartAt({0, 0, 800, 600}));

    HWND prompt = OpenPrompt();
    ASSERT_TRUE(prompt);
    ClickIn(prompt, kRunButton);
    ASSERT_TRUE(recorder_->WaitForCalls(1, 8s));
    EXPECT_EQ(recorder_->Calls(), std::vector<std::string>{"from the prompt"});
    EXPECT_TRUE(IsWindowVisible(prompt)) << "starting a program closed the prompt";

    ASSERT_TRUE(TypeText(prompt, "Secret"));
    ClickIn(prompt, kQuitButton);
    EXPECT_TRUE(PromptGone(3s));
    Sleep(3000);
    EXPECT_EQ(recorder_->Calls().size(), 1U) << "QUIT handed back the typed text";
}

}  // namespace
}  // namespace corvale::e2e
