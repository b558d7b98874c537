// The theme checker: what it says about a clean theme, about a theme with
// every kind of fault a theme author makes, and which layout skin it reads.
#include <gtest/gtest.h>

#include <string>

#include "base/values.h"
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
    void Picture(const std::string& name, int width = 40, int height = 20) {
        File(name);
        os.toolkit.pictureFiles[kFolder + name] = {width, height};
    }
    // A picture with detail everywhere, which shows when it is stretched.
    void DetailedPicture(const std::string& name, int width, int height) {
        Picture(name, width, height);
        std::vector<std::uint8_t> rgb(static_cast<size_t>(width * height * 3));
        for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>(i * 7);
        os.toolkit.pictureRgb[kFolder + name] = rgb;
    }
    // Programs are found in the theme's parent folder, as the shell finds them.
    ThemeCheck Check(ScreenSize screen = {1024, 768}, std::optional<ScreenSize> workArea = std::nullopt) {
        const ProgramFinder find = [this](const std::string& program, const std::string& folder) {
            return std::optional(os.files.FileLength(folder + program) >= 0);
        };
        return CheckTheme(os.bundle, kFolder, {screen, workArea.value_or(screen), find});
    }
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

// The information box's 32 labels and a volume panel of one line, all of it
// as the panel wants it.
std::string CleanInfoAndVolume() {
    std::string text = "[INFO]\n";
    for (int n = 1; n <= 32; ++n) text += TwoDigitKey(n) + "=label\n";
    text += "[VOLUME]\n";
    for (int n = 0; n < 20; ++n) text += "Meter" + TwoDigitKey(n) + "=meter.bmp\n";
    return text +
           "Meter20=on.bmp\nMeter21=off.bmp\nlabel0=master.bmp\nvolume0=1,80,24,120,-60,-40,42,9,-50,-20,40,"
           "14\n";
}

