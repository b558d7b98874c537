// The prompt window and the shaping of a window by its picture.
#include <gtest/gtest.h>

#include "platform/form_design.h"
#include "prompt/frm_input.h"
#include "prompt/shape_window.h"
#include "tests/fake/fake_platform.h"

namespace corvale {
namespace {

using fake::FakeControl;
using fake::FakeForm;

// A picture whose pixels are 'm' (the mask, magenta) or 'o' (opaque, grey).
std::shared_ptr<fake::FakePicture> Pattern(const std::vector<std::string>& rows) {
    std::vector<std::uint8_t> rgb;
    for (const auto& row : rows)
        for (char c : row) {
            const bool mask = c == 'm';
            rgb.insert(rgb.end(),
                       {static_cast<std::uint8_t>(mask ? 255 : 90), static_cast<std::uint8_t>(mask ? 0 : 90),
                        static_cast<std::uint8_t>(mask ? 255 : 90)});
        }
    return std::make_shared<fake::FakePicture>("pattern", static_cast<int>(rows[0].size()),
                                               static_cast<int>(rows.size()), rgb);
}

constexpr Color kMagenta = Rgb(255, 0, 255);

TEST(ShapeWindow_Runs, EveryMaximalOpaqueRunOfARowIsOneRectangle) {
    const auto runs = OpaqueRuns(*Pattern({"mmoomo", "mmmmmm", "oooooo"}), kMagenta);
    ASSERT_EQ(runs.size(), 3U);
    EXPECT_EQ(runs[0].left, 2);
    EXPECT_EQ(runs[0].right, 4);
    EXPECT_EQ(runs[1].left, 5);
    EXPECT_EQ(runs[1].right, 6);
    EXPECT_EQ(runs[2].top, 2);
    EXPECT_EQ(runs[2].left, 0);
    EXPECT_EQ(runs[2].right, 6);
    EXPECT_EQ(runs[2].bottom, 3);
    EXPECT_TRUE(OpaqueRuns(*Pattern({"mmm", "mmm"}), kMagenta).empty());
    EXPECT_EQ(OpaqueRuns(*Pattern({"ooo", "ooo"}), kMagenta).size(), 2U);
    // Black as the mask leaves out black pixels only.
    EXPECT_EQ(OpaqueRuns(fake::FakePicture("black", 4, 1), 0).size(), 0U);
}

class PromptTest : public ::testing::Test {
protected:
    void SetUp() override {
        ctx.g.ProgramDir = "C:\\P\\";
        ctx.g.ThemeDir = "T\\";
        os.toolkit.pictureFiles["C:\\P\\T\\back.bmp"] = {200, 100};
        os.toolkit.pictureFiles["C:\\P\\T\\ok.bmp"] = {40, 20};
    }
    void Skin(const std::string& input) { os.profile.SetFile("C:\\P\\T\\terminal.skn", "[INPUT]\n" + input); }
    // Shows the prompt; `user` acts on the open window.
    void Show(std::function<void(FakeForm&, FrmInput&)> user, bool nt = true) {
        FrmInput prompt(ctx, nt);
        os.toolkit.onShowModal = [&](FakeForm& form) {
            shownForm = &form;
            caption = form.caption;
            box.emplace(*static_cast<FakeControl*>(form.Find(ControlArray::txtInput, 0)));
            outerWidth = form.width;
            if (user) user(form, prompt);
        };
        prompt.ShowModal();
    }

