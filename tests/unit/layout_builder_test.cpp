// The layout builder: cutting entries, numbers and geometry, the override
// file, colours, button lists, pacing and the skip-and-keep failure rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "base/values.h"
#include "skin/layout_builder.h"
#include "skin/layout_fields.h"
#include "tests/unit/skin_scene.h"

namespace corvale {
namespace {

using fake::FakeControl;
using test::SkinScene;
using Field = std::optional<std::string>;

// Cuts `value` as an entry with `middle` fields between the kind and the last.
std::vector<Field> Cut(const std::string& value, int middle) {
    EntryCutter cutter(value);
    std::vector<Field> fields{cutter.File(), cutter.Kind()};
    for (int i = 0; i < middle; ++i) fields.push_back(cutter.Next());
    fields.push_back(cutter.Rest());
    return fields;
}

TEST(LayoutFields_EntryCutter, CutsFieldsAsTheSkinsHaveAlwaysBeenRead) {
    const Field none;
    struct Case {
        const char* value;
        int middle;
        std::vector<Field> expected;
    };
    const Case cases[] = {
        {"b1.bmp,B,5,5,40,20,in.wav,click.wav,0,notepad.exe a,b",
         7,
         {"b1.bmp", "B", "5", "5", "40", "20", "in.wav", "click.wav", "0", "notepad.exe a,b"}},
        {"bar.bmp,P,50%,0,50%,0", 3, {"bar.bmp", "P", "50%", "0", "50%", "0"}},
        // Fields are not trimmed.
        {" a , B ,1 ,2", 1, {" a ", " B ", "1 ", "2"}},
        // A button without a tenth field: the missing comma leads back to
        // the start, and the command is the whole value.
        {"b.bmp,B,5,5,40,20,in,out,0",
         7,
         {"b.bmp", "B", "5", "5", "40", "20", "in", "out", none, "b.bmp,B,5,5,40,20,in,out,0"}},
        // Too few fields: a read past the last comma fails, and the next
        // one starts again at the beginning of the value.
        {"b.bmp,B,5,5", 7, {"b.bmp", "B", "5", none, "b.bmp", "B", "5", none, "b.bmp", "B,5,5"}},
        // No comma at all: neither file nor kind can be cut.
        {"junk", 3, {none, none, none, none, none, "junk"}},
        {"a,B", 3, {"a", none, "a", none, "a", "B"}},
        {"", 1, {none, none, none, ""}},
        // An empty field 3 is read as empty but swallows the next field.
        {"a,B,,2,3,4", 3, {"a", "B", "", "3", none, "a,B,,2,3,4"}},
        // An empty later field reads up to the comma after the next one.
        {"a,B,1,,3,4", 3, {"a", "B", "1", ",3", none, "a,B,1,,3,4"}},
        // An empty kind is read as empty, not as missing.
        {"a,,L,1,2", 2, {"a", "", "1", none, "a,,L,1,2"}},
        {",P,1,2,3,4", 3, {"", "P", "1", "2", "3", "4"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Cut(c.value, c.middle), c.expected) << c.value;
}

TEST(LayoutFields_Numbers, IntegersRoundHalvesToEvenAndMustFit32Bits) {
    const std::pair<Field, std::optional<long>> cases[] = {
        {"10", 10},
        {" 7px", 7},
        {"2.5", 2},
        {"3.5", 4},
        {"-2.5", -2},
        {"abc", 0},
        {"", 0},
        {"&H10", 16},
        {"2147483647", 2147483647L},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"1e12", std::nullopt},
        {std::nullopt, std::nullopt},
    };
    for (const auto& [field, expected] : cases)
        EXPECT_EQ(FieldInteger(field), expected) << field.value_or("(none)");
}

TEST(LayoutFields_Numbers, PercentagesAreAShareOfTheWholeAndOnlyWithATrailingSign) {
    const std::tuple<Field, int, std::optional<long>> cases[] = {
        {"50%", 800, 400}, {"12.5%", 100, 12}, {"13.5%", 100, 14}, {"-10%", 600, -60},
        {"50", 800, 50},   {"50% ", 800, 50},  {"%", 800, 0},      {std::nullopt, 800, std::nullopt},
    };
    for (const auto& [field, whole, expected] : cases)
        EXPECT_EQ(FieldPercent(field, whole), expected) << field.value_or("(none)") << " of " << whole;
}

TEST(LayoutFields_Colours, ComponentsAre16BitSignedThenLimitedToAByte) {
    const std::tuple<double, double, double, std::optional<Color>> cases[] = {
        {10, 20, 30, Rgb(10, 20, 30)},      {255, 255, 255, 0xFFFFFFu},        {300, 0, -5, Rgb(255, 0, 0)},
        {32767, -32768, 0, Rgb(255, 0, 0)}, {32768, 0, 0, std::nullopt},       {0, -32769, 0, std::nullopt},
        {0, 0, 1e300, std::nullopt},        {127.5, 0.5, 1.5, Rgb(128, 0, 2)},
    };
    for (const auto& [r, g, b, expected] : cases)
        EXPECT_EQ(SkinColor(r, g, b), expected) << r << "," << g << "," << b;
}

TEST(LayoutBuilder_Paths, TheOverrideFileTakesIniForTheLastThreeCharacters) {
    EXPECT_EQ(OverrideFilePath("C:\\P\\T\\Corvale.skn"), "C:\\P\\T\\Corvale.ini");
    EXPECT_EQ(OverrideFilePath("C:\\P\\T\\Corvale1024.SKN"), "C:\\P\\T\\Corvale1024.ini");
    EXPECT_EQ(OverrideFilePath("abc"), "ini");
    EXPECT_EQ(OverrideFilePath("ab"), "");
}

class LayoutBuilderTest : public ::testing::Test, public SkinScene {
protected:
    FakeControl& Made(ControlArray array, int index) {
        FakeControl* control = Get(array, index);
        if (!control) throw std::runtime_error("control not made");
        return *control;
    }
    static std::vector<long> RectOf(const FakeControl& c) { return {c.left, c.top, c.width, c.height}; }
};

TEST_F(LayoutBuilderTest, TheFirstMissingNumberEndsTheList) {
    Layout({"01=a.bmp,P,1,1,1,1", "02=b.bmp,P,2,2,2,2", "04=c.bmp,P,3,3,3,3", "BackGround=1,2,3"});
    Build();
    EXPECT_NE(Get(ControlArray::imgPic, 1), nullptr);
    EXPECT_NE(Get(ControlArray::imgPic, 2), nullptr);
    EXPECT_EQ(Get(ControlArray::imgPic, 3), nullptr);
    EXPECT_EQ(os.toolkit.doEventsCount, 2);
}

TEST_F(LayoutBuilderTest, TheOverrideReplacesEntriesButAddsNone) {
    Layout({"01=a.bmp,P,1,1,10,10", "02=b.bmp,P,2,2,20,20"});
    Layout({"02=b.bmp,P,5,6,7,8", "03=c.bmp,P,3,3,3,3"}, kOverride);
    Build();
    EXPECT_EQ(RectOf(Made(ControlArray::imgPic, 1)), (std::vector<long>{1, 1, 10, 10}));
    EXPECT_EQ(RectOf(Made(ControlArray::imgPic, 2)), (std::vector<long>{5, 6, 7, 8}));
    EXPECT_EQ(Get(ControlArray::imgPic, 3), nullptr);
}

TEST_F(LayoutBuilderTest, GeometryRulesDependOnTheKind) {
    struct Case {
        const char* entry;
        ControlArray array;
        std::vector<long> expected;  // Left, Top, Width, Height in an 800 x 600 window
    };
    const Case cases[] = {
        {"x,L,10,10,0,0,0,0,0,0,0,0,Arial,9", ControlArray::txtBox, {10, 10, 790, 590}},
        {"x,L,-100,-50,-10,-20,0,0,0,0,0,0,Arial,9", ControlArray::txtBox, {700, 550, 90, 30}},
        {"x,L,10.5,11.5,20.5,0,0,0,0,0,0,0,Arial,9", ControlArray::txtBox, {10, 12, 20, 588}},
        {"b.bmp,B,5,5,0,0,,,0,cmd", ControlArray::imgBut, {5, 5, 0, 0}},
        {"b.bmp,B,5,5,-10,-10,,,0,cmd", ControlArray::imgBut, {5, 5, 785, 585}},
        {"b.bmp,B,-100,-100,50%,10,,,0,cmd", ControlArray::imgBut, {700, 500, 50, 10}},
        {"bar.bmp,P,50%,0,50%,0", ControlArray::imgPic, {400, 0, 400, 600}},
        {"bar.bmp,P,25%,10%,-10,50%", ControlArray::imgPic, {200, 60, 590, 300}},
        {"bar.bmp,P,-10%,0,0,-10%", ControlArray::imgPic, {720, 0, 80, 540}},
    };
    for (const Case& c : cases) {
        SkinScene scene;
        scene.Layout({std::string("01=") + c.entry});
        scene.Build();
        FakeControl* made = scene.Get(c.array, 1);
        ASSERT_NE(made, nullptr) << c.entry;
        EXPECT_EQ(RectOf(*made), c.expected) << c.entry;
    }
}

TEST_F(LayoutBuilderTest, TheClientSizeIsReadWhenTheEntryIsBuilt) {
    Layout({"01=a.bmp,P,0,0,0,0", "02=b.bmp,P,0,0,0,0"});
    os.toolkit.onDoEvents = [this] { form.scaleWidth = 400; };
    Build();
    EXPECT_EQ(Made(ControlArray::imgPic, 1).width, 800);
    EXPECT_EQ(Made(ControlArray::imgPic, 2).width, 400);
}

TEST_F(LayoutBuilderTest, ATextBoxGetsItsPropertiesInOrder) {
    Layout({"01=ignored,L,1,2,3,4,10,20,30,255,128,0,Arial,9"});
    Build();
    const fake::Journal expected = {
        "create txtBox(1)",
        "set txtBox(1).Left 1",
        "set txtBox(1).Width 3",
        "set txtBox(1).Top 2",
        "set txtBox(1).Height 4",
        "set txtBox(1).BackColor " + std::to_string(Rgb(10, 20, 30)),
        "set txtBox(1).ForeColor " + std::to_string(Rgb(255, 128, 0)),
        "set txtBox(1).FontName Arial",
        "set txtBox(1).FontSize 9.000000",
        "set txtBox(1).Text ",
        "set txtBox(1).Enabled True",
        "set txtBox(1).Visible True",
        "doevents",
    };
    EXPECT_EQ(os.toolkit.journal, expected);
}

TEST_F(LayoutBuilderTest, AStillPictureIsDisabledStretchedAndShown) {
    os.toolkit.pictureFiles["C:\\P\\T\\bar.bmp"] = {10, 10};
    Layout({"01=bar.bmp,P,1,2,3,4"});
    Build();
    const FakeControl& picture = Made(ControlArray::imgPic, 1);
    EXPECT_FALSE(picture.enabled);
    EXPECT_TRUE(picture.stretch);
    EXPECT_TRUE(picture.visible);
    EXPECT_EQ(fake::PictureSource(picture.picture), "C:\\P\\T\\bar.bmp");
}

TEST_F(LayoutBuilderTest, AButtonFillsItsListsAndTheCountersContinue) {
    lists.ButtonCount = 2;
    lists.ButtonPicture = {"", "one", "two"};
    lists.ButtonCommand = {"", "c1", "c2"};
    lists.ButtonClickSound = {"", "k1", "k2"};
    lists.ButtonHoverSound = {"", "h1", "h2"};
    lists.ButtonEntry = {0, 1, 2};
    os.toolkit.pictureFiles["C:\\P\\T\\b1.bmp"] = {40, 20};
    Layout({"01=x,L,0,0,0,0,0,0,0,0,0,0,Arial,9", "02=b1.bmp,B,5,5,40,20,in.wav,click.wav,0,notepad.exe a,b",
            "03=b2.bmp,B,1,1,1,1,,,True,QUIT"});
    Build();

    EXPECT_EQ(lists.ButtonCount, 4);
    EXPECT_EQ(lists.ButtonPicture,
              (std::vector<std::string>{"", "one", "two", "C:\\P\\T\\b1.bmp", "C:\\P\\T\\b2.bmp"}));
    // Empty sound fields shift the later ones: the hover sound reads up to the
    // comma after the next, and the missing tenth field gives the whole value.
    EXPECT_EQ(lists.ButtonCommand,
              (std::vector<std::string>{"", "c1", "c2", "notepad.exe a,b", "b2.bmp,B,1,1,1,1,,,True,QUIT"}));
    EXPECT_EQ(lists.ButtonHoverSound, (std::vector<std::string>{"", "h1", "h2", "in.wav", ","}));
    EXPECT_EQ(lists.ButtonClickSound, (std::vector<std::string>{"", "k1", "k2", "click.wav", "True"}));
    EXPECT_EQ(lists.ButtonEntry, (std::vector<long>{0, 1, 2, 2, 3}));

    const FakeControl& first = Made(ControlArray::imgBut, 3);
    EXPECT_EQ(RectOf(first), (std::vector<long>{5, 5, 40, 20}));
    EXPECT_EQ(fake::PictureSource(first.picture), "C:\\P\\T\\b1.bmp");
    EXPECT_EQ(first.backColor, 0xFFFFFFu);  // the template's, the mark of the normal state
    // A picture that does not load: still made, placed, shown and listed.
    const FakeControl& second = Made(ControlArray::imgBut, 4);
    EXPECT_TRUE(second.visible);
    EXPECT_EQ(second.picture, nullptr);
    EXPECT_EQ(Get(ControlArray::imgBut, 1), nullptr);
}

TEST_F(LayoutBuilderTest, AButtonIsShownBeforeItIsPlaced) {
    Layout({"01=b.bmp,B,5,6,7,8,,,0,x"});
    Build();
    const auto& j = os.toolkit.journal;
    const auto visible = std::find(j.begin(), j.end(), "set imgBut(1).Visible True");
    const auto left = std::find(j.begin(), j.end(), "set imgBut(1).Left 5");
    ASSERT_NE(visible, j.end());
    ASSERT_NE(left, j.end());
    EXPECT_LT(visible, left);
}

TEST_F(LayoutBuilderTest, AnEntryWithoutTwoCommasIsBuiltAsTheKindBeforeIt) {
    Layout({"01=junk", "02=a.bmp,B,1,2,3,4,in,out,0,cmd", "03=again", "04=x,L,5,5,5,5,0,0,0,0,0,0,Arial,9"});
    Build();
    // The first creates nothing, having no kind before it.
    EXPECT_EQ(lists.ButtonCount, 2);
    EXPECT_EQ(Get(ControlArray::txtBox, 2), nullptr);
    // The third is a second button with what was read before: the same file
    // and rectangle, empty sounds, and the whole value for its command.
    EXPECT_EQ(RectOf(Made(ControlArray::imgBut, 2)), (std::vector<long>{1, 2, 3, 4}));
    EXPECT_EQ(lists.ButtonPicture[2], "C:\\P\\T\\a.bmp");
    EXPECT_EQ(lists.ButtonCommand[2], "again");
    EXPECT_EQ(lists.ButtonHoverSound[2], "");
    EXPECT_EQ(lists.ButtonEntry[2], 3);
    EXPECT_NE(Get(ControlArray::txtBox, 1), nullptr);
}

TEST_F(LayoutBuilderTest, AKindThatIsNotExactlyOneOfTheFourCreatesNothing) {
    Layout({"01=a.bmp,b,1,1,1,1,,,0,x", "02=a.bmp, B,1,1,1,1,,,0,x", "03=a.bmp,Q,1,1,1,1",
            "04=a.bmp,,1,1,1,1", "05=a.bmp,B,1,1,1,1,,,0,x"});
    Build();
    EXPECT_EQ(lists.ButtonCount, 1);
    EXPECT_EQ(lists.ButtonEntry, (std::vector<long>{0, 5}));
    EXPECT_EQ(Get(ControlArray::imgPic, 1), nullptr);
    EXPECT_EQ(os.toolkit.doEventsCount, 5);
}

TEST_F(LayoutBuilderTest, AValueThatCannotBeReadKeepsWhatWasReadBefore) {
    Layout({"01=x,L,10,20,30,40,1,2,3,4,5,6,Arial,9",
            // Left too large for 32 bits, a red out of 16-bit range, a font
            // name and a size the box refuses.
            "02=x,L,1e12,21,0,41,40000,2,3,4,5,6,Nofont,0",
            // Fewer fields than a text box has: a read past the last comma
            // fails, and the ones after it start over from the value's start.
            "03=x,L,11,22"});
    FakeControl::knownFonts = {"Arial"};
    Build();
    FakeControl::knownFonts.clear();

    const FakeControl& second = Made(ControlArray::txtBox, 2);
    EXPECT_EQ(second.left, 10);  // the first entry's
    EXPECT_EQ(second.top, 21);
    EXPECT_EQ(second.width, 790);
    EXPECT_EQ(second.height, 41);
    // What the box refuses stays as its template made it.
    EXPECT_EQ(second.backColor, 0xFFFFFFu);
    EXPECT_EQ(second.foreColor, Rgb(4, 5, 6));
    EXPECT_EQ(second.fontName, "Courier New");
    EXPECT_DOUBLE_EQ(second.fontSize, 10);

    const FakeControl& third = Made(ControlArray::txtBox, 3);
    EXPECT_EQ(third.left, 11);
    EXPECT_EQ(third.top, 21);  // the second entry's
}

TEST_F(LayoutBuilderTest, TextBoxesAndPicturesAreNumberedAfreshInEveryCall) {
    Layout({"01=a.bmp,P,1,1,1,1", "02=b.bmp,B,1,1,1,1,,,0,x"});
    Build();
    Layout({"01=a.bmp,P,2,2,2,2", "02=b.bmp,B,2,2,2,2,,,0,y"});
    Build();
    // The second call's picture is element 1 again, which exists: nothing
    // new is made and the first keeps its place. Buttons go on counting.
    EXPECT_EQ(Made(ControlArray::imgPic, 1).left, 1);
    EXPECT_EQ(Get(ControlArray::imgPic, 2), nullptr);
    EXPECT_EQ(lists.ButtonCount, 2);
    EXPECT_EQ(Made(ControlArray::imgBut, 2).left, 2);
}

TEST_F(LayoutBuilderTest, PacingSleepsAfterEachEntryOnlyWhenAnimatedAndAlwaysLetsEventsRun) {
    std::vector<std::string> lines;
    for (int n = 1; n <= 20; ++n) lines.push_back(TwoDigitKey(n) + "=a.bmp,P,1,1,1,1");
    Layout(lines);
    Build(true, 50);
    EXPECT_GE(os.toolkit.now, 1000);
    EXPECT_EQ(os.toolkit.doEventsCount, 20);
    const auto& j = os.toolkit.journal;
    for (int n = 1; n <= 20; ++n) {
        const auto visible =
            std::find(j.begin(), j.end(), "set imgPic(" + std::to_string(n) + ").Visible True");
        ASSERT_LT(visible + 2, j.end());
        EXPECT_EQ(*(visible + 1), "sleep 50");
        EXPECT_EQ(*(visible + 2), "doevents");
    }

    SkinScene quick;
    quick.Layout(lines);
    quick.Build(false, 50);
    EXPECT_EQ(quick.os.toolkit.sleptMs, 0);
    EXPECT_EQ(quick.os.toolkit.doEventsCount, 20);
}

TEST_F(LayoutBuilderTest, ANegativePauseDoesNotBlock) {
    Layout({"01=a.bmp,P,1,1,1,1"});
    Build(true, -1);
    EXPECT_EQ(os.toolkit.sleptMs, 0);
}

}  // namespace
}  // namespace corvale
