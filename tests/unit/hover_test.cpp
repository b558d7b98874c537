// Button hover: the cursor globals, entering and leaving, edge lines,
// overlapping buttons and missing pictures.
#include <gtest/gtest.h>

#include "skin/hover.h"
#include "tests/unit/skin_scene.h"

namespace corvale {
namespace {

using fake::FakeControl;
using test::SkinScene;

TEST(Hover_PicturePath, InsertsAnABeforeTheLastFourCharacters) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\P\\T\\Exit.bmp", "C:\\P\\T\\Exita.bmp"},
        {"btn01.gif", "btn01a.gif"},
        {".bmp", "a.bmp"},
        {"x.jpeg", "x.ajpeg"},
        {"bmp", ""},
        // Characters, not bytes: the last four here are "öüßé".
        {"Knopf.öüßé", "Knopf.aöüßé"},
    };
    for (const auto& [picture, hover] : cases) EXPECT_EQ(HoverPicturePath(picture), hover) << picture;
}

TEST(Hover_TrackCursor, GivesPixelsFromTheWindowCornerAndTheWindowUnderTheCursor) {
    struct Case {
        double left, top;  // the window's, in twips
        Point cursor;
        long x, y;
    };
    const Case cases[] = {
        {1500, 750, {130, 70}, 30, 20},
        {1510, 764, {130, 70}, 30, 20},    // 100.7 and 50.9 pixels: the division truncates
        {1522.5, 750, {130, 70}, 29, 20},  // 1522.5 twips rounds to 1522, then 101 pixels
        {-20, -44, {5, 5}, 6, 7},          // toward zero: -1 and -2 pixels
        {0, 0, {-3, 4}, -3, 4},
    };
    for (const Case& c : cases) {
        SkinScene scene;
        scene.form.left = c.left;
        scene.form.top = c.top;
        scene.os.toolkit.cursor = c.cursor;
        scene.os.toolkit.windowFromPoint = [&](Point p) {
            return p.x == c.cursor.x && p.y == c.cursor.y ? 4242u : 1u;
        };
        TrackCursor(scene.ctx, scene.form);
        EXPECT_EQ(scene.ctx.g.CursorX, c.x) << c.left;
        EXPECT_EQ(scene.ctx.g.CursorY, c.y) << c.top;
        EXPECT_EQ(scene.ctx.g.HoverHwnd, 4242u);
    }
}

class HoverTest : public ::testing::Test, public SkinScene {
protected:
    void SetUp() override {
        form.left = 1500;  // 100 pixels
        form.top = 750;    // 50 pixels
        form.shown = true;
        for (const char* name : {"b1", "b1a", "b2", "b2a"})
            os.toolkit.pictureFiles[std::string("C:\\P\\T\\") + name + ".bmp"] = {40, 20};
        for (const char* sound : {"in1", "in2"}) {
            const std::string shortName = std::string("C:\\P\\T\\") + sound + ".wav";
            os.sound.shortPaths[shortName] = shortName;
            os.files.Put(shortName, std::vector<std::uint8_t>(10, 1));
        }
        Layout({"01=b1.bmp,B,10,10,40,20,in1,c1,0,one", "02=b2.bmp,B,30,10,40,20,in2,c2,0,two"});
        Build();
    }
    // Moves the cursor to (x, y) of the window and runs the update.
    void MoveTo(long x, long y) {
        os.toolkit.cursor = {100 + x, 50 + y};
        UpdateButtonHover(ctx, form, lists);
    }
    FakeControl& Button(int i) { return *Get(ControlArray::imgBut, i); }
    bool Hovered(int i) { return Button(i).backColor == 0; }
    std::string Shows(int i) { return fake::PictureSource(Button(i).picture); }
    size_t Plays() const { return os.sound.played.size(); }
};

TEST_F(HoverTest, EnteringPlaysOnceMovingWithinDoesNothingAndReentryPlaysAgain) {
    MoveTo(5, 5);
    EXPECT_FALSE(Hovered(1));
    EXPECT_EQ(Plays(), 0u);

    MoveTo(20, 15);
    EXPECT_TRUE(Hovered(1));
    EXPECT_EQ(Shows(1), "C:\\P\\T\\b1a.bmp");
    EXPECT_EQ(os.sound.played, std::vector<std::string>{"simple C:\\P\\T\\in1.wav"});
    const int loads = Button(1).pictureLoads;

    MoveTo(25, 16);
    MoveTo(25, 16);
    EXPECT_EQ(Plays(), 1u);
    EXPECT_EQ(Button(1).pictureLoads, loads);

    MoveTo(5, 15);
    EXPECT_FALSE(Hovered(1));
    EXPECT_EQ(Button(1).backColor, 0xFFFFFFu);
    EXPECT_EQ(Shows(1), "C:\\P\\T\\b1.bmp");
    EXPECT_EQ(Plays(), 1u);

    MoveTo(20, 15);
    EXPECT_EQ(Plays(), 2u);
}

