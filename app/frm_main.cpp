// frmMain's load sequence and the dispatch of its events.
#include "app/frm_main.h"

#include "app/startup.h"
#include "platform/system.h"
#include "skin/values.h"

namespace corvale {

FrmMain::FrmMain(Context& ctx) : ctx_(ctx) {}
FrmMain::~FrmMain() = default;

void FrmMain::Load() {
    ctx_.g.AppCaption = kAppCaption;
    ctx_.g.ProgramId = kProgramId;
    ctx_.g.StartupDone = false;
    form_ = ctx_.os.toolkit.CreateForm(FormKind::Main, *this);
    InitMainWindow();
    ctx_.g.StartupDone = true;
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

void FrmMain::PlaceWindow() {
    Toolkit& tk = ctx_.os.toolkit;
    const int tppx = tk.TwipsPerPixelX();
    const int tppy = tk.TwipsPerPixelY();
    const TwipsRect workArea = WorkAreaTwips(tk.WorkArea(), tppx, tppy);
    const bool running = ReadBoolean(Setting("General", "Running", "False")).value_or(false);
    TwipsRect placement = workArea;
    if (running) {
        auto number = [&](const char* key) { return WholeNumber(Setting("Screen", key, "")); };
        const ScreenSettings screen{number("Left"), number("Top"), number("Right"), number("Bottom")};
        placement = SavedPlacement(screen, workArea, tppx, tppy);
    }
    form_->Move(placement.left, placement.top, placement.width, placement.height);
}

void FrmMain::ReadStoredSettings() {
    ctx_.g.ProgramDir = Setting("Default", "ProgramDir", "");
    ctx_.g.ThemeDir = Setting("Default", "ThemeDir", "");
    ctx_.g.ControlCount = form_->ControlCount();
    ctx_.g.Password = Setting("DEFAULT", "Password", "");
}

void FrmMain::ChooseLayoutSkin() {
    Toolkit& tk = ctx_.os.toolkit;
    ctx_.g.LayoutSkinName = WidthLayoutSkinName(ctx_.g.ProgramId, tk.ScreenWidthPixels());
    if (!ctx_.skin.ReadSkinValue("DEFAULT", "BackGround", ctx_.g.LayoutSkinPath()))
        ctx_.g.LayoutSkinName = ctx_.g.ProgramId;
}

void FrmMain::ReadThemeSkinValues() {
    const std::string theme = ctx_.g.ThemeSkinPath();
    if (ctx_.skin.ReadSkinValue("DEFAULT", "Animated", theme))
        ctx_.g.Animated = ReadBoolean(ctx_.skin.SkinValue).value_or(ctx_.g.Animated);
    if (ctx_.skin.ReadSkinValue("DEFAULT", "AnimDelay", theme))
        ctx_.g.AnimDelay = ReadLong(ctx_.skin.SkinValue).value_or(ctx_.g.AnimDelay);
}

void FrmMain::ApplyLayoutSkinValues() {
    const std::string layout = ctx_.g.LayoutSkinPath();
    if (ctx_.skin.ReadSkinValue("DEFAULT", "BackGround", layout))
        if (const auto color = ParseBackGround(ctx_.skin.SkinValue)) form_->SetBackColor(*color);
    if (ctx_.skin.ReadSkinValue("DEFAULT", "StartupSound", layout)) {
        const std::string sound = ctx_.skin.SkinValue;
        (void)sound;  // played once sound playback exists
    }
}

void FrmMain::OnMouseDown(ControlRef, const MouseEvent&) {}
void FrmMain::OnMouseMove(ControlRef, const MouseEvent&) {}
void FrmMain::OnMouseUp(ControlRef, const MouseEvent&) {}
void FrmMain::OnClick(ControlRef) {}
void FrmMain::OnTimer(ControlRef) {}

}  // namespace corvale
