// frmMain's load sequence and the dispatch of its events.
#include "app/frm_main.h"

#include "app/startup.h"
#include "base/values.h"
#include "mixer/volume_panel.h"
#include "platform/system.h"
#include "prompt/frm_input.h"
#include "skin/animation.h"
#include "skin/hover.h"
#include "skin/layout_builder.h"
#include "skin/sound.h"
#include "sysinfo/info_panel.h"

namespace corvale {

FrmMain::FrmMain(Context& ctx) : ctx_(ctx) {}
FrmMain::~FrmMain() = default;

void FrmMain::Load() {
    ctx_.g.AppCaption = kAppCaption;
    ctx_.g.ProgramId = kProgramId;
    ctx_.g.StartupDone = false;
    form_ = ctx_.os.toolkit.CreateForm(FormKind::Main, *this);
    designColor_ = form_->BackColor();
    InitMainWindow();
    FillPanels(true);
    ctx_.g.StartupDone = true;
    FollowDisplayChanges();  // one that came while the face was being built
}

void FrmMain::FillPanels(bool tellMixerFailure) {
    mixerPanel_->OpenMixerPanel(tellMixerFailure);
    FillInfoPanel(ctx_, *form_, form_->Find(ControlArray::txtBox, 1), infoPanel_);
}

std::string FrmMain::Setting(const std::string& section, const std::string& key,
                             const std::string& fallback) {
    return ctx_.os.settings.Get(kSettingsApp, section, key, fallback);
}

void FrmMain::InitMainWindow() {
    if (Control* fake = form_->Find(ControlArray::cmdFake, 0)) {
        fake->SetLeft(-100);
        fake->SetVisible(false);
    }
    if (!ApplySingleInstanceRule()) ctx_.os.toolkit.EndProgram();
    form_->SetCaption(ctx_.g.AppCaption);
    ResetRemoteControl();
    PlaceWindow();
    ReadStoredSettings();
    ChooseLayoutSkin();
    ReadThemeSkinValues();
    ApplyLayoutSkinValues();
    form_->Show();
    ctx_.os.toolkit.DoEvents();
    BuildFace();
}

void FrmMain::BuildFace() {
    mixerPanel_ = std::make_unique<VolumePanel>(ctx_, *form_);
    builtFor_ = FaceFit{ctx_.g.LayoutSkinName, placedAt_};
    BuildSkinLayout(ctx_, *form_, "DEFAULT", ctx_.g.Main, ctx_.g.Animated, ctx_.g.AnimDelay,
                    ctx_.g.LayoutSkinPath());
}

bool FrmMain::ApplySingleInstanceRule() {
    Desktop& desktop = ctx_.os.desktop;
    if (!desktop.PreviousInstanceRunning()) return true;
    form_->SetCaption(kSecondInstanceCaption);
    const long long running = FindPreviousInstance(desktop.TopLevelWindows(), ctx_.g.AppCaption);
    if (running != -1) desktop.RaiseWindow(static_cast<WindowHandle>(running));
    return false;
}

void FrmMain::ResetRemoteControl() {
    ctx_.os.settings.Save(kSettingsApp, "EXIT", ctx_.g.AppCaption, "0");
    ctx_.os.settings.Save(kSettingsApp, "Voice", ctx_.g.ProgramId, "");
}

void FrmMain::PlaceWindow() { MoveTo(Placement()); }

void FrmMain::MoveTo(const TwipsRect& placement) {
    Toolkit& tk = ctx_.os.toolkit;
    placedAt_ = PixelRect(placement, tk.TwipsPerPixelX(), tk.TwipsPerPixelY());
    form_->Move(placement.left, placement.top, placement.width, placement.height);
}

// The saved rectangle, or the work area. A saved rectangle on a monitor that
// is gone (a laptop taken off its dock, a remote desktop at another size)
// would leave the borderless window where nobody can see or reach it.
TwipsRect FrmMain::Placement() {
    Toolkit& tk = ctx_.os.toolkit;
    const int tppx = tk.TwipsPerPixelX();
    const int tppy = tk.TwipsPerPixelY();
    std::optional<ScreenSettings> saved;
    if (ReadBoolean(Setting("General", "Running", "False")).value_or(false)) {
        auto number = [&](const char* key) { return WholeNumber(Setting("Screen", key, "")); };
        saved = ScreenSettings{number("Left"), number("Top"), number("Right"), number("Bottom")};
    }
    const TwipsRect placement = MainWindowPlacement(tk.WorkArea(), tppx, tppy, saved);
    if (!saved) return placement;
    const Rect pixels = PixelRect(placement, tppx, tppy);
    const NearestMonitor monitor = tk.MonitorNearest(pixels);
    if (monitor.holdsRect) return placement;
    return WorkAreaTwips(OntoWorkArea(pixels, monitor.workArea), tppx, tppy);
}

void FrmMain::ReadStoredSettings() {
    ctx_.g.ProgramDir = Setting("Default", "ProgramDir", "");
    ctx_.g.ThemeDir = Setting("Default", "ThemeDir", "");
    ctx_.g.ControlCount = form_->ControlCount();
    ctx_.g.Password = Setting("DEFAULT", "Password", "");
}

void FrmMain::ChooseLayoutSkin() { ctx_.g.LayoutSkinName = LayoutSkinForScreen(); }

std::string FrmMain::LayoutSkinForScreen() {
    const std::string width = WidthLayoutSkinName(ctx_.g.ProgramId, ctx_.os.toolkit.ScreenWidthPixels());
    if (ctx_.skin.ReadSkinValue("DEFAULT", "BackGround", ctx_.g.ThemeFolder() + width + ".skn")) return width;
    return ctx_.g.ProgramId;
}

void FrmMain::ReadThemeSkinValues() {
    const std::string theme = ctx_.g.ThemeSkinPath();
    if (ctx_.skin.ReadSkinValue("DEFAULT", "Animated", theme))
        ctx_.g.Animated = ReadBoolean(ctx_.skin.SkinValue).value_or(ctx_.g.Animated);
    if (ctx_.skin.ReadSkinValue("DEFAULT", "AnimDelay", theme))
        ctx_.g.AnimDelay = ReadLong(ctx_.skin.SkinValue).value_or(ctx_.g.AnimDelay);
}

void FrmMain::ApplyLayoutSkinValues() {
    ApplyLayoutBackGround();
    if (ctx_.skin.ReadSkinValue("DEFAULT", "StartupSound", ctx_.g.LayoutSkinPath())) {
        const std::string sound = ctx_.skin.SkinValue;
        PlaySkinSound(ctx_, sound);
    }
}

void FrmMain::ApplyLayoutBackGround() {
    if (ctx_.skin.ReadSkinValue("DEFAULT", "BackGround", ctx_.g.LayoutSkinPath()))
        if (const auto color = ParseBackGround(ctx_.skin.SkinValue)) form_->SetBackColor(*color);
}

// --- events ----------------------------------------------------------------

void FrmMain::UpdateButtonHover() {
    if (Closing) return;
    corvale::UpdateButtonHover(ctx_, *form_, ctx_.g.Main);
}

// Presses, moves and releases anywhere refresh the hover state; on a slider
// they first set the volume.
void FrmMain::MouseEventOf(ControlRef source, const MouseEvent& e) {
    // The pointer over the panel: some of it shows, whatever was said last.
    if (rest_.Resting()) ApplySight(form_->SightNow());
    if (source.array == ControlArray::imgVol && mixerPanel_) mixerPanel_->imgVol_Mouse(source.index, e);
    UpdateButtonHover();
}

void FrmMain::OnMouseDown(ControlRef source, const MouseEvent& e) { MouseEventOf(source, e); }
void FrmMain::OnMouseMove(ControlRef source, const MouseEvent& e) { MouseEventOf(source, e); }
void FrmMain::OnMouseUp(ControlRef source, const MouseEvent& e) { MouseEventOf(source, e); }

void FrmMain::OnClick(ControlRef source) {
    if (source.array == ControlArray::imgBut) ClickButton(source.index);
    else if (source.array == ControlArray::imgMute && mixerPanel_) mixerPanel_->imgMute_Click(source.index);
}

void FrmMain::OnTimer(ControlRef source) {
    if (!rest_.LetTick(*form_, source)) return;
    switch (source.array) {
        case ControlArray::tmrMouse: UpdateButtonHover(); break;
        case ControlArray::tmrExit: tmrExit_Timer(); break;
        case ControlArray::tmrAudio:
            if (mixerPanel_) mixerPanel_->tmrAudio_Timer();
            break;
        case ControlArray::tmrAnim:
            if (!Closing) AdvanceAnimation(*form_, ctx_.g.Main, source.index, ctx_.os.toolkit.Now());
            break;
        default: break;
    }
}

// --- rest while nobody can see the panel ------------------------------------

void FrmMain::OnSightChange(const Sight& sight) { ApplySight(sight); }

// The teardown leaves its timers as it takes them: a return during it must
// start none of them again.
void FrmMain::ApplySight(const Sight& sight) {
    if (Closing || !form_) return;
    if (rest_.Apply(*form_, sight) == SightTurn::Returned) CatchUp();
}

void FrmMain::CatchUp() {
    if (mixerPanel_) mixerPanel_->tmrAudio_Timer();
    UpdateButtonHover();
}

// --- remote control and exit ---------------------------------------------

void FrmMain::tmrExit_Timer() {
    if (Setting("EXIT", ctx_.g.AppCaption, "0") == "1") {
        if (Control* timer = form_->Find(ControlArray::tmrExit, 0)) timer->SetEnabled(false);
        CloseProgram();
    }
    if (CoverCheckDue(rest_.LastSight())) ApplySight(form_->SightNow());
    if (!ctx_.g.StartupDone || promptOpen_) return;
    const std::string command = Setting("Voice", ctx_.g.ProgramId, "");
    if (command.empty()) return;
    // Every button with exactly this command runs, lowest index first; the
    // list is read afresh because a click lets events run. The buttons are
    // this face's: a display change waits until they all have run.
    ++clicksUnderWay_;
    for (size_t i = 1; i < ctx_.g.Main.ButtonCommand.size(); ++i) {
        if (ctx_.g.Main.ButtonCommand[i] != command) continue;
        ctx_.os.settings.Save(kSettingsApp, "Voice", ctx_.g.ProgramId, "");
        ClickButton(static_cast<int>(i));
    }
    --clicksUnderWay_;
    FollowDisplayChanges();
}

// Alt+F4, the taskbar or another program: the same exit as a QUIT button,
// once.
void FrmMain::OnCloseRequest() {
    if (!Closing) CloseProgram();
}

// The session is ending and the system waits for no one: the mixer is
// closed, the pause and the paced teardown are left out.
void FrmMain::OnSessionEnd() {
    Closing = true;
    if (mixerPanel_ && mixerPanel_->MixerHandle() != 0) mixerPanel_->CloseMixerPanel();
    ctx_.os.toolkit.EndProgram();
}

void FrmMain::CloseProgram() {
    Closing = true;
    ctx_.os.toolkit.Sleep(2000);
    if (mixerPanel_ && mixerPanel_->MixerHandle() != 0) mixerPanel_->CloseMixerPanel();
    UnloadSkinControls(ctx_, *form_);
    ctx_.os.toolkit.EndProgram();
}

// --- what a click needs --------------------------------------------------

void FrmMain::PlaySound(const std::string& name) { PlaySkinSound(ctx_, name); }

bool FrmMain::ShowPasswordPrompt() {
    promptOpen_ = true;
    FrmInput prompt(ctx_, IsWindowsNT(), MainWindow());
    const bool answered = prompt.ShowModal();
    promptOpen_ = false;
    return answered;
}

bool FrmMain::IsWindowsNT() { return corvale::IsWindowsNT(ctx_.os.probes); }

WindowHandle FrmMain::MainWindow() { return form_ ? form_->Handle() : 0; }

}  // namespace corvale
