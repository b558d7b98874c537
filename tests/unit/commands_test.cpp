// Button commands: the command words, the launcher's cutting of command
// lines, and the order of a click behind the password gate.
#include <gtest/gtest.h>

#include "commands/button_click.h"
#include "commands/launch.h"
#include "tests/fake/fake_platform.h"

namespace corvale {
namespace {

// Every code on both families starts its applet string behind the control
// panel's entry point, or its folder; the system's own rundll32.exe is
// started from the system folder, never found by search.
TEST(Commands_Applets, EveryCommandWordStartsItsAppletOrFolderOnBothFamilies) {
    for (int code = 1; code <= 20; ++code) {
        for (const bool nt : {true, false}) {
            SCOPED_TRACE("CP" + std::to_string(code) + (nt ? " NT" : " 9x"));
            fake::FakeLauncher launcher;
            RunAppletCode(launcher, code, nt);
            ASSERT_EQ(launcher.started.size(), 1U);
            const auto& start = launcher.started[0];
            if (code == 16) {
                EXPECT_EQ(start.commandLine, kPrintersFolder);
                EXPECT_EQ(start.state, WindowState::MinimizedFocus);
                EXPECT_EQ(start.program, "system\\rundll32.exe");
            } else if (code == 6 && nt) {
                EXPECT_EQ(start.commandLine, "explorer ");
                EXPECT_EQ(start.program, "windows\\explorer.exe");
            } else {
                ASSERT_FALSE(AppletString(code, nt).empty());
                EXPECT_EQ(start.commandLine, kAppletPrefix + AppletString(code, nt));
                EXPECT_EQ(start.state, WindowState::NormalFocus);
                EXPECT_EQ(start.program, "system\\rundll32.exe");
            }
        }
    }
}

// The rows whose strings are easy to get wrong.
TEST(Commands_Applets, TheFamiliesDifferWhereTheirAppletsDoAndStringsKeepTheirBlanks) {
    const struct {
        int code;
        bool nt;
        const char* applet;
        const char* why;
    } rows[] = {
        {2, true, "hdwwiz.cpl", "the NT family's own hardware wizard"},
        {2, false, "sysdm.cpl @1", "the 9x family's is a page of System"},
        {10, true, "telephon.cpl ,1", "the blank before the page goes to the control panel as written"},
        {10, false, "modem.cpl", "the 9x family's modems"},
        {5, true, "desk.cpl,,0", "the same display page on both"},
        {6, false, "main.cpl @3", "the 9x family opens Fonts as an applet, not a folder"},
        {6, true, "", "the NT family opens the Fonts folder"},
        {16, false, "", "the Printers folder on both"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(AppletString(r.code, r.nt), r.applet) << "CP" << r.code << ": " << r.why;
}

TEST(Commands_Applets, FontsOnTheNtFamilyOpensTheUsersFontsFolder) {
    fake::FakeLauncher launcher;
    launcher.registry[std::string(kShellFoldersKey) + "\\Fonts"] = {0, 1, std::string("C:\\WINDOWS\\Fonts")};
    RunAppletCode(launcher, 6, true);
    ASSERT_EQ(launcher.started.size(), 1U);
    EXPECT_EQ(launcher.started[0].commandLine, "explorer C:\\WINDOWS\\Fonts");

    fake::FakeLauncher without;
    RunAppletCode(without, 6, true);
    ASSERT_EQ(without.started.size(), 1U);
    EXPECT_EQ(without.started[0].commandLine, "explorer ");
}

TEST(Commands_Applets, OnlyFourCharacterWordsFromCP01ToCP20AreCommandWords) {
    EXPECT_EQ(AppletCode("CP01"), 1);
    EXPECT_EQ(AppletCode("CP20"), 20);
    for (const char* text : {"CP00", "CP21", "CP1", " CP07", "CP07 ", "CPX7", "CP5A", ""})
        EXPECT_EQ(AppletCode(text), std::nullopt) << '"' << text << '"';
}

TEST(Commands_Launcher, CommandLinesAreCutIntoFileAndParameters) {
    struct Case {
        const char* text;
        const char* file;
        const char* parameters;
    };
    const Case cases[] = {
        {"notepad.exe", "notepad.exe", ""},
        {"notepad.exe a,b", "notepad.exe", "a,b"},
        {"C:\\Program Files\\x.exe /s", "C:\\Program", "Files\\x.exe /s"},
        {"\"C:\\Program Files\\x.exe\" /s /q", "C:\\Program Files\\x.exe", " /s /q"},
        {"\"C:\\My Docs\"", "C:\\My Docs", ""},
        {"\"C:\\never closed", "C:\\never closed", ""},
        {" notepad.exe", "notepad.exe", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        const CommandLineParts parts = SplitCommandLine(c.text);
        EXPECT_EQ(parts.file, c.file) << c.text;
        EXPECT_EQ(parts.parameters, c.parameters) << c.text;
    }
}

TEST(Commands_Launcher, RegistryValuesReadAsTextOrNothing) {
    fake::FakeLauncher launcher;
    launcher.registry["K\\Text"] = {0, 1, std::string("hello")};
    launcher.registry["K\\Number"] = {0, 4, std::uint32_t{4294967295U}};
    launcher.registry["K\\Expand"] = {-1, 2, {}};
    EXPECT_EQ(ReadRegString(launcher, "K", "Text", RegistryRoot::CurrentUser), "hello");
    EXPECT_EQ(ReadRegString(launcher, "K", "Number", RegistryRoot::CurrentUser), "4294967295");
    EXPECT_EQ(ReadRegString(launcher, "K", "Expand", RegistryRoot::CurrentUser), "");
    EXPECT_EQ(ReadRegString(launcher, "K", "Missing", RegistryRoot::CurrentUser), "");
}

class RecordingHost : public ClickHost {
public:
    explicit RecordingHost(Context& ctx) : ctx_(ctx) {}
    void PlaySound(const std::string& name) override { events.push_back("sound " + name); }
    bool ShowPasswordPrompt() override {
        events.push_back(std::string("prompt ") + (ctx_.g.PasswordPrompt ? "password" : "text"));
        ctx_.g.InputText = answer;
        return !quitting;
    }
    bool IsWindowsNT() override { return nt; }
    WindowHandle MainWindow() override { return 42; }
    void CloseProgram() override { events.push_back("close"); }

    std::string answer;
    bool quitting = false;
    bool nt = true;
    std::vector<std::string> events;

private:
    Context& ctx_;
};

class ButtonClickTest : public ::testing::Test {
protected:
    void SetUp() override {
        ctx.g.ProgramDir = "C:\\P\\";
        ctx.g.ThemeDir = "T\\";
        ctx.g.LayoutSkinName = "Corvale";
        os.profile.SetFile("C:\\P\\T\\terminal.skn",
                           "[DEFAULT]\nPassStartSound=start\nPassFailSound=fail\nPassOkSound=ok\n");
    }
    // Adds button n as entry n of the layout skin.
    void Button(int n, const std::string& command, bool protectedButton) {
        auto& m = ctx.g.Main;
        m.ButtonCount = n;
        m.ButtonCommand.resize(static_cast<size_t>(n) + 1);
        m.ButtonClickSound.resize(static_cast<size_t>(n) + 1);
        m.ButtonEntry.resize(static_cast<size_t>(n) + 1);
        m.ButtonCommand[static_cast<size_t>(n)] = command;
        m.ButtonClickSound[static_cast<size_t>(n)] = "click" + std::to_string(n);
        m.ButtonEntry[static_cast<size_t>(n)] = n;
        skin += "0" + std::to_string(n) + "=b.bmp,B,1,1,9,9,in,click," +
                (protectedButton ? "True" : "False") + "," + command + "\n";
        os.profile.SetFile("C:\\P\\T\\Corvale.skn", skin);
    }

    fake::FakePlatform os;
    Context ctx{os.bundle};
    RecordingHost host{ctx};
    std::string skin = "[DEFAULT]\nBackGround=0,0,0\n";
};

TEST_F(ButtonClickTest, AnOpenButtonPlaysItsSoundAndRunsAtOnce) {
    Button(1, "cp07", false);
    imgBut_Click(ctx, host, 1);
    EXPECT_EQ(host.events, std::vector<std::string>{"sound click1"});
    ASSERT_EQ(os.launcher.started.size(), 1U);
    EXPECT_EQ(os.launcher.started[0].commandLine, "rundll32.exe shell32.dll,Control_RunDLL inetcpl.cpl");
    EXPECT_EQ(os.toolkit.sleptMs, 0);
}

TEST_F(ButtonClickTest, OtherTextsOpenThroughTheShellAsWrittenInTheProgramFolder) {
    Button(1, " Cp07", false);
    Button(2, "Notepad.exe readme.txt", false);
    imgBut_Click(ctx, host, 1);
    imgBut_Click(ctx, host, 2);
    EXPECT_TRUE(os.launcher.started.empty());
    ASSERT_EQ(os.launcher.opened.size(), 2U);
    EXPECT_EQ(os.launcher.opened[0].file, "Cp07");
    EXPECT_EQ(os.launcher.opened[1].file, "Notepad.exe");
    EXPECT_EQ(os.launcher.opened[1].parameters, "readme.txt");
    EXPECT_EQ(os.launcher.opened[1].directory, "C:\\P\\");
    EXPECT_EQ(os.launcher.opened[1].owner, 42U);
}

TEST_F(ButtonClickTest, QuitInAnyCaseEndsTheProgramAfterTheClickSound) {
    Button(1, "quit", false);
    imgBut_Click(ctx, host, 1);
    EXPECT_EQ(host.events, (std::vector<std::string>{"sound click1", "close"}));
}

TEST_F(ButtonClickTest, TheRightPasswordSoundsPausesThenRuns) {
    ctx.g.Password = "Secret";
    host.answer = "Secret";
    Button(1, "CP05", true);
    imgBut_Click(ctx, host, 1);
    EXPECT_EQ(host.events,
              (std::vector<std::string>{"sound start", "prompt password", "sound ok", "sound click1"}));
    EXPECT_EQ(os.toolkit.sleptMs, 2000);
    ASSERT_EQ(os.launcher.started.size(), 1U);
    EXPECT_EQ(os.launcher.started[0].commandLine, "rundll32.exe shell32.dll,Control_RunDLL desk.cpl,,0");
}

TEST_F(ButtonClickTest, AWrongPasswordOnlyPlaysTheFailSound) {
    ctx.g.Password = "Secret";
    for (const char* answer : {"secret", "Secret ", ""}) {
        host.events.clear();
        host.answer = answer;
        Button(1, "QUIT", true);
        imgBut_Click(ctx, host, 1);
        EXPECT_EQ(host.events, (std::vector<std::string>{"sound start", "prompt password", "sound fail"}))
            << answer;
    }
    EXPECT_TRUE(os.launcher.started.empty());
    EXPECT_EQ(os.toolkit.sleptMs, 0);
}

TEST_F(ButtonClickTest, QuittingWhileThePromptIsUpRunsNothing) {
    host.quitting = true;
    Button(1, "CP05", true);
    imgBut_Click(ctx, host, 1);
    EXPECT_EQ(host.events, (std::vector<std::string>{"sound start", "prompt password"}));
    EXPECT_TRUE(os.launcher.started.empty());
    EXPECT_EQ(os.toolkit.sleptMs, 0);
}

TEST_F(ButtonClickTest, WithNoStoredPasswordAnEmptyAnswerPasses) {
    host.answer = "";
    Button(1, "CP16", true);
    imgBut_Click(ctx, host, 1);
    EXPECT_EQ(os.launcher.started.size(), 1U);
    EXPECT_TRUE(ctx.g.PasswordPrompt);
}

}  // namespace
}  // namespace corvale
