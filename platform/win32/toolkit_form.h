// A Win32 form: a borderless top-level window with its design-time controls
// and the control-array elements made from them.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/display_scale.h"
#include "platform/toolkit.h"
#include "platform/win32/handles.h"
#include "platform/win32/picture.h"
#include "platform/win32/toolkit_control.h"
#include "platform/win32/toolkit_input.h"
#include "platform/win32/visibility_win32.h"

namespace corvale::win32 {

class Win32Form final : public Form, private ControlHost {
public:
    // `owner` null: a window of its own; else one that stays above it.
    Win32Form(FormKind kind, FormEvents& events, HWND owner = nullptr);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(window_.get()); }
    void SetCaption(const std::string& caption) override;
    std::string Caption() const override { return caption_; }
    Color BackColor() const override { return backColor_; }
    void SetBackColor(Color color) override;
    double Left() const override;
    double Top() const override;
    double Width() const override;
    double Height() const override;
    void Move(double left, double top, double width, double height) override;
    void SetOuterSize(double width, double height) override;
    int ScaleWidth() const override;
    int ScaleHeight() const override;
    bool SetFont(const std::string& name, double points) override;
    double TextWidth(const std::string& text) const override;
    bool SetPicture(PicturePtr picture) override;
    void SetOutlineColor(Color mask) override;
    Control* Create(ControlArray array, int index) override;
    Control* Find(ControlArray array, int index) override { return Get(array, index); }
    int ControlCount() const override { return static_cast<int>(controls_.size()); }
    Control* ControlAt(int position) override;
    bool Unload(Control& control) override;
    void Show() override;
    bool ShowModal() override;
    void Close() override;
    void Refresh() override;
    Sight SightNow() override;

    // Hands every form's gathered invalidations to the system. Called
    // before messages are read and after each message is handled, so a
    // paint is never left waiting for a region nobody has handed over.
    static void FlushPendingPaints();

    // The density a form of the program is drawn at; for any other window,
    // the system's answer for it.
    static int DpiOf(HWND window);

private:
    // ControlHost
    HWND FormWindow() const override { return window_.get(); }
    FormEvents& Events() override { return events_; }
    // Gathered into one region: placing a windowless picture writes four
    // properties, each of which changes an area, and under Wine every
    // invalidation is a trip to the server.
    void InvalidateArea(const RECT& area) override;
    bool AddToPendingPaint(const RECT& area);
    void FlushPendingPaint();
    int NextZ() override { return ++zCounter_; }
    UINT_PTR NextTimerId() override { return ++timerCounter_; }
    int Dpi() const override { return dpi_; }

    // Window messages (toolkit_form_messages.cpp).
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleMessage(HWND, UINT, WPARAM, LPARAM);
    void OnPaint(HWND);
    void OnMouse(const MouseMessage& m);
    void OnTimerMessage(UINT_PTR id);
    LRESULT OnControlColor(HWND, UINT, WPARAM, LPARAM);
    void OnCloseRequest();
    void OnDpiChanged(int dpi, const RECT& suggested);
    void OnDisplayChange();
    void OnSettingChange(WPARAM what);

    // The main window's sight (toolkit_form_sight.cpp): the core hears of
    // a change only.
    void TellSight();
    void OnSessionChange(WPARAM reason);
    LRESULT OnPowerBroadcast(HWND, WPARAM, LPARAM);
    void OnSightLook();

    void AddDesignControls();
    Win32Control& Add(ControlArray array, int index, ControlProps props, bool designTime);
    Win32Control* Get(ControlArray array, int index) const;
    Win32Control* ByWindow(HWND window) const;
    Win32Control* ByTimer(UINT_PTR id) const;
    ControlRef HitTest(int x, int y) const;
    POINT OriginOf(ControlRef ref) const;
    RECT OuterRect() const;
    void CentreOnScreen();
    // The outer rectangle in skin pixels, edge by edge.
    RECT OuterSkinRect() const;
    void MoveToDevice(const RECT& r, UINT flags);
    void FocusInput();
    void DestroyWindowNow();

    // The prompt and the keyboard (toolkit_form_focus.cpp).
    void ComeForward();
    void OnActivated();
    void StopWaitingForClick();

    FormKind kind_;
    FormEvents& events_;
    int dpi_ = kSkinDpi;
    std::string caption_;
    Color backColor_ = 0x8000000F;  // the button face, until a skin gives a colour
    std::string fontName_ = "MS Sans Serif";
    double fontSize_ = 8;
    UniqueFont font_;
    PicturePtr picture_;
    std::shared_ptr<const Win32Picture> drawable_;
    std::optional<COLORREF> outlineColor_;
    RECT lastRect_{};  // the outer rectangle, kept for when the window is gone
    int zCounter_ = 0;
    UINT_PTR timerCounter_ = 0;

    // The mouse belongs to what it was pressed on until every button is up.
    bool capturing_ = false;
    ControlRef captureTarget_;
    bool leftPressed_ = false;
    ControlRef leftPressTarget_;

    bool modal_ = false;
    bool closeRequested_ = false;
    bool waitingForClick_ = false;  // Windows refused the prompt the foreground

    UniqueWindow window_;
    std::unique_ptr<SightWatch> sight_;  // the main window's; goes before the window
    Sight told_;
    UniqueRegion pendingPaint_;                            // what has changed since the last hand-over
    std::vector<std::unique_ptr<Win32Control>> controls_;  // creation order; destroyed before the window
    // The same controls by array and index, and the timers by id: the hover
    // and animation handlers look controls up on every tick, and a skin with
    // long animations has thousands of frames.
    std::map<std::pair<ControlArray, int>, Win32Control*> byRef_;
    std::map<UINT_PTR, Win32Control*> byTimer_;
};

}  // namespace corvale::win32
