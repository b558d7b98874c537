// corvalectl.exe as a person or a script uses it beside the panel: a theme
// installed, the panel closed, a button performed, the settings shown, a
// theme checked, and arguments that make no sense.
#include <chrono>
#include <fstream>
#include <iterator>

#include "tests/e2e/driver.h"

namespace corvale::e2e {
namespace {

using Clock = std::chrono::steady_clock;

constexpr Rgb kCrimson{200, 40, 90};

struct CtlRun {
    DWORD code = 0xFFFFFFFF;
    std::string out;
    std::string err;
};

// One argument as the C runtime splits a command line: quoted, with the
// backslashes before a quote doubled.
std::wstring QuoteArgument(const std::wstring& arg) {
    std::wstring quoted = L"\"";
    size_t slashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        quoted.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
        slashes = 0;
        quoted += c;
    }
    quoted.append(slashes * 2, L'\\');
    return quoted + L"\"";
}

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class CorvalectlTest : public PanelTest {
protected:
    // Runs corvalectl.exe with these arguments and waits for it to end.
    CtlRun Ctl(const std::vector<std::string>& args, Milliseconds timeout = 60s) {
        const std::filesystem::path exe = NextToDriver(L"corvalectl.exe");
        std::wstring line = QuoteArgument(exe.wstring());
        for (const std::string& arg : args) line += L" " + QuoteArgument(Wide(arg));
        // Files of each run's own: a console helper of an earlier run may
        // still hold the handles it inherited.
        const std::wstring number = std::to_wstring(++runs_);
        const std::filesystem::path outPath = theme_->RootPath() / (L"ctl-out-" + number + L".txt");
        const std::filesystem::path errPath = theme_->RootPath() / (L"ctl-err-" + number + L".txt");
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        CtlRun run;
        {
            auto create = [&](const std::filesystem::path& path) {
                return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            };
            const win32::UniqueFile out(create(outPath));
            const win32::UniqueFile err(create(errPath));
            if (!out || !err) {
                ADD_FAILURE() << "cannot make the output files (error " << GetLastError() << ")";
                return run;
            }
            STARTUPINFOW startup{};
            startup.cb = sizeof startup;
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
            startup.hStdOutput = out.get();
            startup.hStdError = err.get();
            PROCESS_INFORMATION info{};
            if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                nullptr, &startup, &info)) {
                ADD_FAILURE() << "cannot start " << Utf8(exe.wstring()) << " (error " << GetLastError()
                              << ")";
                return run;
            }
            const win32::UniqueKernelObject process(info.hProcess);
            const win32::UniqueKernelObject thread(info.hThread);
            if (WaitForSingleObject(info.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
                TerminateProcess(info.hProcess, 99);
                ADD_FAILURE() << "corvalectl did not end within " << timeout.count() << " ms";
            }
            GetExitCodeProcess(info.hProcess, &run.code);
        }
        run.out = ReadText(outPath);
        run.err = ReadText(errPath);
        return run;
    }

    static bool Says(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }

private:
    int runs_ = 0;
};

using CorvalectlTheme = CorvalectlTest;

TEST_F(CorvalectlTheme, StoresTheFolderAsAnInstallerWouldAndThePanelStartsWithIt) {
    theme_->WriteSkin("..\\themes\\blue\\terminal.skn", "[DEFAULT]\n");
    theme_->WriteSkin("..\\themes\\blue\\Corvale.skn", "[DEFAULT]\nBackGround=" + SkinColor(kCrimson) + "\n");
    theme_->WriteSkin("..\\themes\\empty\\Corvale.skn", "[DEFAULT]\n");

    const CtlRun refused = Ctl({"theme", theme_->Root() + "themes\\empty"});
    EXPECT_EQ(refused.code, 1u);
    EXPECT_TRUE(Says(refused.err, "terminal.skn")) << refused.err;
    EXPECT_EQ(GetSetting("Default", "ThemeDir"), "theme\\") << "a folder without terminal.skn was stored";

    const CtlRun run = Ctl({"theme", theme_->Root() + "themes\\blue"});
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
    const CtlRun run = Ctl({"close", "--wait", "20"});
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
    const CtlRun run = Ctl({"perform", recorder_->Command("performed"), "--wait", "15"});
    EXPECT_EQ(run.code, 0u) << run.out << run.err;
    EXPECT_TRUE(recorder_->WaitForCalls(1, 5s));
    EXPECT_EQ(recorder_->Calls(), std::vector<std::string>{"performed"});
    EXPECT_EQ(GetSetting("Voice", kProgramId), "");

    const CtlRun unknown = Ctl({"perform", recorder_->Command("PERFORMED")});
    EXPECT_EQ(unknown.code, 1u) << unknown.out << unknown.err;
    EXPECT_TRUE(Says(unknown.out, "no button")) << unknown.out;
    EXPECT_EQ(GetSetting("Voice", kProgramId), "");
    Sleep(1000);
    EXPECT_EQ(recorder_->Calls().size(), 1u);
}

