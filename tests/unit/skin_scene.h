// A main window on the fake platform with a theme folder, for the skin
// engine's tests and benchmarks; and GIF bytes made to measure.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/context.h"
#include "skin/layout_builder.h"
#include "tests/fake/fake_platform.h"
#include "tests/support/encode.h"

namespace corvale::test {

// GIF bytes made to measure for the cutting rules: a 1x1 screen without a
// colour table, the looping extension (which ends with the terminator that
// starts the first marker), and frames whose one data byte `pixel` tells
// them apart.
inline Bytes GifHead() { return GifScreen(1, 1, {}); }
inline Bytes GifLoop() { return GifLoopExtension(); }
inline Bytes GifFrameBytes(std::uint16_t delay, std::uint8_t pixel = 0x44) {
    return Concat({GifGraphicControl(delay), GifImage(0, 0, 1, 1, 2, {pixel, 0x01})});
}
inline Bytes Gif(const std::vector<std::uint16_t>& delays) {
    Bytes gif = Concat({GifHead(), GifLoop()});
    for (std::uint16_t delay : delays) gif = Concat({gif, GifFrameBytes(delay)});
    gif.push_back(0x3B);
    return gif;
}

// Routes the form's timer ticks to a test's handler.
struct SceneEvents : FormEvents {
    std::function<void(ControlRef)> onTimer;
    void OnTimer(ControlRef source) override {
        if (onTimer) onTimer(source);
    }
};

// Theme folder C:\P\T\, layout skin C:\P\T\Corvale.skn, a main window of
// 800 x 600 client pixels.
struct SkinScene {
    fake::FakePlatform os;
    Context ctx{os.bundle};
    SceneEvents events;
    std::unique_ptr<Form> window = os.toolkit.CreateForm(FormKind::Main, events);
    fake::FakeForm& form = static_cast<fake::FakeForm&>(*window);
    SkinLists lists;

    static constexpr const char* kSkin = "C:\\P\\T\\Corvale.skn";
    static constexpr const char* kOverride = "C:\\P\\T\\Corvale.ini";
    static constexpr const char* kTheme = "C:\\P\\T\\terminal.skn";

    SkinScene() {
        ctx.g.ProgramDir = "C:\\P\\";
        ctx.g.ThemeDir = "T\\";
        ctx.g.LayoutSkinName = "Corvale";
        ctx.g.ControlCount = form.ControlCount();
        form.scaleWidth = 800;
        form.scaleHeight = 600;
    }

    // The [DEFAULT] section of the layout skin, one "key=value" a line.
    void Layout(const std::vector<std::string>& lines, const char* file = kSkin) {
        std::string text = "[DEFAULT]\n";
        for (const std::string& line : lines) text += line + "\n";
        os.profile.SetFile(file, text);
    }

    void Build(bool animated = false, long delay = 0) {
        BuildSkinLayout(ctx, form, "DEFAULT", lists, animated, delay, kSkin);
    }

    fake::FakeControl* Get(ControlArray array, int index) { return form.Get(array, index); }
};

}  // namespace corvale::test
