// Sound playback: which file a name means, and the theme's two switches.
#include <gtest/gtest.h>

#include "skin/sound.h"
#include "tests/fake/fake_platform.h"

namespace corvale {
namespace {

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        ctx.g.ProgramDir = "C:\\Program Files\\Vexal\\";
        ctx.g.ThemeDir = "My Theme\\";
        Exists("C:\\Program Files\\Vexal\\My Theme\\beep.wav", "C:\\PROGRA~1\\Vexal\\MYTHEM~1\\beep.wav",
               100);
        Exists("D:\\Media\\chime.wav", "D:\\Media\\chime.wav", 2000);
    }
    // A file on disk under its short name, `size` bytes long.
    void Exists(const std::string& path, const std::string& shortName, std::size_t size) {
        os.sound.shortPaths[path] = shortName;
        os.files.Put(shortName, std::vector<std::uint8_t>(size, 0x52));
    }
    void Theme(const std::string& text) {
        os.profile.SetFile("C:\\Program Files\\Vexal\\My Theme\\terminal.skn", "[DEFAULT]\n" + text);
    }
    fake::FakePlatform os;
    Context ctx{os.bundle};
};

TEST_F(SoundTest, NamesWithAColonAreFullPathsAndOthersWavFilesOfTheTheme) {
    PlaySkinSound(ctx, "beep");
    PlaySkinSound(ctx, "D:\\Media\\chime.wav");
    const std::vector<std::string> expected = {"simple C:\\PROGRA~1\\Vexal\\MYTHEM~1\\beep.wav",
                                               "simple D:\\Media\\chime.wav"};
    EXPECT_EQ(os.sound.played, expected);
}

TEST_F(SoundTest, NothingPlaysWithoutAFileOfSomeLength) {
    Exists("C:\\Program Files\\Vexal\\My Theme\\empty.wav", "C:\\E.WAV", 0);
    // The short form exists but the file behind it has gone.
    os.sound.shortPaths["C:\\Program Files\\Vexal\\My Theme\\gone.wav"] = "C:\\GONE.WAV";
    for (const char* name : {"empty", "missing", "gone", "", "beep.wav", "D:\\Media\\none.wav"})
        PlaySkinSound(ctx, name);
    EXPECT_TRUE(os.sound.played.empty());
    EXPECT_TRUE(os.toolkit.messageBoxes.empty());
}

TEST_F(SoundTest, TheSwitchesAreReadAtEveryCallAndUnreadableOnesKeepTheirDefaults) {
    struct Case {
        const char* theme;
        const char* played;  // "" for nothing
    };
    const Case cases[] = {
        {"", "simple"},
        {"Sound=False\n", ""},
        {"Sound=0\nMultiple=True\n", ""},
        {"Sound=NotFound\n", "simple"},
        {"Sound=sometimes\n", "simple"},
        {"Sound=TRUE\nMultiple=true\n", "overlap"},
        {"Multiple=-1\n", "overlap"},
        {"Multiple=maybe\n", "simple"},
        {"Multiple=0\n", "simple"},
    };
    for (const Case& c : cases) {
        Theme(c.theme);
        os.sound.played.clear();
        PlaySkinSound(ctx, "D:\\Media\\chime.wav");
        const std::string expected = *c.played ? std::string(c.played) + " D:\\Media\\chime.wav" : "";
        EXPECT_EQ(os.sound.played.empty() ? "" : os.sound.played.front(), expected) << c.theme;
    }
}

}  // namespace
}  // namespace corvale