TEST_F(CorvalectlRemote, StatusTellsWhetherAPasswordIsSetButNeverThePassword) {
    const std::string password = "s3cret-Passw0rd";
    SaveSetting("DEFAULT", "Password", password);
    const CtlRun idle = Ctl({"status"});
    EXPECT_EQ(idle.code, 0u);
    EXPECT_TRUE(Says(idle.out, "not running")) << idle.out;
    EXPECT_TRUE(Says(idle.out, "password    set")) << idle.out;
    EXPECT_TRUE(Says(idle.out, theme_->Root() + "theme\\ (terminal.skn found)")) << idle.out;

    ASSERT_TRUE(StartPanelAndWait());
    const CtlRun running = Ctl({"status", "--json"});
    EXPECT_EQ(running.code, 0u);
    EXPECT_TRUE(Says(running.out, "\"panelRunning\":true")) << running.out;
    EXPECT_TRUE(Says(running.out, "\"passwordSet\":true")) << running.out;
    for (const CtlRun* run : {&idle, &running}) {
        EXPECT_FALSE(Says(run->out + run->err, password));
        EXPECT_FALSE(Says(run->out + run->err, "s3cret"));
    }
}

using CorvalectlCheck = CorvalectlTest;

// The repository's default theme, found above the folder of the test
// programs (build\win32\ in a checkout).
std::optional<std::filesystem::path> DefaultTheme() {
    std::filesystem::path folder = NextToDriver(L"corvalectl.exe").parent_path();
    for (int up = 0; up < 5 && !folder.empty(); ++up, folder = folder.parent_path()) {
        const auto theme = folder / L"themes" / L"default";
        if (std::filesystem::exists(theme / L"terminal.skn")) return theme;
        if (folder == folder.parent_path()) break;
    }
    return std::nullopt;
}

TEST_F(CorvalectlCheck, TheDefaultThemeIsClean) {
    const auto theme = DefaultTheme();
    if (!theme) GTEST_SKIP() << "no themes\\default above the test programs";
    const CtlRun text = Ctl({"check", Utf8(theme->wstring()), "--width", "1024"});
    EXPECT_EQ(text.code, 0u) << text.out << text.err;
    EXPECT_TRUE(Says(text.out, "clean: no problems found")) << text.out;
    EXPECT_TRUE(Says(text.out, "layout skin Corvale1024.skn")) << text.out;
    const CtlRun json = Ctl({"check", Utf8(theme->wstring()), "--width", "800", "--json"});
    EXPECT_EQ(json.code, 0u) << json.out;
    EXPECT_TRUE(Says(json.out, "\"layoutSkin\":\"Corvale800.skn\"")) << json.out;
    EXPECT_TRUE(Says(json.out, "\"errors\":0,\"warnings\":0")) << json.out;
}

TEST_F(CorvalectlCheck, NamesFaultsAtTheirEntriesThroughTheSystemsDecoder) {
    theme_->WriteSkin("terminal.skn", "[DEFAULT]\nSound=maybe\n");
    theme_->WriteBmp("b1.bmp", Canvas(8, 8, Rgb{1, 2, 3}));
    theme_->WriteBytes("broken.bmp", Bytes{'B', 'M', 0, 1, 2, 3, 4, 5});
    theme_->WriteGif("spin.gif", {{Canvas(4, 4, Rgb{9, 9, 9}), 10}, {Canvas(4, 4, Rgb{99, 9, 9}), 20}});
    theme_->WriteSkin("Corvale.skn",
                      "[DEFAULT]\nBackGround=1,2,3\n"
                      "01=b1.bmp,B,5,5,40,20,,,0,notepad.exe\n"
                      "02=broken.bmp,P,0,0,10,10\n"
                      "03=spin.gif,A,-30,0,20,20\n");
    const CtlRun run = Ctl({"check", theme_->Theme()});
    EXPECT_EQ(run.code, 2u) << run.out << run.err;
    for (const char* said : {
             "warning: terminal.skn [DEFAULT] Sound: \"maybe\" is not True, False or a number",
             "hover picture \"b1a.bmp\" is missing",
             "command reads \"b1.bmp,B,5,5,40,20,,,0,notepad.exe\" (written \"notepad.exe\")",
             "picture \"broken.bmp\" does not decode",
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
        {"check", "x", "--work-area", "800"},
        {"check", ".", "--width", "800", "--work-area", "1024x738"},
    };
    for (const auto& args : bad) {
        std::string shown;
        for (const std::string& a : args) shown += " [" + a + "]";
        const CtlRun run = Ctl(args);
        EXPECT_EQ(run.code, 3u) << shown << "\n" << run.err;
        EXPECT_EQ(run.out, "") << shown;
        const std::string first = run.err.substr(0, run.err.find('\n'));
        EXPECT_TRUE(first.starts_with("corvalectl: ") || args.empty()) << shown << ": " << first;
        EXPECT_TRUE(Says(run.err, "usage: corvalectl COMMAND")) << shown << "\n" << run.err;
    }
}

}  // namespace
}  // namespace corvale::e2e
