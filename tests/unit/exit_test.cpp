// The exit sequence and the remote control through the settings store.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/frm_main.h"
#include "tests/fake/fake_platform.h"

namespace corvale {
namespace {

using fake::FakeControl;
using fake::FakeForm;
using fake::ProgramEnded;

class RemoteControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        os.settings.Put("Default", "ProgramDir", "C:\\P\\");
        os.settings.Put("Default", "ThemeDir", "T\\");
        os.mixer.AddStandardLine(4, "Master Volume", 30000, 0);
    }
    // Starts the panel with these button commands, one entry each.
    void Start(const std::vector<std::string>& commands, const std::string& theme = "") {
        std::string skin = "[DEFAULT]\nBackGround=0,0,0\n";
        int n = 0;
        for (const auto& command : commands)
            skin += "0" + std::to_string(++n) + "=b.bmp,B,1,1,9,9,in,out,0," + command + "\n";
        os.profile.SetFile("C:\\P\\T\\Corvale.skn", skin);
        os.profile.SetFile("C:\\P\\T\\terminal.skn", "[DEFAULT]\n" + theme);
        main.Load();
        startedAt = os.toolkit.Now();
    }
    FakeForm& Form() { return static_cast<FakeForm&>(main.form()); }
    std::vector<std::string> Opened() {
        std::vector<std::string> files;
        for (const auto& o : os.launcher.opened) files.push_back(o.file);
        return files;
    }

    fake::FakePlatform os;
    Context ctx{os.bundle};
    FrmMain main{ctx};
    long long startedAt = 0;
};

TEST_F(RemoteControlTest, OnlyAnExactOneClosesTheProgram) {
    Start({"a.exe"});
    for (const char* value : {"0", "", "true", " 1", "1 "}) {
        os.settings.Put("EXIT", "VEXAL Terminal - Corvale", value);
        EXPECT_NO_THROW(os.toolkit.Advance(600)) << '"' << value << '"';
    }
    os.settings.Put("EXIT", "VEXAL Terminal - Corvale", "1");
    EXPECT_THROW(os.toolkit.Advance(600), ProgramEnded);
    EXPECT_TRUE(main.Closing);
    EXPECT_FALSE(static_cast<FakeControl*>(Form().Find(ControlArray::tmrExit, 0))->enabled);
}

TEST_F(RemoteControlTest, TheExitPausesClosesTheMixerThenTakesTheFaceDownLastFirst) {
    Start({"a.exe", "b.exe"}, "Animated=True\nAnimDelay=30\n");
    const int built = Form().ControlCount();
    ASSERT_EQ(built, ctx.g.ControlCount + 2);
    os.toolkit.journal.clear();
    const long long slept = os.toolkit.sleptMs;
    EXPECT_THROW(main.CloseProgram(), ProgramEnded);
    const auto& j = os.toolkit.journal;
    EXPECT_EQ(j.front(), "sleep 2000");
    EXPECT_EQ(os.mixer.closes, 1);
    const auto second = std::find(j.begin(), j.end(), "unload imgBut(2)");
    const auto first = std::find(j.begin(), j.end(), "unload imgBut(1)");
    ASSERT_NE(second, j.end());
    ASSERT_NE(first, j.end());
    EXPECT_LT(second, first);
    EXPECT_EQ(Form().ControlCount(), ctx.g.ControlCount);
    EXPECT_EQ(os.toolkit.sleptMs - slept, 2000 + 2 * 30);
    EXPECT_EQ(j.back(), "end");
}

TEST_F(RemoteControlTest, AVoiceCommandPerformsEveryMatchingButtonOnceAndIsCleared) {
    Start({"notepad.exe", "calc.exe", "notepad.exe"});
    os.settings.Put("Voice", "Corvale", "notepad.exe");
    os.toolkit.Advance(500);
    EXPECT_EQ(Opened(), (std::vector<std::string>{"notepad.exe", "notepad.exe"}));
    EXPECT_EQ(os.settings.Value("Voice", "Corvale"), "");
    os.toolkit.Advance(1000);
    EXPECT_EQ(Opened().size(), 2U);
}

TEST_F(RemoteControlTest, AVoiceCommandMatchingNoButtonStaysAndDoesNothing) {
    Start({"notepad.exe"});
    os.settings.Put("Voice", "Corvale", "NOTEPAD.EXE");
    os.toolkit.Advance(1500);
    EXPECT_TRUE(os.launcher.opened.empty());
    EXPECT_EQ(os.settings.Value("Voice", "Corvale"), "NOTEPAD.EXE");
}

TEST_F(RemoteControlTest, WithoutButtonsAVoiceCommandDoesNothing) {
    Start({});
    os.settings.Put("Voice", "Corvale", "QUIT");
    EXPECT_NO_THROW(os.toolkit.Advance(1500));
    EXPECT_EQ(os.settings.Value("Voice", "Corvale"), "QUIT");
}

