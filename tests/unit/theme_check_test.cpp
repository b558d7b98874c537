// The theme checker: what it says about a clean theme, about a theme with
// every kind of fault a theme author makes, and which layout skin it reads.
#include <gtest/gtest.h>

#include <string>

#include "ctl/theme_check.h"
#include "tests/unit/skin_scene.h"

namespace corvale {
namespace {

constexpr const char* kFolder = "C:\\T\\";

struct ThemeScene {
    fake::FakePlatform os;

    void Skin(const std::string& name, const std::string& text) {
        os.profile.SetFile(kFolder + name, text);
        os.files.Put(kFolder + name, text);
    }
    void File(const std::string& name, const std::string& bytes = "data") {
        os.files.Put(kFolder + name, bytes);
    }
    void Picture(const std::string& name) {
        File(name);
        os.toolkit.pictureFiles[kFolder + name] = {40, 20};
    }
    ThemeCheck Check(ScreenSize screen = {1024, 768}) { return CheckTheme(os.bundle, kFolder, screen); }
};

const CheckedEntry& EntryOf(const CheckedSection& section, const std::string& key) {
    for (const CheckedEntry& entry : section.entries)
        if (entry.key == key) return entry;
    static const CheckedEntry none;
    ADD_FAILURE() << "no entry " << key;
    return none;
}

// Every finding of the entry, one a line, "error: ..." or "warning: ...".
std::string Said(const std::vector<Finding>& findings) {
    std::string text;
    for (const Finding& f : findings)
        text += std::string(f.severity == Severity::Error ? "error: " : "warning: ") + f.where + ": " +
                f.text + "\n";
    return text;
}

TEST(ThemeCheck, ACleanThemeSaysNothingAndGivesEachEntryItsPlaceAfterTheRules) {
    ThemeScene t;
    t.Skin("terminal.skn",
           "[DEFAULT]\nAnimated=True\nAnimDelay=15\nSound=1\nPassOkSound=ok\n"
           "[INPUT]\nBackGround=prompt.bmp\nMaskColor=255,0,255\nInputBox=1,2,3,4,5,6,7,8,9,10,Arial,12\n"
           "01=ok.bmp,B,5,5,40,20,hover,hover,False,OK\n[STARTUP]\nAnimated=False\n");
    t.Skin("Corvale1024.skn",
           "[DEFAULT]\nBackGround=8,12,10\nStartupSound=hover\n"
           "01=bar.bmp,P,50%,0,50%,0\n"
           "02=info,L,16,80,-16,-36,6,14,10,110,245,150,Courier New,9\n"
           "03=go.bmp,B,-100,5,40,20,hover,hover,True,notepad.exe a,b\n"
           "04=spin.gif,A,-80,14,64,20\n");
    for (const char* picture : {"prompt.bmp", "ok.bmp", "oka.bmp", "bar.bmp", "go.bmp", "goa.bmp"})
        t.Picture(picture);
    t.File("ok.wav");
    t.File("hover.wav");
    const test::Bytes gif = test::Gif({10, 20, 30});
    t.os.files.Put(std::string(kFolder) + "spin.gif", gif);

    const ThemeCheck check = t.Check();
    EXPECT_EQ(check.ExitCode(), 0) << Said(check.findings);
    EXPECT_EQ(check.layoutSkin, "Corvale1024.skn");
    ASSERT_EQ(check.main.entries.size(), 4u);
    for (const CheckedEntry& entry : check.main.entries) EXPECT_EQ(Said(entry.findings), "") << entry.key;
    // A 1024x768 screen gives a 1016x760 window.
    const auto rect = [&](const char* key) {
        const EntryRect r = EntryOf(check.main, key).rect.value_or(EntryRect{-1, -1, -1, -1});
        return std::vector<long>{r.left, r.top, r.width, r.height};
    };
    EXPECT_EQ(rect("01"), (std::vector<long>{508, 0, 508, 760}));
    EXPECT_EQ(rect("02"), (std::vector<long>{16, 80, 984, 644}));
    EXPECT_EQ(rect("03"), (std::vector<long>{916, 5, 40, 20}));
    const CheckedEntry& button = EntryOf(check.main, "03");
    EXPECT_EQ(button.command, "notepad.exe a,b");
    EXPECT_TRUE(button.locked);
    EXPECT_EQ(EntryOf(check.main, "04").frameTimes, (std::vector<long>{100, 200, 300}));
    ASSERT_EQ(check.prompt.entries.size(), 1u);
    EXPECT_EQ(check.prompt.entries[0].command, "OK");
}

TEST(ThemeCheck, NamesEveryFaultAtItsEntry) {
    ThemeScene t;
    t.Skin("terminal.skn",
           "[DEFAULT]\nAnimated=Yes\nPassStartSound=nosuch\n"
           "[INPUT]\nBackGround=gone.bmp\nMaskColor=255,0\n[STARTUP]\nAnimDelay=soon\n");
    t.Skin("Corvale1024.skn",
           "[DEFAULT]\nBackGround=0,0\nStartupSound=empty\n"
           "01=missing.bmp,P,0,0,10,10\n"
           "02=bad.bmp,P,0,0,10,10\n"
           "03=b1.bmp,B,5,5,40,20,hover,click,False,CP05\n"
           "04=b.bmp,B,5,5,40,20,,,0,notepad.exe\n"
           "05=x,L,1O,2,3,4,0,0,0,255,255,255,Arial,9\n"
           "06=x,L,1,2,3,4,400,0,0,0,0,0,Arial,9\n"
           "07=b.bmp,B,1,1,10,10,hover,hover,Yes,QUIT\n"
           "08=still.gif,A,0,0,20,20\n"
           "09=junk\n"
           "11=late.bmp,P,0,0,1,1\n");
    t.Skin("Corvale1024.ini", "[DEFAULT]\n10=extra.bmp,P,0,0,1,1\n");
    t.File("bad.bmp");
    t.Picture("b1.bmp");
    t.Picture("b.bmp");
    t.Picture("ba.bmp");
    t.File("hover.wav");
    t.File("empty.wav", "");
    t.os.files.Put(std::string(kFolder) + "still.gif", test::Gif({0, 20}));

    const ThemeCheck check = t.Check();
    EXPECT_EQ(check.ExitCode(), 2);
    const std::string theme = Said(check.findings);
    for (const char* fault : {
             "warning: terminal.skn [DEFAULT] Animated: \"Yes\" is not True, False or a number",
             "warning: terminal.skn [DEFAULT] PassStartSound: sound \"nosuch.wav\" is missing",
             "error: Corvale1024.skn [DEFAULT] BackGround: \"0,0\" has fewer than two commas",
             "warning: Corvale1024.skn [DEFAULT] StartupSound: sound \"empty.wav\" is empty",
             "error: terminal.skn [INPUT] BackGround: picture \"gone.bmp\" is missing",
             "warning: terminal.skn [INPUT] MaskColor: \"255,0\" has fewer than 3 fields",
             "warning: terminal.skn [STARTUP] AnimDelay: \"soon\" is not a whole number",
             "warning: Corvale1024.skn [DEFAULT] 11: never read, since the skin's entries end at the missing "
             "10",
             "warning: Corvale1024.ini [DEFAULT] 10: never read",
         })
        EXPECT_NE(theme.find(fault), std::string::npos) << fault << "\nin:\n" << theme;

    const std::pair<const char*, const char*> faults[] = {
        {"01", "error: Corvale1024.skn [DEFAULT] 01: picture \"missing.bmp\" is missing"},
        {"02", "error: Corvale1024.skn [DEFAULT] 02: picture \"bad.bmp\" does not decode"},
        {"03", "warning: Corvale1024.skn [DEFAULT] 03: hover picture \"b1a.bmp\" is missing"},
        {"03", "click sound \"click.wav\" is missing"},
        // The empty sound fields shift the flag and the command: the button
        // runs its whole entry.
        {"04",
         "error: Corvale1024.skn [DEFAULT] 04: field 7 is empty, which shifts the fields after it: "
         "hover sound reads \",\" (written \"\"); click sound reads \"0\" (written \"\"); "
         "password flag cannot be cut and keeps what was read before (written \"0\"); "
         "command reads \"b.bmp,B,5,5,40,20,,,0,notepad.exe\" (written \"notepad.exe\")"},
        {"05", "warning: Corvale1024.skn [DEFAULT] 05: left \"1O\" is not a number: it reads as 1"},
        {"06", "background colour component 400 is limited to 0..255"},
        {"07", "password flag \"Yes\" is not True, False or a number: the button is locked"},
        {"08", "the first frame's delay is 0: the animation stays on its first frame"},
        {"09",
         "error: Corvale1024.skn [DEFAULT] 09: fewer than two commas: no kind can be cut, so it is built "
         "as another animation"},
    };
    for (const auto& [key, fault] : faults) {
        const std::string said = Said(EntryOf(check.main, key).findings);
        EXPECT_NE(said.find(fault), std::string::npos) << key << ": " << fault << "\nin:\n" << said;
    }
    EXPECT_EQ(EntryOf(check.main, "04").command, "b.bmp,B,5,5,40,20,,,0,notepad.exe");
    EXPECT_FALSE(EntryOf(check.main, "04").locked);
    EXPECT_TRUE(EntryOf(check.main, "07").locked);
    EXPECT_EQ(EntryOf(check.main, "08").frameTimes, (std::vector<long>{0, 200}));
    // Nothing is said twice, and an entry that works is left alone.
    EXPECT_EQ(Said(EntryOf(check.main, "03").findings).find("error"), std::string::npos);
    EXPECT_EQ(check.main.entries.size(), 9u);
}

TEST(ThemeCheck, ReadsTheLayoutSkinThePanelWouldTakeOnThatScreen) {
    ThemeScene t;
    t.Skin("terminal.skn", "[DEFAULT]\n");
    t.Skin("Corvale800.skn", "[DEFAULT]\nStartupSound=x\n01=a.bmp,P,0,0,1,1\n");
    t.Skin("Corvale.skn", "[DEFAULT]\nBackGround=1,2,3\n");
    const ThemeCheck narrow = t.Check({800, 600});
    EXPECT_EQ(narrow.layoutSkin, "Corvale.skn");
    EXPECT_NE(Said(narrow.findings)
                  .find("warning: Corvale800.skn [DEFAULT]: has no BackGround key, so the panel "
                        "takes Corvale.skn instead"),
              std::string::npos)
        << Said(narrow.findings);
    EXPECT_TRUE(narrow.main.entries.empty());
    EXPECT_EQ(narrow.ExitCode(), 1);

    ThemeScene bare;
    const ThemeCheck none = bare.Check();
    EXPECT_EQ(none.ExitCode(), 2);
    EXPECT_NE(Said(none.findings).find("error: terminal.skn: missing"), std::string::npos);
    EXPECT_NE(Said(none.findings).find("error: Corvale.skn: missing"), std::string::npos);
}

}  // namespace
}  // namespace corvale
