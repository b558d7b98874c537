// corvalectl.exe as a person or a script uses it beside the panel: a theme
// installed, the panel closed, a button performed, the settings shown, a
// theme checked, and arguments that make no sense.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <tuple>

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

TEST_F(CorvalectlCheck, TheBundledThemesAreClean) {
    for (const auto& [name, wide, narrow] : {std::tuple{L"default", "Corvale1024.skn", "Corvale800.skn"},
                                             std::tuple{L"daylight", "Corvale1024.skn", "Corvale.skn"}}) {
        const auto theme = BundledTheme(name);
        if (!theme) GTEST_SKIP() << "no themes\\" << Utf8(name) << " above the test programs";
        const ProgramRun text = Ctl({"check", Utf8(theme->wstring()), "--width", "1024"});
        EXPECT_EQ(text.code, 0u) << text.out << text.err;
        EXPECT_TRUE(Says(text.out, "clean: no problems found")) << text.out;
        EXPECT_TRUE(Says(text.out, std::string("layout skin ") + wide)) << text.out;
        const ProgramRun json = Ctl({"check", Utf8(theme->wstring()), "--width", "800", "--json"});
        EXPECT_EQ(json.code, 0u) << json.out;
        EXPECT_TRUE(Says(json.out, std::string("\"layoutSkin\":\"") + narrow + "\"")) << json.out;
        EXPECT_TRUE(Says(json.out, "\"errors\":0,\"warnings\":0")) << json.out;
    }
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

// ---- check and the panel agree ---------------------------------------------

// A place that check gives: the entry's key and kind, its file, and its
// rectangle in the window's pixels.
struct Place {
    std::string key, kind, file;
    Box inner;
};

Box Inner(const std::smatch& m, size_t first) {
    const int left = std::stoi(m[first]), top = std::stoi(m[first + 1]);
    return {left, top, left + std::stoi(m[first + 2]), top + std::stoi(m[first + 3])};
}

constexpr const char* kRect = R"(\{"left":(-?\d+),"top":(-?\d+),"width":(-?\d+),"height":(-?\d+)\})";

// The entries of one section of check's JSON, in its order.
std::vector<Place> Places(const std::string& json) {
    static const std::regex entry(
        std::string(R"re("key":"(\d+)","value":"[^"]*","source":"[^"]*","kind":"(\w)",)re") +
        R"re("what":"[^"]*","file":"([^"]*)","rect":)re" + kRect);
    std::vector<Place> places;
    for (std::sregex_iterator it(json.begin(), json.end(), entry), end; it != end; ++it)
        places.push_back({(*it)[1], (*it)[2], (*it)[3], Inner(*it, 4)});
    return places;
}

std::optional<Box> Named(const std::string& json, const std::string& name) {
    std::smatch m;
    if (!std::regex_search(json, m, std::regex("\"" + name + "\":" + kRect))) return std::nullopt;
    return Inner(m, 1);
}

// The colour of each picture of the theme below: every picture one colour,
// so that where it shows can be seen on the screen.
const std::map<std::string, Rgb> kColourOf = {
    {"p1.bmp", {220, 30, 30}},  {"p2.bmp", {30, 200, 60}}, {"p3.bmp", {40, 60, 230}},
    {"p4.bmp", {240, 220, 20}}, {"g.gif", {160, 60, 200}}, {"pp.bmp", {250, 250, 60}},
    {"slider", {0, 180, 180}},  {"label", {250, 140, 0}},  {"switch", {120, 250, 120}},
};

