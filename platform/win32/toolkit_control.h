// One control of a Win32 form: a child window (text boxes, picture buttons,
// the command button), a windowless picture the form paints, or a timer.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/toolkit.h"
#include "platform/win32/handles.h"
#include "platform/win32/picture.h"
#include "platform/win32/toolkit_control_scroll.h"
#include "platform/win32/toolkit_input.h"

namespace corvale::win32 {

enum class ControlKind {
    TextBox,        // txtBox: multi-line, read-only, a thin scroll bar of its own
    InputBox,       // txtInput: single line, editable
    PictureButton,  // imgBut: a window of its own
    CommandButton,  // cmdFake
    Image,          // imgPic, imgGif, imgVol, imgLbl, imgMute, imgMeter: windowless
    Timer,
};

ControlKind KindOf(ControlArray array);

// What Create copies from a template, and the rest of a control's state.
struct ControlProps {
    int left = 0, top = 0, width = 0, height = 0;
    bool visible = false;
    bool enabled = true;
    Color backColor = 0xFFFFFF;
    Color foreColor = 0;
    std::string fontName = "Courier New";
    double fontSize = 10;
    std::string text;
    char passwordChar = 0;
    std::string tag;
    bool stretch = false;
    PicturePtr picture;
    int interval = 0;
};

// The properties a new element takes from element 0 of its array.
ControlProps CopiedFromTemplate(const ControlProps& templ);

// What a control needs of the form it sits on.
class ControlHost {
public:
    virtual HWND FormWindow() const = 0;
    virtual FormEvents& Events() = 0;
    virtual void InvalidateArea(const RECT& area) = 0;
    virtual int NextZ() = 0;
    virtual UINT_PTR NextTimerId() = 0;
    // The density the form is drawn at; controls keep skin pixels and
    // place, size, draw and read the mouse in device pixels of this.
    virtual int Dpi() const = 0;

protected:
    ~ControlHost() = default;
};

void DeliverMouse(FormEvents& events, ControlRef source, MousePhase phase, const MouseEvent& e);

class Win32Control final : public Control {
public:
    Win32Control(ControlHost& host, ControlRef ref, bool designTime, ControlProps props);
    ~Win32Control() override;
    Win32Control(const Win32Control&) = delete;
    Win32Control& operator=(const Win32Control&) = delete;

    ControlRef Ref() const override { return ref_; }
    int Left() const override { return props_.left; }
    int Top() const override { return props_.top; }
    int Width() const override { return props_.width; }
    int Height() const override { return props_.height; }
    bool SetLeft(int value) override;
    bool SetTop(int value) override;
    bool SetWidth(int value) override;
    bool SetHeight(int value) override;
    bool HasVisibility() const override { return kind_ != ControlKind::Timer; }
    bool Visible() const override { return HasVisibility() && props_.visible; }
    void SetVisible(bool value) override;
    bool Enabled() const override { return props_.enabled; }
    void SetEnabled(bool value) override;
    Color BackColor() const override { return props_.backColor; }
    bool SetBackColor(Color value) override;
    bool SetForeColor(Color value) override;
    std::string FontName() const override { return props_.fontName; }
    double FontSize() const override { return props_.fontSize; }
    bool SetFontName(const std::string& name) override;
    bool SetFontSize(double points) override;
    std::string Text() const override;
    bool SetText(const std::string& text) override;
    bool SetPasswordChar(char mask) override;
    std::string Tag() const override { return props_.tag; }
    void SetTag(const std::string& tag) override { props_.tag = tag; }
    bool SetStretch(bool value) override;
    PicturePtr Picture() const override { return props_.picture; }
    bool SetPicture(PicturePtr picture) override;
    int Interval() const override { return props_.interval; }
    bool SetInterval(int milliseconds) override;
    WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(window_.get()); }
    void BringToFront() override;

    // For the form.
    ControlKind Kind() const { return kind_; }
    bool DesignTime() const { return designTime_; }
    const ControlProps& Props() const { return props_; }
    HWND Window() const { return window_.get(); }
    UINT_PTR TimerId() const { return timerId_; }
    int Z() const { return z_; }
    // The control's rectangle in device pixels of the form.
    RECT Bounds() const;
    // Whether the skin pixel (x, y) of the form is the control's.
    bool Contains(int x, int y) const;
    // A windowless picture that is shown and enabled takes the mouse.
    bool TakesMouse() const;
    void PaintWindowless(HDC dc) const;
    // WM_CTLCOLOR*: sets the DC's colours and gives the background brush.
    HBRUSH PrepareColors(HDC dc) const;
    // The form's density has changed: place and size the window anew and
    // make its font for the new density. Pictures follow when next painted.
    void Rescale();
    // The input box: words shown in it while it is empty, which are not its
    // text; empty for none.
    void SetCue(const std::wstring& cue);

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    void HookWindowProc(HWND);
    void UnhookWindowProc(HWND);
    LRESULT CallBase(HWND, UINT, WPARAM, LPARAM) const;
    LRESULT ButtonMessage(HWND, UINT, WPARAM, LPARAM);
    LRESULT InputMessage(HWND, UINT, WPARAM, LPARAM);
    ScrollBarLook ScrollLook() const;
    LRESULT ButtonMouse(HWND, const MouseMessage& m);
    void PaintButton(HWND);
    void PaintCue(HWND) const;

    void CreateChildWindow();
    void ApplyBounds(const RECT& before);
    // A mouse message's point, in the button's own device pixels, as skin
    // pixels from the button's corner.
    POINT SkinPointOf(const MouseMessage& m) const;
    void ApplyFont(UniqueFont font);
    void RepaintInColours() const;
    void Rearm();
    bool HasText() const { return kind_ == ControlKind::TextBox || kind_ == ControlKind::InputBox; }
    bool HasPicture() const { return kind_ == ControlKind::Image || kind_ == ControlKind::PictureButton; }
    bool Windowed() const { return kind_ != ControlKind::Image && kind_ != ControlKind::Timer; }

    ControlHost& host_;
    ControlRef ref_;
    ControlKind kind_;
    bool designTime_;
    ControlProps props_;
    int z_;
    UINT_PTR timerId_ = 0;
    WNDPROC baseProc_ = nullptr;  // the window class's own procedure
    bool leftPressed_ = false;    // a press of the left button that may become a click
    std::wstring cue_;
    ThinScrollBar scrollBar_;  // a text box's
    std::shared_ptr<const Win32Picture> drawable_;
    UniqueBrush brush_;
    UniqueFont font_;
    UniqueWindow window_;  // last: destroyed before the font and brush it uses
};

}  // namespace corvale::win32
