// The forms' design: the controls each form is made with, and the size it
// has until the program sizes it. The Win32 toolkit, the fake toolkit and
// their tests all read it from here.
#pragma once

#include <span>

#include "platform/toolkit.h"
#include "platform/types.h"

namespace corvale {

// A design-time control: element 0 of a control array (the template its
// run-time elements are copied from), a single control, or, for the mixer's
// arrays, every element from 0 to count - 1.
struct DesignControl {
    ControlArray array = ControlArray::Form;
    int count = 1;
    int left = 0, top = 0, width = 0, height = 0;  // pixels of the client area
    bool visible = false;
    bool stretch = false;
    int interval = 0;  // timers; 0 never fires
    bool enabled = true;
    Color backColor = 0xFFFFFF;  // white: for imgBut, the not-hovered mark
};

// The main window: the skin's arrays, the three timers of its own, then the
// volume panel's sliders, labels, switches and the slider's 23 pictures.
// The order is part of the design: the count before the skin is built tells
// the teardown where the skin's own controls begin.
inline constexpr DesignControl kMainFormDesign[] = {
    {ControlArray::cmdFake, 1, 0, 0, 75, 25},
    {ControlArray::txtBox, 1, 0, 0, 120, 60},
    {ControlArray::imgPic, 1, 0, 0, 32, 32, false, true},
    {ControlArray::imgBut, 1, 0, 0, 32, 32},
    {ControlArray::imgGif, 1, 0, 0, 32, 32, false, true},
    {ControlArray::tmrAnim, 1, 0, 0, 0, 0, false, false, 0, false},
    {ControlArray::tmrMouse, 1, 0, 0, 0, 0, false, false, 100, true},
    {ControlArray::tmrExit, 1, 0, 0, 0, 0, false, false, 500, true},
    {ControlArray::tmrAudio, 1, 0, 0, 0, 0, false, false, 250, false},
    {ControlArray::imgVol, 10, 0, 0, 32, 32, false, true},
    {ControlArray::imgLbl, 10, 0, 0, 32, 32, false, true},
    {ControlArray::imgMute, 10, 0, 0, 32, 32, false, true},
    {ControlArray::imgMeter, 23, 0, 0, 32, 32, false, true},
};

// The password prompt: its input box (shown from the start) and the arrays
// its skin section builds.
inline constexpr DesignControl kInputFormDesign[] = {
    {ControlArray::txtInput, 1, 0, 0, 120, 20, true},
    {ControlArray::imgPic, 1, 0, 0, 32, 32, false, true},
    {ControlArray::imgBut, 1, 0, 0, 32, 32},
    {ControlArray::imgGif, 1, 0, 0, 32, 32, false, true},
    {ControlArray::tmrAnim, 1, 0, 0, 0, 0, false, false, 0, false},
    {ControlArray::tmrMouse, 1, 0, 0, 0, 0, false, false, 100, true},
};

inline constexpr std::span<const DesignControl> FormDesign(FormKind kind) {
    if (kind == FormKind::Main) return kMainFormDesign;
    return kInputFormDesign;
}

// Every form is made 320 x 240 pixels. The prompt lays its skin entries out
// at that size, before it takes its picture's, so entries placed from its
// right or bottom edge count from there.
inline constexpr int kFormDesignWidth = 320;
inline constexpr int kFormDesignHeight = 240;

}  // namespace corvale