// Every kind of entry and every geometry rule: places from the far edges,
// percentages, sizes that reach the edge. Screens 800 pixels wide take a
// layout of their own, shifted, so that check and the panel must also agree
// on which layout a screen takes.
std::string AgreementLayout(int shift) {
    auto x = [shift](int left) { return std::to_string(left + shift); };
    std::string skin =
        "[DEFAULT]\nBackGround=20,20,20\n"
        "01=p1.bmp,P," +
        x(10) +
        ",10,30,20\n"
        "02=p2.bmp,P,-50,10,40,20\n"
        "03=p3.bmp,P,50%,50%,10%,5%\n"
        "04=p4.bmp,P," +
        x(10) +
        ",-30,0,-10\n"
        "05=info,L," +
        x(10) +
        ",70,200,-200,0,0,0,255,255,255,Courier New,9\n"
        "06=report,L,-300,70,-10,100,0,0,0,255,255,255,Courier New,9\n"
        "07=b1.bmp,B," +
        x(230) +
        ",70,60,20,none,none,True,QUIT\n"
        "08=b2.bmp,B,-80,-60,50,20,none,none,False,QUIT\n"
        "09=g.gif,A," +
        x(300) +
        ",70,40,20\n"
        "10=g.gif,A,-100,200,40,20\n[INFO]\n";
    for (int n = 1; n <= 32; ++n) skin += (n < 10 ? "0" : "") + std::to_string(n) + "=label\n";
    skin +=
        "[VOLUME]\nMeter20=switch.bmp\nMeter21=switch.bmp\n"
        "volume0=250,150,20,100,245,255,30,8,240,268,40,12\n"
        "volume1=300,150,20,100,295,255,30,8,290,268,40,12\n";
    for (int n = 0; n < 20; ++n)
        skin += "Meter" + std::string(n < 10 ? "0" : "") + std::to_string(n) + "=slider.bmp\n";
    for (int kind = 0; kind < 10; ++kind) skin += "label" + std::to_string(kind) + "=label.bmp\n";
    return skin;
}

class CheckAndPanel : public CorvalectlTest {
protected:
    void SetUp() override {
        CorvalectlTest::SetUp();
        for (const auto& [file, colour] : kColourOf) {
            if (file.ends_with(".gif"))
                theme_->WriteGif(file, {{Canvas(8, 8, colour), 20}, {Canvas(8, 8, colour), 30}});
            else if (file.ends_with(".bmp")) theme_->WriteBmp(file, Canvas(8, 8, colour));
        }
        theme_->WriteBmp("slider.bmp", Canvas(20, 100, kColourOf.at("slider")));
        theme_->WriteBmp("label.bmp", Canvas(30, 8, kColourOf.at("label")));
        theme_->WriteBmp("switch.bmp", Canvas(40, 12, kColourOf.at("switch")));
        theme_->WriteBmp("p1.bmp", Canvas(30, 20, kColourOf.at("p1.bmp")));
        theme_->WriteBmp("p2.bmp", Canvas(40, 20, kColourOf.at("p2.bmp")));
        theme_->WriteBmp("pp.bmp", Canvas(20, 20, kColourOf.at("pp.bmp")));
        theme_->WriteBmp("plate.bmp", Canvas(240, 120, Rgb{60, 70, 80}));
        for (const auto& [face, width] : {std::pair{"b1", 60}, {"b2", 50}, {"ok", 60}, {"no", 60}}) {
            theme_->WriteBmp(std::string(face) + ".bmp", Canvas(width, 20, Rgb{200, 200, 200}));
            theme_->WriteBmp(std::string(face) + "a.bmp", Canvas(width, 20, Rgb{90, 90, 90}));
        }
        theme_->WriteSkin("terminal.skn",
                          "[DEFAULT]\nSound=False\n[INPUT]\nBackGround=plate.bmp\nMaskColor=255,0,255\n"
                          "InputBox=20,40,200,20,255,255,255,0,0,0,Courier New,10\n"
                          "01=ok.bmp,B,20,80,60,20,none,none,False,OK\n"
                          "02=no.bmp,B,160,80,60,20,none,none,False,QUIT\n03=pp.bmp,P,110,10,20,20\n");
        theme_->WriteSkin("Corvale.skn", AgreementLayout(0));
        theme_->WriteSkin("Corvale800.skn", AgreementLayout(6));
        // A wrong answer keeps the protected button from running.
        SaveSetting("DEFAULT", "Password", "not empty");
    }

