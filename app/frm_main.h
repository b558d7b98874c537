// frmMain: the panel's main window, its start-up, its event handlers, the
// exit sequence and the remote control through the settings store.
#pragma once

#include <memory>

#include "app/display_change.h"
#include "app/rest.h"
#include "commands/button_click.h"
#include "platform/toolkit.h"
#include "skin/context.h"
#include "sysinfo/probes.h"

namespace corvale {

class VolumePanel;

class FrmMain : public FormEvents, private ClickHost {
public:
    explicit FrmMain(Context& ctx);
    ~FrmMain() override;

    // The load event: the whole start-up sequence.
    void Load();
    // The exit sequence; does not return.
    void CloseProgram() override;

    Form& form() { return *form_; }
    bool Closing = false;

    void OnMouseDown(ControlRef source, const MouseEvent& e) override;
    void OnMouseMove(ControlRef source, const MouseEvent& e) override;
    void OnMouseUp(ControlRef source, const MouseEvent& e) override;
    void OnClick(ControlRef source) override;
    void OnTimer(ControlRef source) override;
    void OnCloseRequest() override;
    void OnSessionEnd() override;
    // A new screen size, monitors or work area (frm_main_display.cpp).
    void OnDisplayChange() override;
    void OnSightChange(const Sight& sight) override;

private:
    void InitMainWindow();
    // Returns false when another instance runs (this one must end).
    bool ApplySingleInstanceRule();
    void ResetRemoteControl();
    void PlaceWindow();
    void ReadStoredSettings();
    void ChooseLayoutSkin();
    void ReadThemeSkinValues();
    void ApplyLayoutSkinValues();
    void ApplyLayoutBackGround();
    TwipsRect Placement();
    std::string LayoutSkinForScreen();
    void MoveTo(const TwipsRect& placement);
    void BuildFace();
    void FillPanels(bool tellMixerFailure);

    // Following the displays (frm_main_display.cpp).
    void FollowDisplayChanges();
    void RebuildFace(const TwipsRect& placement, const std::string& layoutSkin);
    void ClickButton(int index);

    void UpdateButtonHover();
    void MouseEventOf(ControlRef source, const MouseEvent& e);
    void tmrExit_Timer();
    void ApplySight(const Sight& sight);
    // Back from resting: the face shows what changed while nobody looked.
    void CatchUp();

    // What a button click needs of the main window.
    void PlaySound(const std::string& name) override;
    bool ShowPasswordPrompt() override;
    bool IsWindowsNT() override;
    WindowHandle MainWindow() override;

    std::string Setting(const std::string& section, const std::string& key, const std::string& fallback);

    Context& ctx_;
    std::unique_ptr<Form> form_;
    std::unique_ptr<VolumePanel> mixerPanel_;
    InfoPanelState infoPanel_;
    // While the prompt is up, Voice commands wait in the store.
    bool promptOpen_ = false;
    // The face as built, against which a display change is judged; a
    // change that comes while the face is being built or a click is under
    // way waits for them to end.
    FaceFit builtFor_;
    Rect placedAt_;
    bool displayChanged_ = false;
    int clicksUnderWay_ = 0;
    Color designColor_ = 0;
    PanelRest rest_;
};

}  // namespace corvale
