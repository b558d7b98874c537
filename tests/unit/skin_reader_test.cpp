// Reading skin values, and the password flag of a button entry.
#include <gtest/gtest.h>

#include "commands/password_flag.h"
#include "skin/skin_reader.h"
#include "tests/fake/fake_platform.h"

namespace corvale {
namespace {

class SkinReaderTest : public ::testing::Test {
protected:
    fake::FakePlatform os;
    SkinReader reader{os.bundle};
};

TEST_F(SkinReaderTest, AFoundKeyLeavesItsValueAndAMissingOneLeavesNothing) {
    os.profile.SetFile("T\\terminal.skn", "[DEFAULT]\nanimated=True\nStartupSound=\nSound=NotFound\n");
    EXPECT_TRUE(reader.ReadSkinValue("DEFAULT", "Animated", "T\\Terminal.skn"));
    EXPECT_EQ(reader.SkinValue, "True");

    EXPECT_TRUE(reader.ReadSkinValue("default", "StartupSound", "T\\terminal.skn"));
    EXPECT_EQ(reader.SkinValue, "");

    reader.SkinValue = "stale";
    EXPECT_FALSE(reader.ReadSkinValue("DEFAULT", "Sound", "T\\terminal.skn"));
    EXPECT_EQ(reader.SkinValue, "");
    EXPECT_FALSE(reader.ReadSkinValue("DEFAULT", "Missing", "T\\terminal.skn"));
    EXPECT_FALSE(reader.ReadSkinValue("NOSECTION", "Animated", "T\\terminal.skn"));
    EXPECT_FALSE(reader.ReadSkinValue("DEFAULT", "Animated", "T\\nofile.skn"));
    EXPECT_TRUE(os.toolkit.messageBoxes.empty());
}

TEST_F(SkinReaderTest, ValuesAreCutAtTheBufferAndAtTheirFirstNul) {
    os.profile.SetFile("big.skn", "[S]\nK=" + std::string(40000, 'x') + "\n");
    ASSERT_TRUE(reader.ReadSkinValue("S", "K", "big.skn"));
    EXPECT_EQ(reader.SkinValue.size(), 31999U);
}

TEST_F(SkinReaderTest, AFailingReadSaysSoOnceAndCountsAsMissing) {
    os.profile.SetFile("a.skn", "[S]\nK=v\n");
    os.profile.failReads = true;
    reader.SkinValue = "stale";
    EXPECT_FALSE(reader.ReadSkinValue("S", "K", "a.skn"));
    EXPECT_EQ(reader.SkinValue, "");
    EXPECT_EQ(os.toolkit.messageBoxes, std::vector<std::string>{"Error Retrieving Key"});
}

class PasswordFlagTest : public ::testing::Test {
protected:
    void SetUp() override {
        ctx.g.ProgramDir = "C:\\P\\";
        ctx.g.ThemeDir = "T\\";
        ctx.g.LayoutSkinName = "Corvale";
        ctx.g.Main.ButtonCount = 1;
        ctx.g.Main.ButtonEntry = {0, 7};
    }
    void Entry(const std::string& value, const char* file = "C:\\P\\T\\Corvale.skn") {
        os.profile.SetFile(file, "[DEFAULT]\n07=" + value + "\n");
    }
    fake::FakePlatform os;
    Context ctx{os.bundle};
};

TEST_F(PasswordFlagTest, TheNinthFieldDecides) {
    const std::pair<const char*, bool> cases[] = {
        {"True", true},   {"1", true},  {"-1", true}, {"true", true},
        {"False", false}, {"0", false}, {"", false},  {"maybe", true},
    };
    for (const auto& [flag, expected] : cases) {
        Entry(std::string("b.bmp,B,1,2,3,4,in,out,") + flag + ",notepad.exe a,b");
        EXPECT_EQ(ButtonNeedsPassword(ctx, 1), expected) << flag;
    }
}

TEST_F(PasswordFlagTest, TheOverrideFileIsReadFirst) {
    Entry("b.bmp,B,1,2,3,4,in,out,False,x");
    Entry("b.bmp,B,1,2,3,4,in,out,True,x", "C:\\P\\T\\Corvale.ini");
    EXPECT_TRUE(ButtonNeedsPassword(ctx, 1));
}

TEST_F(PasswordFlagTest, EntriesWithoutAFlagOrWithoutAnEntryAreOpen) {
    EXPECT_FALSE(ButtonNeedsPassword(ctx, 1));  // no skin at all
    Entry("b.bmp,B,1,2,3,4");
    EXPECT_FALSE(ButtonNeedsPassword(ctx, 1));
    Entry("b.bmp,B,1,2,3,4,in,out,True");  // the flag is the last field
    EXPECT_TRUE(ButtonNeedsPassword(ctx, 1));
    EXPECT_FALSE(ButtonNeedsPassword(ctx, 0));
    EXPECT_FALSE(ButtonNeedsPassword(ctx, 2));
}

}  // namespace
}  // namespace corvale
