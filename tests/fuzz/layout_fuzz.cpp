// The whole layout builder on any skin text, read through the fake
// platform's profile reader: a layout skin, its override file, and one file
// of any bytes that "P", "B" and "A" entries can name. Timers tick while the
// face is built, animations advance, and the face is torn down again.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "skin/animation.h"
#include "skin/context.h"
#include "skin/layout_builder.h"
#include "tests/fake/fake_platform.h"
#include "tests/fuzz/fuzz_input.h"

using namespace corvale;

namespace {

constexpr const char* kTheme = "C:\\P\\T\\";
constexpr const char* kSkin = "C:\\P\\T\\Corvale.skn";

struct Face : FormEvents {
    SkinLists* lists = nullptr;
    Form* form = nullptr;
    void OnTimer(ControlRef source) override {
        if (form && lists && source.array == ControlArray::tmrAnim)
            AdvanceAnimation(*form, *lists, source.index, 0);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // Byte 0: animated or not and the pause between entries; byte 1: the
    // client width in tens of pixels. Then skin, override, file bytes.
    const bool animated = data[0] & 1;
    const long delay = data[0] >> 1;
    const auto parts = fuzz::Split(data + 2, size - 2, 3);

    fake::FakePlatform os;
    Context ctx(os.bundle);
    ctx.g.ProgramDir = "C:\\P\\";
    ctx.g.ThemeDir = "T\\";
    ctx.g.LayoutSkinName = "Corvale";
    Face events;
    const std::unique_ptr<Form> window = os.toolkit.CreateForm(FormKind::Main, events);
    auto& form = static_cast<fake::FakeForm&>(*window);
    form.scaleWidth = data[1] * 10;
    form.scaleHeight = 600;
    ctx.g.ControlCount = form.ControlCount();
    SkinLists lists;
    events.lists = &lists;
    events.form = &form;

    os.profile.SetFile(kSkin, parts[0]);
    os.profile.SetFile(OverrideFilePath(kSkin), parts[1]);
    const std::vector<std::uint8_t> bytes(parts[2].begin(), parts[2].end());
    for (const char* name : {"a.gif", "a.bmp"}) {
        os.files.Put(std::string(kTheme) + name, bytes);
        os.toolkit.pictureFiles[std::string(kTheme) + name] = {static_cast<int>(bytes.size() % 300), 20};
    }

    BuildSkinLayout(ctx, form, "DEFAULT", lists, animated, delay, kSkin);
    os.toolkit.Advance(1000);
    UnloadSkinControls(ctx, form);
    fuzz::Require(form.ControlCount() == ctx.g.ControlCount);
    return 0;
}