TEST_F(HoverTest, TheEdgeLinesNeitherEnterNorLeave) {
    // Button 1 spans 10..50 across and 10..30 down.
    for (const Point p : {Point{10, 15}, Point{20, 10}, Point{10, 10}}) {
        MoveTo(p.x, p.y);
        EXPECT_FALSE(Hovered(1)) << p.x << "," << p.y;
    }
    MoveTo(20, 15);
    ASSERT_TRUE(Hovered(1));
    for (const Point p : {Point{10, 15}, Point{20, 30}, Point{10, 30}, Point{20, 10}}) {
        MoveTo(p.x, p.y);
        EXPECT_TRUE(Hovered(1)) << p.x << "," << p.y;
    }
    MoveTo(9, 15);
    EXPECT_FALSE(Hovered(1));
    EXPECT_EQ(Plays(), 1u);
}

TEST_F(HoverTest, WithinTheRectangleButOverAnotherWindowTheStateIsKept) {
    os.toolkit.windowFromPoint = [](Point) { return WindowHandle{999}; };
    MoveTo(20, 15);
    EXPECT_FALSE(Hovered(1));
    os.toolkit.windowFromPoint = nullptr;
    MoveTo(20, 15);
    ASSERT_TRUE(Hovered(1));
    os.toolkit.windowFromPoint = [](Point) { return WindowHandle{999}; };
    MoveTo(20, 15);
    EXPECT_TRUE(Hovered(1));
}

TEST_F(HoverTest, WhereButtonsOverlapTheOneUnderTheCursorEntersAndTheOtherKeepsItsState) {
    // Button 2 (30..70) lies over button 1 (10..50) where both reach.
    MoveTo(40, 15);
    EXPECT_FALSE(Hovered(1));
    EXPECT_TRUE(Hovered(2));
    MoveTo(20, 15);
    EXPECT_TRUE(Hovered(1));
    EXPECT_FALSE(Hovered(2));
    MoveTo(40, 15);
    EXPECT_TRUE(Hovered(1));
    EXPECT_TRUE(Hovered(2));
    const std::vector<std::string> played = {"simple C:\\P\\T\\in2.wav", "simple C:\\P\\T\\in1.wav",
                                             "simple C:\\P\\T\\in2.wav"};
    EXPECT_EQ(os.sound.played, played);
}

TEST_F(HoverTest, AMissingHoverPictureLeavesTheNormalOneAndTheOthersGoOn) {
    os.toolkit.pictureFiles.erase("C:\\P\\T\\b1a.bmp");
    MoveTo(20, 15);
    EXPECT_TRUE(Hovered(1));
    EXPECT_EQ(Shows(1), "C:\\P\\T\\b1.bmp");
    EXPECT_EQ(Plays(), 1u);
    MoveTo(60, 15);  // leaves 1, enters 2 in the same update
    EXPECT_FALSE(Hovered(1));
    EXPECT_TRUE(Hovered(2));
    EXPECT_EQ(Shows(2), "C:\\P\\T\\b2a.bmp");
}

TEST_F(HoverTest, AMissingNormalPictureLeavesNoHoverLookBehind) {
    MoveTo(20, 15);
    ASSERT_EQ(Shows(1), "C:\\P\\T\\b1a.bmp");
    os.toolkit.pictureFiles.erase("C:\\P\\T\\b1.bmp");
    MoveTo(5, 5);
    EXPECT_FALSE(Hovered(1));
    EXPECT_EQ(Button(1).picture, nullptr);
}

TEST_F(HoverTest, WithoutButtonsOnlyTheCursorIsTracked) {
    SkinLists none;
    os.toolkit.journal.clear();
    os.toolkit.cursor = {177, 88};
    UpdateButtonHover(ctx, form, none);
    EXPECT_EQ(ctx.g.CursorX, 77);
    EXPECT_EQ(ctx.g.CursorY, 38);
    EXPECT_TRUE(os.toolkit.journal.empty());
    EXPECT_EQ(Plays(), 0u);
}

TEST_F(HoverTest, APromptWindowHoversItsOwnButtons) {
    test::SceneEvents promptEvents;
    auto prompt = os.toolkit.CreateForm(FormKind::Input, promptEvents);
    auto& input = static_cast<fake::FakeForm&>(*prompt);
    input.left = 3000;  // 200 pixels
    input.top = 1500;   // 100 pixels
    input.scaleWidth = 300;
    input.scaleHeight = 100;
    input.shown = true;
    os.profile.SetFile("C:\\P\\T\\Terminal.skn", "[INPUT]\n01=b2.bmp,B,5,5,40,20,in2,c2,0,OK\n");
    SkinLists promptLists;
    BuildSkinLayout(ctx, input, "INPUT", promptLists, false, 0, "C:\\P\\T\\Terminal.skn");

    const WindowHandle okButton = input.Get(ControlArray::imgBut, 1)->Handle();
    os.toolkit.windowFromPoint = [okButton](Point) { return okButton; };  // the prompt lies on top
    os.toolkit.cursor = {200 + 10, 100 + 10};
    UpdateButtonHover(ctx, input, promptLists);
    EXPECT_EQ(input.Get(ControlArray::imgBut, 1)->backColor, 0u);
    EXPECT_EQ(os.sound.played, std::vector<std::string>{"simple C:\\P\\T\\in2.wav"});
    EXPECT_FALSE(Hovered(1));
    EXPECT_FALSE(Hovered(2));
}

}  // namespace
}  // namespace corvale
