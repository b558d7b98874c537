// corvalectl.exe as a person or a script uses it beside the panel: a theme
// installed, the panel closed, a button performed, the settings shown, a
// theme checked, and arguments that make no sense.
#include <chrono>
#include <fstream>

#include "tests/e2e/driver.h"

namespace corvale::e2e {
namespace {

using Clock = std::chrono::steady_clock;

constexpr Rgb kCrimson{200, 40, 90};

class CorvalectlTest : public PanelTest {
protected:
    // Runs corvalectl.exe with these arguments and waits for it to end.
    ProgramRun Ctl(const std::vector<std::string>& args, Milliseconds timeout = 60s) {
        return RunProgram(NextToDriver(L"corvalectl.exe"), QuoteArguments(args), theme_->RootPath(), timeout);
    }

    static bool Says(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }
};

using CorvalectlTheme = CorvalectlTest;

TEST_F(CorvalectlTheme, StoresTheFolderAsAnInstallerWouldAndThePanelStartsWithIt) {
    theme_->WriteSkin("..\\themes\\blue\\terminal.skn", "[DEFAULT]\n");
    theme_->WriteSkin("..\\themes\\blue\\Corvale.skn", "[DEFAULT]\nBackGround=" + SkinColor(kCrimson) + "\n");
    theme_->WriteSkin("..\\themes\\empty\\Corvale.skn", "[DEFAULT]\n");

    const ProgramRun refused = Ctl({"theme", theme_->Root() + "themes\\empty"});
    EXPECT_EQ(refused.code, 1u);
    EXPECT_TRUE(Says(refused.err, "terminal.skn")) << refused.err;
    EXPECT_EQ(GetSetting("Default", "ThemeDir"), "theme\\") << "a folder without terminal.skn was stored";

    const ProgramRun run = Ctl({"theme", theme_->Root() + "themes\\blue"});
    EXPECT_EQ(run.code, 0u) << run.err;
    EXPECT_EQ(GetSetting("Default", "ProgramDir"), theme_->Root() + "themes\\");
    EXPECT_EQ(GetSetting("Default", "ThemeDir"), "blue\\");
    EXPECT_TRUE(Says(run.out, "ThemeDir = blue\\")) << run.out;

    PlaceWindow(100, 50, 900, 650);
    const HWND window = StartPanelAndWait();
    ASSERT_TRUE(window);
    const POINT centre = PointIn(WindowRect(window), 0.5, 0.5);
    WaitUntil([&] { return ScreenPixel(centre.x, centre.y) == kCrimson; }, 5s);
    EXPECT_EQ(ScreenPixel(centre.x, centre.y), kCrimson);
}

// Where the half of the test below that runs in a console writes the code
// page that console is left with.
constexpr wchar_t kConsolePage[] = L"CORVALE_CONSOLE_PAGE";

// corvalectl in a console window at code page 437, as a user runs it there.
TEST_F(CorvalectlTheme, OnAConsoleTheCodePageStaysAsTheUserSetIt) {
    const std::filesystem::path page = theme_->RootPath() / L"page.txt";
    SetEnvironmentVariableW(kConsolePage, page.c_str());
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line =
        QuoteArgument(self) + L" --gtest_also_run_disabled_tests --gtest_filter=*DISABLED_InAConsole*";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const BOOL started = CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                                        nullptr, nullptr, &startup, &info);
    SetEnvironmentVariableW(kConsolePage, nullptr);
    ASSERT_TRUE(started);
    const win32::UniqueKernelObject process(info.hProcess), thread(info.hThread);
    ASSERT_EQ(WaitForSingleObject(process.get(), 60000), WAIT_OBJECT_0);
    EXPECT_EQ(ReadText(page), "437");
}

TEST(CorvalectlConsole, DISABLED_InAConsoleRunsItAndWritesDownTheCodePageLeft) {
    wchar_t page[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(kConsolePage, page, MAX_PATH))
        GTEST_SKIP() << "runs in the test above's console";
    SetConsoleOutputCP(437);
    std::wstring line = QuoteArgument(NextToDriver(L"corvalectl.exe").wstring()) + L" status";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(
        CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
    const win32::UniqueKernelObject process(info.hProcess), thread(info.hThread);
    WaitForSingleObject(process.get(), 60000);
    std::ofstream(std::filesystem::path(page)) << GetConsoleOutputCP();
}

class CorvalectlRemote : public CorvalectlTest {
protected:
    void SetUp() override {
        CorvalectlTest::SetUp();
        recorder_ = std::make_unique<CallRecorder>(theme_->RootPath());
        theme_->WriteBmp("b.bmp", Canvas(8, 8, Rgb{200, 200, 200}));
        theme_->WriteSkin("terminal.skn", "[DEFAULT]\n");
        theme_->WriteSkin("Corvale.skn",
                          "[DEFAULT]\nBackGround=20,20,20\n01=b.bmp,B,10,10,40,20,nohover,nosound,0," +
                              recorder_->Command("performed") + "\n");
        PlaceWindow(0, 0, 800, 600);
    }
    std::unique_ptr<CallRecorder> recorder_;
};

TEST_F(CorvalectlRemote, CloseEndsTheRunningPanelThroughTheExitSequence) {
    EXPECT_EQ(Ctl({"close"}).code, 1u) << "no panel runs yet";
    Panel& panel = StartPanel();
    ASSERT_TRUE(panel.WaitForWindow());
    const auto start = Clock::now();
    const ProgramRun run = Ctl({"close", "--wait", "20"});
    const auto took = std::chrono::duration_cast<Milliseconds>(Clock::now() - start);
    EXPECT_EQ(run.code, 0u) << run.out << run.err;
    EXPECT_TRUE(panel.WaitForExit(5s));
    EXPECT_EQ(panel.ExitCode(), 0u);
    // The exit sequence pauses 2 s before it takes the face down.
    EXPECT_GE(took.count(), 2000);
    EXPECT_EQ(FindWindowByCaption(kCaption), nullptr);
}

TEST_F(CorvalectlRemote, PerformRunsTheButtonAndAnUnknownCommandIsWithdrawn) {
    ASSERT_TRUE(StartPanelAndWait());
    // A panel still starting takes no command: give it time.
    const ProgramRun run = Ctl({"perform", recorder_->Command("performed"), "--wait", "15"});
    EXPECT_EQ(run.code, 0u) << run.out << run.err;
    EXPECT_TRUE(recorder_->WaitForCalls(1, 5s));
    EXPECT_EQ(recorder_->Calls(), std::vector<std::string>{"performed"});
    EXPECT_EQ(GetSetting("Voice", kProgramId), "");

    const ProgramRun unknown = Ctl({"perform", recorder_->Command("PERFORMED")});
    EXPECT_EQ(unknown.code, 1u) << unknown.out << unknown.err;
    EXPECT_TRUE(Says(unknown.out, "no button")) << unknown.out;
    EXPECT_EQ(GetSetting("Voice", kProgramId), "");
    Sleep(1000);
    EXPECT_EQ(recorder_->Calls().size(), 1u);
}

TEST_F(CorvalectlRemote, StatusTellsWhetherAPasswordIsSetButNeverThePassword) {
    const std::string password = "s3cret-Passw0rd";
    SaveSetting("DEFAULT", "Password", password);
    const ProgramRun idle = Ctl({"status"});
    EXPECT_EQ(idle.code, 0u);
    EXPECT_TRUE(Says(idle.out, "not running")) << idle.out;
    EXPECT_TRUE(Says(idle.out, "password    set")) << idle.out;
    EXPECT_TRUE(Says(idle.out, theme_->Root() + "theme\\ (terminal.skn found)")) << idle.out;

    ASSERT_TRUE(StartPanelAndWait());
    const ProgramRun running = Ctl({"status", "--json"});
    EXPECT_EQ(running.code, 0u);
    EXPECT_TRUE(Says(running.out, "\"panelRunning\":true")) << running.out;
    EXPECT_TRUE(Says(running.out, "\"passwordSet\":true")) << running.out;
    for (const ProgramRun* run : {&idle, &running}) {
        EXPECT_FALSE(Says(run->out + run->err, password));
        EXPECT_FALSE(Says(run->out + run->err, "s3cret"));
    }
}

using CorvalectlCheck = CorvalectlTest;

TEST_F(CorvalectlCheck, TheDefaultThemeIsClean) {
    const auto theme = DefaultTheme();
    if (!theme) GTEST_SKIP() << "no themes\\default above the test programs";
    const ProgramRun text = Ctl({"check", Utf8(theme->wstring()), "--width", "1024"});
    EXPECT_EQ(text.code, 0u) << text.out << text.err;
    EXPECT_TRUE(Says(text.out, "clean: no problems found")) << text.out;
    EXPECT_TRUE(Says(text.out, "layout skin Corvale1024.skn")) << text.out;
    const ProgramRun json = Ctl({"check", Utf8(theme->wstring()), "--width", "800", "--json"});
    EXPECT_EQ(json.code, 0u) << json.out;
    EXPECT_TRUE(Says(json.out, "\"layoutSkin\":\"Corvale800.skn\"")) << json.out;
    EXPECT_TRUE(Says(json.out, "\"errors\":0,\"warnings\":0")) << json.out;
}

TEST_F(CorvalectlCheck, NamesFaultsAtTheirEntriesThroughTheSystemsDecoder) {
    theme_->WriteSkin("terminal.skn", "[DEFAULT]\nSound=maybe\n");
    theme_->WriteBmp("b1.bmp", Canvas(8, 8, Rgb{1, 2, 3}));
    theme_->WriteBmp("b1@2x.bmp", Canvas(15, 16, Rgb{1, 2, 3}));
    theme_->WriteBytes("broken.bmp", Bytes{'B', 'M', 0, 1, 2, 3, 4, 5});
    theme_->WriteGif("spin.gif", {{Canvas(4, 4, Rgb{9, 9, 9}), 10}, {Canvas(4, 4, Rgb{99, 9, 9}), 20}});
    theme_->WriteSkin("Corvale.skn",
                      "[DEFAULT]\nBackGround=1,2,3\n"
                      "01=b1.bmp,B,5,5,40,20,,,0,notepad.exe\n"
                      "02=broken.bmp,P,0,0,10,10\n"
                      "03=spin.gif,A,-30,0,20,20\n");
    const ProgramRun run = Ctl({"check", theme_->Theme()});
    EXPECT_EQ(run.code, 2u) << run.out << run.err;
    for (const char* said : {
             "warning: terminal.skn [DEFAULT] Sound: \"maybe\" is not True, False or a number",
             "hover picture \"b1a.bmp\" is missing",
             "command reads \"b1.bmp,B,5,5,40,20,,,0,notepad.exe\" (written \"notepad.exe\")",
             "picture \"broken.bmp\" does not decode",
             "variant \"b1@2x.bmp\" is 15x16, not 16x16 (8x8 times 2): the panel passes it over",
             "2 frames: 100 200 ms",
         })
        EXPECT_TRUE(Says(run.out, said)) << said << "\nin:\n" << run.out;
}

using CorvalectlArguments = CorvalectlTest;

TEST_F(CorvalectlArguments, BadArgumentsGetOneLineAndTheUsage) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"frobnicate"},
        {"close", "--wait", "soon"},
        {"close", "--wait"},
        {"perform"},
        {"perform", ""},
        {"status", "extra"},
        {"theme", "a", "b"},
        {"check", "x", "--width", "-5"},
        {"check", "--json"},
        {"startup"},
        {"startup", "maybe"},
        {"forget", "x", "--if-unset"},
    };
    for (const auto& args : bad) {
        std::string shown;
        for (const std::string& a : args) shown += " [" + a + "]";
        const ProgramRun run = Ctl(args);
        EXPECT_EQ(run.code, 3u) << shown << "\n" << run.err;
        EXPECT_EQ(run.out, "") << shown;
        const std::string first = run.err.substr(0, run.err.find('\n'));
        EXPECT_TRUE(first.starts_with("corvalectl: ") || args.empty()) << shown << ": " << first;
        EXPECT_TRUE(Says(run.err, "usage: corvalectl COMMAND")) << shown << "\n" << run.err;
    }
}

}  // namespace
}  // namespace corvale::e2e
