// The window toolkit: forms, their controls, pictures, timers and the
// runtime services that the forms' handlers call.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/types.h"

namespace corvale {

// One control of a form: a text box, a picture, a picture button or a timer.
// Positions and sizes are skin pixels of the form's client area. Setters return
// false when the control refuses the value; the control then keeps what it
// had.
class Control {
public:
    virtual ~Control() = default;

    virtual ControlRef Ref() const = 0;

    virtual int Left() const = 0;
    virtual int Top() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool SetLeft(int value) = 0;
    virtual bool SetTop(int value) = 0;
    virtual bool SetWidth(int value) = 0;
    virtual bool SetHeight(int value) = 0;

    // Timers have no visibility of their own: HasVisibility() is false and
    // Visible() reads false.
    virtual bool HasVisibility() const = 0;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool value) = 0;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool value) = 0;

    virtual Color BackColor() const = 0;
    virtual bool SetBackColor(Color value) = 0;
    virtual bool SetForeColor(Color value) = 0;
    virtual std::string FontName() const = 0;
    virtual double FontSize() const = 0;
    virtual bool SetFontName(const std::string& name) = 0;
    virtual bool SetFontSize(double points) = 0;

    virtual std::string Text() const = 0;
    virtual bool SetText(const std::string& text) = 0;
    // 0 shows the text as typed.
    virtual bool SetPasswordChar(char mask) = 0;

    virtual std::string Tag() const = 0;
    virtual void SetTag(const std::string& tag) = 0;

    virtual bool SetStretch(bool value) = 0;
    virtual PicturePtr Picture() const = 0;
    // nullptr clears the picture.
    virtual bool SetPicture(PicturePtr picture) = 0;

    // Timers: an interval of 0 never fires.
    virtual int Interval() const = 0;
    virtual bool SetInterval(int milliseconds) = 0;

    // 0 for controls without a window of their own.
    virtual WindowHandle Handle() const = 0;

    virtual void BringToFront() = 0;
};

// What the system says of whether anyone can see a form. Each is a fact the
// system reports; what the program makes of them is the program's own.
struct Sight {
    bool minimised = false;
    // Every pixel of the window lies under visible top-level windows above
    // it, or off every screen.
    bool covered = false;
    bool sessionLocked = false;
    bool displayOff = false;
    friend bool operator==(const Sight&, const Sight&) = default;
};

// What the backend calls when something happens on a form. The form's core
// object implements it; every handler may run while another handler of the
// same form is in the middle of letting pending events run.
class FormEvents {
public:
    virtual ~FormEvents() = default;
    virtual void OnMouseDown(ControlRef, const MouseEvent&) {}
    virtual void OnMouseMove(ControlRef, const MouseEvent&) {}
    virtual void OnMouseUp(ControlRef, const MouseEvent&) {}
    virtual void OnClick(ControlRef) {}
    virtual void OnKeyUp(ControlRef, const KeyEvent&) {}
    virtual void OnTimer(ControlRef) {}
    // The system, the user (Alt+F4) or another program asks the window to close.
    virtual void OnCloseRequest() {}
    // The user's session ends: the program has a moment to go, no more.
    virtual void OnSessionEnd() {}
    // The screen's size, the monitors or the work area have changed.
    virtual void OnDisplayChange() {}
    // What can be seen of the main window changed: it was minimised or
    // restored, the session was locked or unlocked, the display went off
    // or on, or other windows came over it or went.
    virtual void OnSightChange(const Sight&) {}
};

enum class FormKind {
    Main,   // frmMain: borderless, pixel scale, with the design-time controls
    Input,  // frmInput: borderless, centred, with txtInput and its arrays
};

class Form {
public:
    virtual ~Form() = default;

    virtual WindowHandle Handle() const = 0;

    virtual void SetCaption(const std::string& caption) = 0;
    virtual std::string Caption() const = 0;
    virtual Color BackColor() const = 0;
    virtual void SetBackColor(Color color) = 0;

    // Outer position and size in twips.
    virtual double Left() const = 0;
    virtual double Top() const = 0;
    virtual double Width() const = 0;
    virtual double Height() const = 0;
    virtual void Move(double left, double top, double width, double height) = 0;
    virtual void SetOuterSize(double width, double height) = 0;

