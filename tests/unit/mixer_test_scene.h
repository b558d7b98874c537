// A main window, a simulated sound card and a layout skin's VOLUME section,
// shared by the volume panel's and the sound-card report's tests.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "base/values.h"
#include "mixer/volume_panel.h"
#include "tests/fake/fake_platform.h"

namespace corvale::testing {

inline const std::string kTheme = "C:\\Panel\\Blue\\";
inline const std::string kSkin = kTheme + "Corvale1024.skn";

// Picture file names of the skin below, as the fake toolkit reports their
// source after loading.
inline std::string MeterFile(int n) { return kTheme + "meter" + TwoDigitKey(n) + ".bmp"; }
inline std::string LabelFile(int kind) { return kTheme + "label_kind" + std::to_string(kind) + ".bmp"; }

// Routes the window's timer to the panel, as frmMain does.
struct PanelEvents : FormEvents {
    VolumePanel* panel = nullptr;
    void OnTimer(ControlRef source) override {
        if (panel && source.array == ControlArray::tmrAudio) panel->tmrAudio_Timer();
    }
};

class MixerScene : public ::testing::Test {
protected:
    MixerScene() {
        ctx.g.ProgramDir = "C:\\Panel\\";
        ctx.g.ThemeDir = "Blue\\";
        ctx.g.LayoutSkinName = "Corvale1024";
        form().Move(0, 0, 800 * 15, 600 * 15);
        for (int n = 0; n < kMeterPictures; ++n) {
            keys["Meter" + TwoDigitKey(n)] = "meter" + TwoDigitKey(n) + ".bmp";
            os.toolkit.pictureFiles[MeterFile(n)] = {10, 100};
        }
        for (int kind = 0; kind < kMixerSlots; ++kind) {
            keys["label" + std::to_string(kind)] = "label_kind" + std::to_string(kind) + ".bmp";
            os.toolkit.pictureFiles[LabelFile(kind)] = {40, 12};
        }
        // Slot j sits at x = 100 + 50 j; the slider is 190 pixels high.
        for (int slot = 0; slot < kMixerSlots; ++slot) {
            const std::string x = std::to_string(100 + 50 * slot);
            keys["volume" + std::to_string(slot)] = x + ",10,20,190," + x + ",210,40,12," + x + ",230,20,20";
        }
        events.panel = &panel;
    }

    // Writes the VOLUME section from `keys` into the layout skin.
    void WriteSkin() {
        std::string text = "[VOLUME]\n";
        for (const auto& [key, value] : keys) text += key + "=" + value + "\n";
        os.profile.SetFile(kSkin, text);
    }

    void Open() {
        WriteSkin();
        panel.OpenMixerPanel();
    }

    fake::FakeForm& form() { return static_cast<fake::FakeForm&>(*formPtr); }
    fake::FakeControl& element(ControlArray array, int index) { return *form().Get(array, index); }
    std::string PictureOf(ControlArray array, int index) {
        return fake::PictureSource(element(array, index).picture);
    }
    fake::FakeControl& MakeReportBox(int width) {
        form().Create(ControlArray::txtBox, 1);
        auto& box = *static_cast<fake::FakeControl*>(form().Create(ControlArray::txtBox, 2));
        box.width = width;
        box.fontName = "Lucida Console";
        box.fontSize = 10;  // a space is 120 twips, 8 pixels, in the fake's font
        return box;
    }
    int WritesTo(std::uint32_t controlId) {
        int count = 0;
        for (const auto& w : os.mixer.writes) count += w.controlId == controlId;
        return count;
    }
    int ReadsOf(std::uint32_t controlId) {
        int count = 0;
        for (const auto& r : os.mixer.reads) count += r.controlId == controlId;
        return count;
    }

    fake::FakePlatform os;
    Context ctx{os.bundle};
    PanelEvents events;
    std::unique_ptr<Form> formPtr = os.toolkit.CreateForm(FormKind::Main, events);
    VolumePanel panel{ctx, *formPtr};
    std::map<std::string, std::string> keys;
};

}  // namespace corvale::testing
