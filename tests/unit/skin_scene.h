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

namespace corvale::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// "GIF89a", a 1x1 screen without a colour table.
inline Bytes GifHead() { return {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x00, 0, 0}; }

// The looping extension; it ends with the terminator that starts the first marker.
inline Bytes GifLoop() {
    return {0x21, 0xFF, 0x0B, 'N', 'E',  'T',  'S',  'C',  'A', 'P',
            'E',  '2',  '.',  '0', 0x03, 0x01, 0x00, 0x00, 0x00};
}

// One frame: graphic control block with `delay` hundredths of a second, image
// descriptor, a little image data, and the image data's terminator.
inline Bytes GifFrame(std::uint16_t delay, std::uint8_t pixel = 0x44) {
    return {0x21,
            0xF9,
            0x04,
            0x00,
            static_cast<std::uint8_t>(delay & 0xFF),
            static_cast<std::uint8_t>(delay >> 8),
            0x00,
            0x00,
            0x2C,
            0,
            0,
            0,
            0,
            1,
            0,
            1,
            0,
            0x00,
            0x02,
            0x02,
            pixel,
            0x01,
            0x00};
}

inline Bytes Gif(const std::vector<std::uint16_t>& delays) {
    Bytes gif = Concat({GifHead(), GifLoop()});
    for (std::uint16_t delay : delays) gif = Concat({gif, GifFrame(delay)});
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