TEST(ThemeCheck, ACleanThemeSaysNothingAndGivesEachEntryItsPlaceAfterTheRules) {
    ThemeScene t;
    t.Skin("terminal.skn",
           "[DEFAULT]\nAnimated=True\nAnimDelay=15\nSound=1\nPassOkSound=ok\n"
           "[INPUT]\nBackGround=prompt.bmp\nMaskColor=255,0,255\nInputBox=1,2,3,4,5,6,7,8,9,10,Arial,12\n"
           "01=ok.bmp,B,5,5,40,20,hover,NONE,False,OK\n[STARTUP]\nAnimated=False\n");
    t.Skin("Corvale1024.skn",
           "[DEFAULT]\nBackGround=8,12,10\nStartupSound=hover\n"
           "01=bar.bmp,P,50%,0,50%,0\n"
           "02=info,L,16,80,-16,-36,6,14,10,110,245,150,Courier New,9\n"
           "03=go.bmp,B,-100,5,40,20,hover,none,True,notepad.exe a,b\n"
           "04=spin.gif,A,-80,14,64,20\n"
           "05=info,L,16,80,-16,-36,6,14,10,110,245,150,Courier New,9\n"
           "06=rule.bmp,P,0,50,300,20\n" +
               CleanInfoAndVolume());
    for (const char* picture : {"ok.bmp", "oka.bmp", "bar.bmp", "go.bmp", "goa.bmp", "rule.bmp"})
        t.Picture(picture);
    t.Picture("prompt.bmp", 100, 50);
    t.Picture("meter.bmp", 24, 120);
    t.Picture("on.bmp", 40, 14);
    t.Picture("off.bmp", 40, 14);
    t.Picture("master.bmp", 42, 9);
    t.File("ok.wav");
    t.File("hover.wav");
    t.os.files.Put("C:\\notepad.exe", "MZ");  // the theme's parent is the program folder
    const test::Bytes gif = test::Gif({10, 20, 30});
    t.os.files.Put(std::string(kFolder) + "spin.gif", gif);

    // A taskbar leaves 1024x738 of the screen, which the window fills.
    const ThemeCheck check = t.Check({1024, 768}, ScreenSize{1024, 738});
    EXPECT_EQ(check.ExitCode(), 0) << Said(check.findings);
    EXPECT_EQ(check.layoutSkin, "Corvale1024.skn");
    ASSERT_EQ(check.main.entries.size(), 6u);
    for (const CheckedEntry& entry : check.main.entries) EXPECT_EQ(Said(entry.findings), "") << entry.key;
    const auto rect = [](const std::optional<EntryRect>& place) {
        const EntryRect r = place.value_or(EntryRect{-1, -1, -1, -1});
        return std::vector<long>{r.left, r.top, r.width, r.height};
    };
    EXPECT_EQ(rect(EntryOf(check.main, "01").rect), (std::vector<long>{512, 0, 512, 738}));
    EXPECT_EQ(rect(EntryOf(check.main, "02").rect), (std::vector<long>{16, 80, 992, 622}));
    EXPECT_EQ(rect(EntryOf(check.main, "03").rect), (std::vector<long>{924, 5, 40, 20}));
    EXPECT_EQ(EntryOf(check.main, "02").role, "information box");
    EXPECT_EQ(EntryOf(check.main, "05").role, "sound card's report");
    const CheckedEntry& button = EntryOf(check.main, "03");
    EXPECT_EQ(button.command, "notepad.exe a,b");
    EXPECT_TRUE(button.locked);
    EXPECT_EQ(EntryOf(check.main, "04").frameTimes, (std::vector<long>{100, 200, 300}));
    ASSERT_EQ(check.volume.size(), 1u);
    EXPECT_EQ(Said(check.volume[0].findings), "");
    EXPECT_EQ(rect(check.volume[0].label), (std::vector<long>{964, 698, 42, 9}));
    EXPECT_EQ(rect(check.volume[0].mute), (std::vector<long>{974, 718, 40, 14}));
    ASSERT_EQ(check.prompt.entries.size(), 1u);
    EXPECT_EQ(check.prompt.entries[0].command, "OK");
    EXPECT_EQ(rect(check.inputBox), (std::vector<long>{1, 2, 3, 4}));
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

TEST(ThemeCheck, NamesWhatThePanelWouldMakeOfTheVolumePanelLabelsKeysCommandsAndPictureSizes) {
    ThemeScene t;
    t.Skin("terminal.skn",
           "[DEFAULT]\nAnimate=True\nPassOkSound=click\n"
           "[INPUT]\nBackGround=plate.bmp\nInputBox=50,20,30,12,0,0,0,0,0,0,Arial,9\n"
           "01=b.bmp,B,5,5,40,20,none,click,False,CP05\n02=x,L,1,1,5,5,0,0,0,0,0,0,Arial,9\n");
    std::string volume =
        "[VOLUME]\nMeter05=tall.bmp\nMeter03=gone.bmp\nMeter20=b.bmp\nlabel0=lbl.bmp\n"
        "lable1=lbl.bmp\nMeter5=b.bmp\nvolume0=1,1,24,120,1,1,4,4,1,1,4,4\nvolume1=1,2,3\n";
    for (int n : {0, 1, 2, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19})
        volume += "Meter" + TwoDigitKey(n) + "=meter.bmp\n";
    t.Skin("Corvale1024.skn",
           "[DEFAULT]\nBackGround=1,2,3\nbackground=4,5,6\n"
           "01=info,L,0,0,9,9,0,0,0,0,0,0,Arial,9\n"
           "02=b.bmp,B,10,10,40,20,none,click,False,CP99\n"
           "03=b.bmp,B,60,10,40,20,none,click,False,nosuch.exe --x\n"
           "04=b.bmp,B,110,10,44,20,NONE,click,False,QUIT\n"
           "05=photo.bmp,P,0,40,80,40\n"
           "06=photo.bmp,P,0,90,100%,20\n"
           "07=x,L,0,0,9,9,0,0,0,0,0,0,Arial,9\n08=x,L,0,0,9,9,0,0,0,0,0,0,Arial,9\n"
           "[INFOS]\n01=System\n" +
               volume);
    t.Picture("b.bmp");
    t.Picture("plate.bmp", 60, 30);
    t.Picture("meter.bmp", 24, 120);
    t.DetailedPicture("tall.bmp", 24, 100);
    t.DetailedPicture("photo.bmp", 40, 20);

    const ThemeCheck check = t.Check();
    const std::string theme = Said(check.findings);
    const auto entry = [&](const CheckedSection& section, const char* key) {
        return Said(EntryOf(section, key).findings);
    };
    const auto line = [&](size_t n) { return n < check.volume.size() ? Said(check.volume[n].findings) : ""; };
    const struct {
        const char* why;
        std::string said;
        const char* fault;
        bool found;
    } cases[] = {
        {"a key the panel never reads, with the one meant", theme,
         "terminal.skn [DEFAULT] Animate: is a key the panel never reads (did you mean Animated?)", true},
        {"a number written differently from the panel's", theme,
         "Corvale1024.skn [VOLUME] Meter5: is a key the panel never reads (did you mean Meter05?)", true},
        {"a misspelt label", theme, "[VOLUME] lable1: is a key the panel never reads (did you mean label1?)",
         true},
        {"a section the panel never reads", theme,
         "Corvale1024.skn [INFOS]: is a section the panel never reads (did you mean [INFO]?)", true},
        {"the second of two keys", theme, "[DEFAULT] background: comes twice", true},
        {"no labels for the information box", theme,
         "Corvale1024.skn [INFO]: missing: the information box shows its values without labels", true},
        {"a missing file once, with its other uses", theme,
         "PassOkSound: sound \"click.wav\" is missing (also used by Corvale1024.skn [DEFAULT] 02, 03, 04, "
         "terminal.skn [INPUT] 01)",
         true},
        {"and not again at the other uses", entry(check.main, "02"), "click.wav", false},
        {"none is no sound", theme + entry(check.main, "02"), "none", false},
        {"an input box off the prompt's picture", theme,
         "terminal.skn [INPUT] InputBox: at 50,20 30x12 reaches beyond the prompt's 60x30 picture", true},
        {"a code beyond CP20", entry(check.main, "02"), "\"CP99\" is no Control Panel code", true},
        {"a program nowhere to be found", entry(check.main, "03"), "program \"nosuch.exe\" is not found here",
         true},
        {"a button wider than its face", entry(check.main, "04"),
         "picture \"b.bmp\" is 40x20 in a 44x20 button, which draws it at its own size: white shows", true},
        {"a picture with detail, stretched", entry(check.main, "05"),
         "picture \"photo.bmp\" is 40x20, stretched to 80x40", true},
        {"stretched by a percentage, as meant", entry(check.main, "06"), "stretched", false},
        {"codes mean nothing on the prompt", entry(check.prompt, "01"),
         "Control Panel codes mean nothing on the prompt", true},
        {"the prompt makes no text boxes", entry(check.prompt, "02"), "the prompt has no text boxes", true},
        {"a slider picture that is missing", theme,
         "error: Corvale1024.skn [VOLUME] Meter03: picture \"gone.bmp\" is missing", true},
        {"a label picture that is missing", theme, "[VOLUME] label0: picture \"lbl.bmp\" is missing", true},
        {"a slider face of another size", line(0), "Meter05 is 24x100, stretched to the 24x120 slider", true},
        {"a switch face of another size", line(0), "Meter20 is 40x20, stretched to the 4x4 switch", false},
        {"no switch for a muted line", theme, "[VOLUME]: has no Meter21", true},
        {"a place without its twelve numbers", line(1), "has 3 values where the panel needs 12", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.said.find(c.fault) != std::string::npos, c.found) << c.why << ": " << c.fault << "\nin:\n"
                                                                      << c.said;
    EXPECT_EQ(EntryOf(check.main, "01").role, "information box");
    EXPECT_EQ(EntryOf(check.main, "08").role, "stays empty (only the first two text boxes are written)");
    EXPECT_FALSE(check.volume.at(1).slider.has_value());
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