    // Windowless pictures as the user sees them: the corners just inside
    // show the picture's colour, the points just outside (on the window) do not.
    static void ExpectShown(const ShownScreen& shot, const Box& window, const Box& b, Rgb colour,
                            const std::string& what) {
        for (const POINT p : {POINT{b.left, b.top}, POINT{b.right - 1, b.top}, POINT{b.left, b.bottom - 1},
                              POINT{b.right - 1, b.bottom - 1}})
            EXPECT_EQ(shot.At(p.x, p.y), colour)
                << what << " at " << b << ": inside point " << p.x << "," << p.y;
        for (const POINT p : {POINT{b.left - 1, b.top}, POINT{b.right, b.top}, POINT{b.left, b.top - 1},
                              POINT{b.left, b.bottom}}) {
            if (p.x >= window.left && p.y >= window.top && p.x < window.right && p.y < window.bottom) {
                EXPECT_NE(shot.At(p.x, p.y), colour)
                    << what << " at " << b << ": outside point " << p.x << "," << p.y;
            }
        }
    }

    // Every text box and button of check's list is a child window exactly
    // there, and there are no others.
    static void ExpectChildren(HWND window, const std::vector<Place>& places, const char* kind,
                               const char* className) {
        std::vector<Box> shown;
        for (const ChildWindow& child : ChildWindows(window))
            if (child.visible && child.className == className) shown.push_back(child.rect);
        size_t expected = 0;
        for (const Place& place : places) {
            if (place.kind != kind) continue;
            ++expected;
            const Box at = InnerToScreen(window, place.inner);
            EXPECT_NE(std::find(shown.begin(), shown.end(), at), shown.end())
                << kind << " entry " << place.key << ": check says " << place.inner << ", no " << className
                << " is there";
        }
        EXPECT_EQ(shown.size(), expected) << className << " windows";
    }
};

TEST_F(CheckAndPanel, EveryEntryIsWhereCheckSaysOnThisScreen) {
    // corvalectl asks the system for the screen and the work area, as the
    // panel does; the suite runs this at 1024x768 and again at 800x600 with
    // a taskbar's strip taken off.
    const ProgramRun run = Ctl({"check", theme_->Theme(), "--json"});
    ASSERT_EQ(run.code, 0u) << run.out << run.err;
    const std::string json = run.out;
    const size_t promptAt = json.find("\"section\":\"INPUT\"");
    ASSERT_NE(promptAt, std::string::npos) << json;
    const std::string mainPart = json.substr(0, promptAt), promptPart = json.substr(promptAt);
    const std::vector<Place> places = Places(mainPart);
    ASSERT_EQ(places.size(), 10u) << json;
    std::printf("check and the panel on a %dx%d screen whose work area is %dx%d\n", ScreenWidth(),
                ScreenHeight(), WorkArea().Width(), WorkArea().Height());

    const HWND window = StartPanelAndWait();
    ASSERT_TRUE(window);
    ASSERT_TRUE(WaitUntil(
        [&] {
            int buttons = 0;
            for (const ChildWindow& child : ChildWindows(window))
                buttons += child.visible && child.className == "CorvalePictureButton";
            return buttons == 2;
        },
        10s));
    const Box client = ClientRectOnScreen(window);
    std::smatch size;
    ASSERT_TRUE(
        std::regex_search(mainPart, size, std::regex(R"("window":\{"width":(\d+),"height":(\d+)\})")));
    EXPECT_EQ(client.Width(), std::stoi(size[1]));
    EXPECT_EQ(client.Height(), std::stoi(size[2]));

    ExpectChildren(window, places, "L", "Edit");
    ExpectChildren(window, places, "B", "CorvalePictureButton");
    const Place& last = places.back();
    WaitUntil(
        [&] {
            const POINT p = PointIn(InnerToScreen(window, last.inner), 0.5, 0.5);
            return ScreenPixelNow(p.x, p.y) == kColourOf.at(last.file);
        },
        5s);
    const ShownScreen shot;
    for (const Place& place : places)
        if (place.kind == "P" || place.kind == "A")
            ExpectShown(shot, client, InnerToScreen(window, place.inner), kColourOf.at(place.file),
                        place.kind + " entry " + place.key);
    // Wine's null sound device has two lines: the speakers and wave output.
    const size_t volumeAt = mainPart.find("\"volume\":");
    ASSERT_NE(volumeAt, std::string::npos);
    const std::vector<std::string> lines = {"volume0", RunningUnderWine() ? "volume1" : ""};
    for (const std::string& line : lines) {
        if (line.empty()) continue;
        const std::string part = mainPart.substr(mainPart.find("\"key\":\"" + line + "\""));
        for (const char* piece : {"slider", "label", "switch"}) {
            const auto inner = Named(part, piece);
            ASSERT_TRUE(inner) << line << " " << piece;
            ExpectShown(shot, client, InnerToScreen(window, *inner), kColourOf.at(piece), line + " " + piece);
        }
    }

    // The protected button opens the prompt: its input box, buttons and
    // pictures where check puts them.
    const auto locked =
        std::find_if(places.begin(), places.end(), [](const Place& p) { return p.file == "b1.bmp"; });
    const POINT centre = PointIn(InnerToScreen(window, locked->inner), 0.5, 0.5);
    Click(centre.x, centre.y);
    HWND prompt = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (prompt = FindWindowByCaption("VEXAL Terminal - Input")) && IsWindowVisible(prompt); },
        5s));
    const std::vector<Place> promptPlaces = Places(promptPart);
    ASSERT_EQ(promptPlaces.size(), 3u) << promptPart;
    WaitUntil(
        [&] {
            int buttons = 0;
            for (const ChildWindow& child : ChildWindows(prompt))
                buttons += child.visible && child.className == "CorvalePictureButton";
            return buttons == 2;
        },
        5s);
    ExpectChildren(prompt, promptPlaces, "B", "CorvalePictureButton");
    const auto inputBox = Named(promptPart, "inputBox");
    ASSERT_TRUE(inputBox) << promptPart;
    const std::vector<Place> box = {{"InputBox", "L", "", *inputBox}};
    ExpectChildren(prompt, box, "L", "Edit");
    const ShownScreen promptShot;
    ExpectShown(promptShot, ClientRectOnScreen(prompt), InnerToScreen(prompt, promptPlaces[2].inner),
                kColourOf.at("pp.bmp"), "the prompt's picture entry");
}

