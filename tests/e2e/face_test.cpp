// The skinned face as a user sees it: where each entry lands, buttons that
// light up under the cursor, animated pictures, and the start-up sound.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "tests/e2e/driver.h"

namespace corvale::e2e {
namespace {

constexpr Rgb kBackground{20, 20, 20};

// The window every test here runs in: 800 x 600 skin pixels inside.
constexpr Box kWindow{100, 50, 900, 650};

class FaceTest : public PanelTest {
protected:
    static void PlaceTestWindow() { PlaceWindow(kWindow.left, kWindow.top, kWindow.right, kWindow.bottom); }
};

Canvas Solid(Rgb c) { return Canvas(8, 8, c); }

bool ShowsColour(POINT p, Rgb c) { return ScreenPixelNow(p.x, p.y) == c; }

// Waits for a colour at a point; the time it took, or nothing when it did
// not come within the limit.
std::optional<Milliseconds> TimeUntilColour(POINT p, Rgb c, Milliseconds limit) {
    const auto start = std::chrono::steady_clock::now();
    while (!ShowsColour(p, c)) {
        if (std::chrono::steady_clock::now() - start > limit) return std::nullopt;
        std::this_thread::sleep_for(5ms);
    }
    return std::chrono::duration_cast<Milliseconds>(std::chrono::steady_clock::now() - start);
}

// The corners just inside a rectangle show its colour; the points just
// outside it, where they are still on the window, do not.
void ExpectPictureAt(const ScreenShot& shot, const Box& window, const Box& b, Rgb colour,
                     const std::string& what) {
    const std::vector<POINT> inside = {
        {b.left, b.top}, {b.right - 1, b.top}, {b.left, b.bottom - 1}, {b.right - 1, b.bottom - 1}};
    for (const POINT p : inside)
        EXPECT_EQ(shot.At(p.x, p.y), colour)
            << what << " at " << b << ": inside point " << p.x << ", " << p.y;
    const std::vector<POINT> outside = {
        {b.left - 1, b.top}, {b.right, b.top}, {b.left, b.top - 1}, {b.left, b.bottom}};
    for (const POINT p : outside) {
        if (p.x < window.left || p.y < window.top || p.x >= window.right || p.y >= window.bottom) continue;
        EXPECT_NE(shot.At(p.x, p.y), colour)
            << what << " at " << b << ": outside point " << p.x << ", " << p.y;
    }
}

std::optional<ChildWindow> ChildAt(HWND window, const std::string& className, const Box& rect) {
    for (const ChildWindow& child : ChildWindows(window))
        if (child.className == className && child.rect == rect) return child;
    return std::nullopt;
}

std::string Describe(const std::vector<ChildWindow>& children) {
    std::string text;
    for (const ChildWindow& c : children) {
        std::ostringstream line;
        line << c.className << " " << c.rect << (c.visible ? "" : " hidden") << "\n";
        text += line.str();
    }
    return text;
}

// ---- Where the entries go ----------------------------------------------------

using FaceGeometry = FaceTest;

TEST_F(FaceGeometry, EveryKindOfEntryLandsAtTheRectangleItsGeometryGives) {
    const Rgb red{220, 30, 30}, green{30, 200, 60}, blue{40, 60, 230}, yellow{240, 220, 20},
        cyan{20, 210, 220}, magenta{200, 40, 200}, orange{250, 140, 10}, olive{120, 120, 0},
        teal{0, 128, 128}, purple{110, 20, 160}, boxGreen{0, 128, 0};
    theme_->WriteBmp("red.bmp", Solid(red));
    theme_->WriteBmp("green.bmp", Solid(green));
    theme_->WriteBmp("blue.bmp", Solid(blue));
    theme_->WriteBmp("yellow.bmp", Solid(yellow));
    theme_->WriteBmp("cyan.bmp", Solid(cyan));
    // Buttons show their pictures at their own size, unstretched.
    theme_->WriteBmp("button.bmp", Canvas(80, 40, magenta));
    theme_->WriteBmp("narrow.bmp", Canvas(30, 30, olive));
    theme_->WriteBmp("short.bmp", Canvas(100, 30, teal));
    theme_->WriteGif("solid.gif", {{Solid(orange), 50}, {Solid(orange), 50}});
    theme_->WriteGif("thin.gif", {{Solid(purple), 50}, {Solid(purple), 50}});
    const std::string box = "255,255,255,0,0,0,Courier New,8";
    theme_->WriteSkin("Corvale.skn", "[DEFAULT]\nBackGround=" + SkinColor(kBackground) +
                                         "\n"
                                         "01=red.bmp,P,10,10,100,50\n"
                                         "02=green.bmp,P,-200,-150,100,50\n"
                                         "03=blue.bmp,P,25%,50%,10%,10%\n"
                                         "04=yellow.bmp,P,700,0,0,40\n"
                                         "05=cyan.bmp,P,50%,-100,-20,0\n"
                                         "06=info,L,10,100,150,80," +
                                         box + "\n07=report,L,170,100,120,80," + box +
                                         "\n"
                                         "08=plain,L,-300,150,0,-400," +
                                         SkinColor(boxGreen) +
                                         ",255,255,255,Courier New,8\n"
                                         "09=button.bmp,B,300,100,80,40,none,none,False,nothing\n"
                                         "10=narrow.bmp,B,400,-500,0,30,none,none,False,nothing\n"
                                         "11=short.bmp,B,500,220,-200,30,none,none,False,nothing\n"
                                         "12=solid.gif,A,-100,250,50,50\n"
                                         "13=thin.gif,A,100,400,0,-100\n");
    PlaceTestWindow();
    const HWND window = StartPanelAndWait();
    ASSERT_TRUE(window);
    const Box client = ClientRectOnScreen(window);
    ASSERT_EQ(client, Scaled(kWindow));
    const Box gif = InnerToScreen(window, {700, 250, 750, 300});
    ASSERT_TRUE(WaitUntil(
        [&] {
            return ShowsColour({gif.left + Scaled(5), gif.top + Scaled(5)}, orange);
        },
        10s))
        << "the face was not finished";
    std::this_thread::sleep_for(300ms);

    const ScreenShot shot(client);
    ExpectPictureAt(shot, client, InnerToScreen(window, {10, 10, 110, 60}), red, "absolute picture");
    ExpectPictureAt(shot, client, InnerToScreen(window, {600, 450, 700, 500}), green,
                    "picture from the far edges");
    ExpectPictureAt(shot, client, InnerToScreen(window, {200, 300, 280, 360}), blue,
                    "picture in percentages");
    ExpectPictureAt(shot, client, InnerToScreen(window, {700, 0, 800, 40}), yellow,
                    "zero width reaching the edge");
    ExpectPictureAt(shot, client, InnerToScreen(window, {400, 500, 780, 600}), cyan,
                    "percentage and negatives");
    ExpectPictureAt(shot, client, InnerToScreen(window, {300, 100, 380, 140}), magenta, "button");
    ExpectPictureAt(shot, client, InnerToScreen(window, {500, 220, 600, 250}), teal,
                    "button short of the edge");
    ExpectPictureAt(shot, client, gif, orange, "animation from the right edge");
    // Width 0 stays 0 for buttons and animations: nothing of them shows.
    for (int x = 395; x < 410; ++x) {
        const POINT button = OnScreen(client, x, 115), animation = OnScreen(client, x - 300, 450);
        EXPECT_NE(shot.At(button.x, button.y), olive) << "zero-width button shows at x " << x;
        EXPECT_NE(shot.At(animation.x, animation.y), purple) << "zero-width animation at x " << x;
    }

    // Windowed controls are where the entries put them.
    const std::vector<ChildWindow> children = ChildWindows(window);
    EXPECT_TRUE(ChildAt(window, "Edit", InnerToScreen(window, {10, 100, 160, 180})).has_value())
        << Describe(children);
    EXPECT_TRUE(ChildAt(window, "Edit", InnerToScreen(window, {170, 100, 290, 180})).has_value());
    const std::optional<ChildWindow> plain =
        ChildAt(window, "Edit", InnerToScreen(window, {500, 150, 800, 200}));
    ASSERT_TRUE(plain.has_value()) << "text box from the far edges\n" << Describe(children);
    EXPECT_TRUE(plain->visible);
    EXPECT_EQ(plain->text, "");
    // Clear of the scroll bar on its right.
    EXPECT_EQ(shot.At(plain->rect.left + Scaled(30), plain->rect.top + plain->rect.Height() / 2), boxGreen)
        << "the text box does not show its background colour";
    const Box button = InnerToScreen(window, {300, 100, 380, 140});
    const Box narrow = InnerToScreen(window, {400, 100, 400, 130});
    const Box shortened = InnerToScreen(window, {500, 220, 600, 250});
    int buttons = 0;
    for (const ChildWindow& c : children)
        if (c.rect == button || c.rect == narrow || c.rect == shortened) ++buttons;
    EXPECT_EQ(buttons, 3) << "the buttons' own windows are not where their entries put them\n"
                          << Describe(children);
    // What the user sees agrees with Wine's own copy of the face.
    const ShownScreen shown;
    for (const POINT p : {PointIn(button, 0.5, 0.5), PointIn(plain->rect, 0.2, 0.5)})
        EXPECT_EQ(shown.At(p.x, p.y), shot.At(p.x, p.y)) << "on the X screen at " << p.x << ", " << p.y;
}

// ---- Buttons under the cursor --------------------------------------------------

using FaceHover = FaceTest;

TEST_F(FaceHover, TheHoverPictureComesOnEnteringStaysWhileRestingAndGoesWhenTheCursorLeavesTheWindow) {
    const Rgb normal{200, 40, 40}, hover{40, 200, 40}, hoverEdited{40, 40, 200}, normalEdited{230, 230, 30};
    const auto knob = [](Rgb c) { return Canvas(100, 60, c); };
    theme_->WriteBmp("knob.bmp", knob(normal));
    theme_->WriteBmp("knoba.bmp", knob(hover));
    theme_->WriteSkin("Corvale.skn", "[DEFAULT]\nBackGround=" + SkinColor(kBackground) +
                                         "\n01=knob.bmp,B,300,200,100,60,none,none,False,nothing\n");
    MoveCursor(10, 10);
    PlaceTestWindow();
    const HWND window = StartPanelAndWait();
    ASSERT_TRUE(window);
    const Box b = InnerToScreen(window, {300, 200, 400, 260});
    const POINT centre = PointIn(b, 0.5, 0.5);
    const POINT corner{b.left + Scaled(10), b.top + Scaled(10)};
    ASSERT_TRUE(WaitUntil([&] { return ShowsColour(centre, normal); }, 10s)) << "the button did not appear";
    std::this_thread::sleep_for(300ms);

    MoveCursor(centre.x, centre.y);
    const std::optional<Milliseconds> entered = TimeUntilColour(corner, hover, 250ms);
    EXPECT_TRUE(entered.has_value()) << "no hover picture within 250 ms";

    // Pictures changed on disk now would show if the button reloaded them
    // while the cursor rests on it.
    theme_->WriteBmp("knoba.bmp", knob(hoverEdited));
    theme_->WriteBmp("knob.bmp", knob(normalEdited));
    MoveCursor(centre.x + Scaled(3), centre.y + Scaled(2));
    const auto restUntil = std::chrono::steady_clock::now() + 700ms;
    while (std::chrono::steady_clock::now() < restUntil) {
        ASSERT_EQ(ScreenPixelNow(corner.x, corner.y), hover)
            << "the button changed while the cursor rested on it";
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_EQ(ShownScreen().At(corner.x, corner.y), hover) << "the X screen does not show the hover picture";

    // Off the window altogether: the normal picture is loaded afresh.
    MoveCursor(Scaled(kWindow.right + 50), Scaled(kWindow.bottom + 50));
    const std::optional<Milliseconds> left = TimeUntilColour(corner, normalEdited, 250ms);
    EXPECT_TRUE(left.has_value()) << "the normal picture did not come back within 250 ms; showing "
                                  << ScreenPixelNow(corner.x, corner.y);
}

// ---- Animated pictures -----------------------------------------------------------

using FaceAnimation = FaceTest;

struct ColourRun {
    Rgb colour;
    Milliseconds length;
};

// The colours a point shows over a while, as runs of one colour.
std::vector<ColourRun> WatchColours(POINT p, Milliseconds span) {
    std::vector<ColourRun> runs;
    const auto start = std::chrono::steady_clock::now();
    auto runStart = start;
    Rgb current = ScreenPixelNow(p.x, p.y);
    for (auto now = start; now - start < span; now = std::chrono::steady_clock::now()) {
        const Rgb seen = ScreenPixelNow(p.x, p.y);
        if (seen != current) {
            runs.push_back({current, std::chrono::duration_cast<Milliseconds>(now - runStart)});
            current = seen;
            runStart = now;
        }
        std::this_thread::sleep_for(2ms);
    }
    return runs;
}

TEST_F(FaceAnimation, AThreeFrameGifShowsItsColoursInOrderEachForItsOwnTime) {
    const Rgb red{230, 20, 20}, green{20, 230, 20}, blue{20, 20, 230};
    theme_->WriteGif("lights.gif", {{Solid(red), 10}, {Solid(green), 20}, {Solid(blue), 30}});
    theme_->WriteSkin("Corvale.skn", "[DEFAULT]\nBackGround=" + SkinColor(kBackground) +
                                         "\n01=lights.gif,A,300,200,60,60\n");
    PlaceTestWindow();
    const HWND window = StartPanelAndWait();
    ASSERT_TRUE(window);
    const POINT centre = PointIn(InnerToScreen(window, {300, 200, 360, 260}), 0.5, 0.5);
    ASSERT_TRUE(WaitUntil([&] { return ShowsColour(centre, red); }, 10s)) << "the animation did not appear";

    // Frames reach the X screen too, not only Wine's copy of the window.
    std::set<std::uint32_t> shownFrames;
    for (int i = 0; i < 12 && shownFrames.size() < 2; ++i) {
        const Rgb c = ShownScreen().At(centre.x, centre.y);
        ASSERT_TRUE(c == red || c == green || c == blue) << "the X screen shows no frame but " << c;
        shownFrames.insert((std::uint32_t(c.r) << 16) | (std::uint32_t(c.g) << 8) | c.b);
    }
    EXPECT_GE(shownFrames.size(), 2U) << "the X screen showed only one frame";

    const std::vector<ColourRun> runs = WatchColours(centre, 3s);
    const std::map<std::uint32_t, Rgb> next = {{0xE61414, green}, {0x14E614, blue}, {0x1414E6, red}};
    auto key = [](Rgb c) { return (std::uint32_t(c.r) << 16) | (std::uint32_t(c.g) << 8) | c.b; };
    std::map<std::uint32_t, std::vector<Milliseconds>> lengths;
    ASSERT_GE(runs.size(), 6u) << "the frames did not change often enough";
    // The first run started before the watch did.
    for (size_t i = 1; i < runs.size(); ++i) {
        ASSERT_TRUE(next.count(key(runs[i].colour))) << "a colour that is no frame: " << runs[i].colour;
        if (i + 1 < runs.size()) {
            EXPECT_EQ(runs[i + 1].colour, next.at(key(runs[i].colour)))
                << "frame " << runs[i].colour << " was followed by " << runs[i + 1].colour;
        }
        lengths[key(runs[i].colour)].push_back(runs[i].length);
    }
    const std::map<std::uint32_t, Milliseconds> own = {
        {0xE61414, 100ms}, {0x14E614, 200ms}, {0x1414E6, 300ms}};
    for (const auto& [colour, times] : lengths) {
        std::vector<Milliseconds> sorted = times;
        std::sort(sorted.begin(), sorted.end());
        const Milliseconds median = sorted[sorted.size() / 2];
        const Milliseconds expected = own.at(colour);
        EXPECT_GE(median, expected * 7 / 10) << "frame " << std::hex << colour << " shows too briefly";
        EXPECT_LE(median, expected * 14 / 10 + 30ms) << "frame " << std::hex << colour << " shows too long";
    }
}

Bytes ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::filesystem::path> FolderListing(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(FaceAnimation, ATmpGifOfTheUsersInTheCurrentFolderIsLeftAsItWas) {
    const Rgb amber{250, 180, 0}, violet{150, 40, 220};
    theme_->WriteGif("spin.gif", {{Solid(amber), 10}, {Solid(violet), 10}});
    // The program runs in the theme folder.
    const Bytes users = EncodeGif({{Canvas(4, 4, Rgb{1, 2, 3}), 5}});
    theme_->WriteBytes("tmp.gif", users);
    theme_->WriteSkin("Corvale.skn", "[DEFAULT]\nBackGround=" + SkinColor(kBackground) +
                                         "\n01=spin.gif,A,300,200,60,60\n02=spin.gif,A,400,200,60,60\n");
    const std::filesystem::path folder = theme_->RootPath() / L"theme";
    const std::vector<std::filesystem::path> before = FolderListing(folder);
    PlaceTestWindow();
    const HWND window = StartPanelAndWait();
    ASSERT_TRUE(window);
    const POINT second = PointIn(InnerToScreen(window, {400, 200, 460, 260}), 0.5, 0.5);
    ASSERT_TRUE(WaitUntil([&] { return ShowsColour(second, violet); }, 10s)) << "the animations do not run";

    EXPECT_EQ(ReadAll(folder / L"tmp.gif"), users);
    EXPECT_EQ(FolderListing(folder), before);
}

// ---- The start-up sound --------------------------------------------------------------

class FaceStartupSound : public FaceTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(FaceStartupSound, PlaysWithoutAMessageAndWithoutHoldingUpTheStart) {
    const Rgb marker{10, 200, 240};
    constexpr auto kSoundLength = 6s;
    theme_->WriteWav("welcome.wav", static_cast<int>(Milliseconds(kSoundLength).count()), 440);
    theme_->WriteBmp("marker.bmp", Solid(marker));
    theme_->WriteSkin("terminal.skn", std::string("[DEFAULT]\nSound=True\nMultiple=") + GetParam() + "\n");
    theme_->WriteSkin("Corvale.skn", "[DEFAULT]\nBackGround=" + SkinColor(kBackground) +
                                         "\nStartupSound=welcome\n01=marker.bmp,P,300,200,60,60\n");
    PlaceTestWindow();
    const auto start = std::chrono::steady_clock::now();
    Panel& panel = StartPanel();
    ASSERT_TRUE(panel.WaitForWindow());
    const POINT centre{kWindow.left + 330, kWindow.top + 230};
    ASSERT_TRUE(WaitUntil([&] { return ShowsColour(centre, marker); }, 10s)) << "the face was not built";
    const auto built = std::chrono::duration_cast<Milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_LT(built, Milliseconds(kSoundLength) / 2) << "the start waited for the sound";

    const std::filesystem::path sound = theme_->RootPath() / L"theme" / L"welcome.wav";
    EXPECT_TRUE(WaitUntil([&] { return FileHeldOpen(sound); }, 2s)) << "the start-up sound is not playing";
    // Nothing but the main window shows while the sound plays.
    const auto watchUntil = start + 3s;
    while (std::chrono::steady_clock::now() < watchUntil) {
        ASSERT_EQ(VisibleTopLevelWindows(panel.ProcessId()).size(), 1u)
            << "a second window (a message?) showed";
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_TRUE(panel.Running());
    // Once it has ended nothing keeps the file open. (Wine's null sound
    // device takes the sound faster than it would sound, so how long it
    // plays tells nothing.)
    EXPECT_TRUE(WaitUntil([&] { return !FileHeldOpen(sound); }, kSoundLength))
        << "the sound's file is still open after its end";
}

INSTANTIATE_TEST_SUITE_P(SingleAndMultiple, FaceStartupSound, ::testing::Values("False", "True"));

}  // namespace
}  // namespace corvale::e2e