TEST_F(RemoteControlTest, VoiceWaitsForTheEndOfStartUpButExitDoesNot) {
    os.profile.SetFile("C:\\P\\T\\Corvale.skn",
                       "[DEFAULT]\n01=b.bmp,B,1,1,9,9,in,out,0,notepad.exe\n02=b.bmp,P,0,0,1,1\n");
    os.profile.SetFile("C:\\P\\T\\terminal.skn", "[DEFAULT]\nAnimated=True\nAnimDelay=600\n");
    // Written once the reset is done, while the face is still being built.
    bool written = false;
    os.toolkit.onDoEvents = [&] {
        if (!written && ctx.g.Main.ButtonCount == 1) {
            os.settings.Put("Voice", "Corvale", "notepad.exe");
            written = true;
        }
    };
    main.Load();
    EXPECT_TRUE(os.launcher.opened.empty());
    os.toolkit.onDoEvents = nullptr;
    os.toolkit.Advance(500);
    EXPECT_EQ(Opened(), std::vector<std::string>{"notepad.exe"});
}

TEST_F(RemoteControlTest, AVoiceCommandWaitsWhileThePromptIsUpAndRunsOnceItCloses) {
    os.profile.SetFile("C:\\P\\T\\Corvale.skn", "[DEFAULT]\n01=b.bmp,B,1,1,9,9,in,out,True,calc.exe\n");
    os.profile.SetFile("C:\\P\\T\\terminal.skn", "[DEFAULT]\n");
    main.Load();
    int prompts = 0;
    os.toolkit.onShowModal = [&](FakeForm& form) {
        ++prompts;
        EXPECT_EQ(form.owner, main.form().Handle()) << "the prompt does not stay above the main window";
        if (prompts == 1) {
            os.settings.Put("Voice", "Corvale", "calc.exe");
            os.toolkit.Advance(1500);
            EXPECT_EQ(os.settings.Value("Voice", "Corvale"), "calc.exe") << "taken while the prompt is up";
        }
        form.Close();
    };
    main.OnClick({ControlArray::imgBut, 1});
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(Opened(), std::vector<std::string>{"calc.exe"});
    os.toolkit.Advance(500);
    EXPECT_EQ(prompts, 2);
    EXPECT_EQ(Opened(), (std::vector<std::string>{"calc.exe", "calc.exe"}));
    EXPECT_EQ(os.settings.Value("Voice", "Corvale"), "");
}

TEST_F(RemoteControlTest, AProtectedCommandDoesNotRunWhenTheProgramQuitsDuringThePrompt) {
    os.profile.SetFile("C:\\P\\T\\Corvale.skn", "[DEFAULT]\n01=b.bmp,B,1,1,9,9,in,out,True,calc.exe\n");
    os.profile.SetFile("C:\\P\\T\\terminal.skn", "[DEFAULT]\n");
    main.Load();
    os.toolkit.quitDuringModal = true;
    main.OnClick({ControlArray::imgBut, 1});
    EXPECT_TRUE(os.launcher.opened.empty());
    EXPECT_EQ(os.toolkit.sleptMs, 0);
}

TEST_F(RemoteControlTest, ACloseRequestRunsTheExitSequenceAndTheSessionEndSkipsItsPauses) {
    Start({"a.exe"}, "Animated=True\nAnimDelay=30\n");
    os.toolkit.journal.clear();
    EXPECT_THROW(main.OnCloseRequest(), ProgramEnded);
    EXPECT_EQ(os.toolkit.journal.front(), "sleep 2000");
    EXPECT_EQ(os.mixer.closes, 1);
    EXPECT_EQ(Form().ControlCount(), ctx.g.ControlCount);

    fake::FakePlatform other;
    Context otherCtx{other.bundle};
    other.settings.Put("Default", "ProgramDir", "C:\\P\\");
    other.settings.Put("Default", "ThemeDir", "T\\");
    other.mixer.AddStandardLine(4, "Master Volume", 30000, 0);
    FrmMain ending{otherCtx};
    ending.Load();
    const long long slept = other.toolkit.sleptMs;
    EXPECT_THROW(ending.OnSessionEnd(), ProgramEnded);
    EXPECT_EQ(other.toolkit.sleptMs, slept);
    EXPECT_EQ(other.mixer.closes, 1);
}

TEST_F(RemoteControlTest, ButtonsLightUpAndStopOnceClosing) {
    os.toolkit.pictureFiles["C:\\P\\T\\b.bmp"] = {9, 9};
    os.toolkit.pictureFiles["C:\\P\\T\\ba.bmp"] = {9, 9};
    Start({"a.exe"});
    auto* button = static_cast<FakeControl*>(Form().Find(ControlArray::imgBut, 1));
    button->left = 10;
    button->top = 10;
    button->width = 20;
    button->height = 20;
    os.toolkit.cursor = {15, 15};
    os.toolkit.Advance(100);
    EXPECT_EQ(button->backColor, 0U);
    EXPECT_EQ(fake::PictureSource(button->picture), "C:\\P\\T\\ba.bmp");
    main.Closing = true;
    os.toolkit.cursor = {500, 500};
    os.toolkit.Advance(100);
    EXPECT_EQ(button->backColor, 0U);
}

}  // namespace
}  // namespace corvale
