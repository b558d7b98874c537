// A text box's scroll bar, thin and flat in the box's own colours.
#pragma once

#include <windows.h>

#include "platform/scroll_bar.h"

namespace corvale::win32 {

// What the bar is drawn with: the box's colours and the form's density.
struct ScrollBarLook {
    COLORREF text = 0;
    COLORREF background = 0;
    int dpi = 96;
};

// The system's scroll bar is wide, and drawn in the system's colours, which
// no theme can change: on a dark face it is a bright white stripe. So the
// text box's Edit has no WS_VSCROLL, and this draws a bar of its own in a
// strip of the Edit's non-client area, on its right. The Edit keeps its
// scrolling (keys, selection, wheel, EM_LINESCROLL, EM_SCROLL) and its text
// wraps at the strip, since the strip is not client area; the bar reads the
// Edit's own position (EM_GETLINECOUNT, EM_GETFIRSTVISIBLELINE) after every
// message that reaches the Edit, so it follows whatever moved the text (the
// Edit tells its parent of no keyboard scrolling: EN_VSCROLL would not do),
// and sets it with EM_LINESCROLL and EM_SCROLL. The strip is there only
// while the text does not fit, so a box whose text fits is as before.
class ThinScrollBar {
public:
    // Answers the window messages that concern the bar; the rest go to
    // `base`, the Edit's own procedure.
    LRESULT Message(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC base,
                    const ScrollBarLook& look);

private:
    enum class Press { None, Thumb, PageUp, PageDown };

    LRESULT Base(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) const;
    void Follow(HWND hwnd);
    ScrollView ReadView(HWND hwnd);
    void Paint(HWND hwnd) const;
    int Width() const;
    int Shortest() const;
    // The window's height, and a point's distance from the window's top;
    // whether a screen point lies on the bar.
    int Track(HWND hwnd) const;
    int FromTop(HWND hwnd, POINT screen) const;
    bool OnBar(HWND hwnd, POINT screen) const;

    void PressAt(HWND hwnd, POINT screen);
    void DragTo(HWND hwnd, POINT screen);
    void PageAgain(HWND hwnd);
    void Page(HWND hwnd);
    void EndPress(HWND hwnd);
    void Wheel(HWND hwnd, int delta);

    WNDPROC base_ = nullptr;
    ScrollBarLook look_;
    bool shown_ = false;
    bool following_ = false;  // Follow is under way: the messages it causes do not start it again
    ScrollView view_;
    int lineHeight_ = 0;  // the Edit's line, the font's height; 0 until measured
    Press press_ = Press::None;
    int grab_ = 0;  // where in the thumb it was taken, in pixels
    WheelLines wheel_;
};

}  // namespace corvale::win32