    // Client area in skin pixels, read afresh on every call.
    virtual int ScaleWidth() const = 0;
    virtual int ScaleHeight() const = 0;

    // The form's own font, used for measuring text.
    virtual bool SetFont(const std::string& name, double points) = 0;
    // Width of text in the form's font, in twips.
    virtual double TextWidth(const std::string& text) const = 0;

    // The background picture, drawn at the top-left corner.
    virtual bool SetPicture(PicturePtr picture) = 0;
    // The colour of the background picture that the window's outline leaves
    // out (the prompt's mask): wherever the picture is drawn larger, it stays
    // exactly that colour and no neighbour is blended with it.
    virtual void SetOutlineColor(Color mask) = 0;

    // Element 0 of each array and the single controls exist from the start.
    // Create makes element `index` from element 0 of its array, hidden;
    // it returns nullptr when the element exists already or cannot be made.
    virtual Control* Create(ControlArray array, int index) = 0;
    virtual Control* Find(ControlArray array, int index) = 0;
    // The form's controls in order of creation, design-time controls first.
    virtual int ControlCount() const = 0;
    virtual Control* ControlAt(int position) = 0;
    // Removes a created element; design-time controls cannot be unloaded.
    virtual bool Unload(Control& control) = 0;

    virtual void Show() = 0;
    // Shows the form modally and returns once it has been unloaded: true
    // when it was closed, false when the program was told to quit meanwhile.
    virtual bool ShowModal() = 0;
    // Closes the window; a modal ShowModal returns.
    virtual void Close() = 0;
    virtual void Refresh() = 0;

    // The main window's sight as the system says it now; whether other
    // windows cover it is worked out afresh on each call. Other forms are
    // always seen.
    virtual Sight SightNow() = 0;
};

struct NearestMonitor {
    bool holdsRect = true;  // false: the rectangle lies on no monitor at all
    Rect workArea;          // the monitor's usable area, in skin pixels
};

// Runtime services of the toolkit.
class Toolkit {
public:
    virtual ~Toolkit() = default;

    std::unique_ptr<Form> CreateForm(FormKind kind, FormEvents& events) {
        return CreateOwnedForm(kind, events, 0);
    }
    // A form that stays above `owner` (0: none), as a modal prompt stays
    // above the window it was opened from.
    virtual std::unique_ptr<Form> CreateOwnedForm(FormKind kind, FormEvents& events, WindowHandle owner) = 0;

    // A picture file; on a dense display a fitting denser variant beside it
    // (see ChoosePictureFile) is drawn instead, at the plain picture's size.
    virtual PicturePtr LoadPicture(const std::string& path) = 0;
    virtual PicturePtr LoadPictureFromBytes(std::span<const std::uint8_t> bytes) = 0;
    // Pictures of which `density` pixels make one skin pixel, such as the
    // frames of a denser variant: their size is their pixels over `density`.
    virtual PicturePtr LoadDensePictureFromBytes(std::span<const std::uint8_t> bytes, int density) = 0;
    // The file this display draws the picture at `path` from: a denser
    // variant beside it (title@2x.bmp) when one fits, else `path` itself.
    virtual PictureFile ChoosePictureFile(const std::string& path) = 0;

    // Lets pending window events run once.
    virtual void DoEvents() = 0;
    // Blocks the user-interface thread; no events run.
    virtual void Sleep(int milliseconds) = 0;
    // Milliseconds on a clock that never goes back, from any start.
    virtual long long Now() const = 0;
    virtual void MessageBox(const std::string& text) = 0;

    // The screen in skin pixels (1/96 inch, 15 twips), at every density.
    virtual int ScreenWidthPixels() const = 0;
    virtual int TwipsPerPixelX() const = 0;
    virtual int TwipsPerPixelY() const = 0;
    // The usable screen area (the work area) in skin pixels.
    virtual Rect WorkArea() const = 0;
    // The monitor a rectangle of the screen (skin pixels) lies on most, or
    // the nearest one when it lies on none.
    virtual NearestMonitor MonitorNearest(const Rect& r) const = 0;

    virtual Point CursorPos() const = 0;
    virtual WindowHandle WindowFromPoint(Point screen) const = 0;

    // Ends the process at once.
    [[noreturn]] virtual void EndProgram() = 0;
};

}  // namespace corvale