using CorvalectlNew = CorvalectlTest;

TEST_F(CorvalectlNew, WritesAStarterThemeThatIsCleanAndShowsButNeverIntoAFolderThatHoldsFiles) {
    theme_->WriteBytes("..\\taken\\keep.txt", Bytes{'k', 'e', 'e', 'p'});
    const std::string taken = theme_->Root() + "taken";
    const ProgramRun refused = Ctl({"new", taken});
    EXPECT_EQ(refused.code, 1u) << refused.out << refused.err;
    EXPECT_TRUE(Says(refused.err, "not an empty folder")) << refused.err;
    EXPECT_EQ(ReadText(theme_->RootPath() / L"taken" / L"keep.txt"), "keep");
    EXPECT_FALSE(std::filesystem::exists(theme_->RootPath() / L"taken" / L"terminal.skn"));

    const std::string folder = theme_->Root() + "mine";
    const ProgramRun made = Ctl({"new", folder});
    ASSERT_EQ(made.code, 0u) << made.out << made.err;
    const ProgramRun again = Ctl({"new", folder});
    EXPECT_EQ(again.code, 1u) << "a second run writes into the theme it made";
    const ProgramRun check = Ctl({"check", folder});
    EXPECT_EQ(check.code, 0u) << check.out;
    EXPECT_TRUE(Says(check.out, "clean: no problems found")) << check.out;

    ASSERT_EQ(Ctl({"theme", folder}).code, 0u);
    const HWND window = StartPanelAndWait();
    ASSERT_TRUE(window);
    // The starter's two buttons, to the right of its information box.
    const std::vector<Box> buttons = {InnerToScreen(window, {500, 56, 656, 84}),
                                      InnerToScreen(window, {500, 92, 656, 120})};
    EXPECT_TRUE(WaitUntil(
        [&] {
            std::vector<Box> shown;
            for (const ChildWindow& child : ChildWindows(window))
                if (child.visible && child.className == "CorvalePictureButton") shown.push_back(child.rect);
            return shown.size() == 2 && std::is_permutation(shown.begin(), shown.end(), buttons.begin());
        },
        10s));
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
        {"check", "x", "--work-area", "800"},
        {"check", ".", "--width", "800", "--work-area", "1024x738"},
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