    fake::FakePlatform os;
    Context ctx{os.bundle};
    FakeForm* shownForm = nullptr;
    std::string caption;
    std::optional<FakeControl> box;
    double outerWidth = 0;
};

TEST_F(PromptTest, EnterHandsBackTheTypedTextAndOtherKeysDoNot) {
    Skin("BackGround=back.bmp\nMaskColor=255,0,255\n");
    ctx.g.InputText = "left over";
    Show([](FakeForm& form, FrmInput& prompt) {
        static_cast<FakeControl*>(form.Find(ControlArray::txtInput, 0))->text = "Secret";
        prompt.OnKeyUp({ControlArray::txtInput, 0}, {65, 0});
        EXPECT_FALSE(form.closed);
        EXPECT_EQ(form.outlineColor, kMagenta) << "the mask stays exact where the picture is drawn larger";
        prompt.OnKeyUp({ControlArray::txtInput, 0}, {kKeyReturn, 0});
        EXPECT_TRUE(form.closed);
    });
    EXPECT_EQ(ctx.g.InputText, "Secret");
    EXPECT_EQ(caption, "VEXAL Terminal - Input");
    EXPECT_DOUBLE_EQ(outerWidth, 200 * 15);
    EXPECT_EQ(os.shaper.colorKey, kMagenta);
}

TEST_F(PromptTest, OkConfirmsQuitLeavesEmptyAndOtherCommandsRunWithThePromptOpen) {
    Skin(
        "01=ok.bmp,B,5,5,40,20,in,click,0,ok\n02=ok.bmp,B,50,5,40,20,in,click,0,QUIT\n"
        "03=ok.bmp,B,95,5,40,20,in,click,0,calc.exe /x\n");
    WindowHandle promptWindow = 0;
    Show([&](FakeForm& form, FrmInput& prompt) {
        promptWindow = form.Handle();
        static_cast<FakeControl*>(form.Find(ControlArray::txtInput, 0))->text = "typed";
        prompt.OnClick({ControlArray::imgBut, 3});
        EXPECT_FALSE(form.closed);
        prompt.OnClick({ControlArray::imgBut, 1});
        EXPECT_TRUE(form.closed);
    });
    EXPECT_EQ(ctx.g.InputText, "typed");
    // Through the shell, as the main window's commands go.
    EXPECT_TRUE(os.launcher.started.empty());
    ASSERT_EQ(os.launcher.opened.size(), 1U);
    EXPECT_EQ(os.launcher.opened[0].owner, promptWindow);
    EXPECT_EQ(os.launcher.opened[0].file, "calc.exe");
    EXPECT_EQ(os.launcher.opened[0].parameters, "/x");
    EXPECT_EQ(os.launcher.opened[0].directory, "C:\\P\\");

    Show([](FakeForm& form, FrmInput& prompt) {
        static_cast<FakeControl*>(form.Find(ControlArray::txtInput, 0))->text = "typed";
        prompt.OnClick({ControlArray::imgBut, 2});
        EXPECT_TRUE(form.closed);
    });
    EXPECT_EQ(ctx.g.InputText, "");
}

TEST_F(PromptTest, TheInputBoxTakesItsPlaceColoursAndFontAndMasksAPassword) {
    Skin("InputBox=10,20,150,22,0,0,64,255,255,0,Courier New,12\n");
    ctx.g.PasswordPrompt = true;
    Show(nullptr);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->left, 10);
    EXPECT_EQ(box->top, 20);
    EXPECT_EQ(box->width, 150);
    EXPECT_EQ(box->height, 22);
    EXPECT_EQ(box->backColor, Rgb(0, 0, 64));
    EXPECT_EQ(box->foreColor, Rgb(255, 255, 0));
    EXPECT_EQ(box->fontName, "Courier New");
    EXPECT_DOUBLE_EQ(box->fontSize, 12);
    EXPECT_EQ(box->passwordChar, '#');
}

TEST_F(PromptTest, APasswordIsMaskedEvenWithoutAnInputBoxAndPlainTextIsNot) {
    Skin("BackGround=back.bmp\n");
    ctx.g.PasswordPrompt = true;
    Show(nullptr);
    EXPECT_EQ(box->passwordChar, '#');
    ctx.g.PasswordPrompt = false;
    Show(nullptr);
    EXPECT_EQ(box->passwordChar, 0);
}

TEST_F(PromptTest, TheMaskIsAColourKeyOnNtAndARegionElsewhereOrWhereTheKeyIsRefused) {
    // back.bmp is 200 x 100 without a mask pixel: one run a row.
    Skin("BackGround=back.bmp\nMaskColor=255,0,255\n");
    const struct {
        const char* why;
        bool nt, refused, keyed;
        size_t runs;
    } cases[] = {
        {"NT keys the mask out", true, false, true, 0},
        {"a refused key falls back to the runs", true, true, false, 100},
        {"the 9x family has only regions", false, false, false, 100},
    };
    for (const auto& c : cases) {
        os.shaper = {};
        os.shaper.refuseColorKey = c.refused;
        Show(nullptr, c.nt);
        EXPECT_EQ(os.shaper.colorKey.has_value(), c.keyed) << c.why;
        EXPECT_EQ(os.shaper.region.value_or(std::vector<Rect>{}).size(), c.runs) << c.why;
    }
}

TEST_F(PromptTest, BrokenValuesLeaveTheDesignAndAMissingPictureLeavesTheShape) {
    Skin("InputBox=10,20\nMaskColor=255\nBackGround=missing.bmp\n");
    Show(nullptr, false);
    EXPECT_EQ(box->width, kInputFormDesign[0].width);  // the design's, untouched
    EXPECT_FALSE(os.shaper.region);
    EXPECT_FALSE(os.shaper.colorKey);
    EXPECT_TRUE(os.toolkit.messageBoxes.empty());
}

TEST(Prompt_Fields, TheSearchForAFieldsCommaStartsAtItsSecondCharacter) {
    EXPECT_EQ(SplitPromptFields("1,2,3", 3), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(SplitPromptFields("1,2,3,4", 3), (std::vector<std::string>{"1", "2", "3,4"}));
    // An empty second field swallows the comma after it.
    EXPECT_EQ(SplitPromptFields("1,,3,4", 3), (std::vector<std::string>{"1", ",3", "4"}));
    EXPECT_EQ(SplitPromptFields("1,2", 3), std::nullopt);
    EXPECT_EQ(SplitPromptFields("", 1), std::vector<std::string>{""});
}

}  // namespace
}  // namespace corvale
