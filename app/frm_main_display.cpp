// How the main window follows the displays: a new screen size, monitors
// that come and go, a taskbar that moves or grows.
#include "app/display_change.h"
#include "app/frm_main.h"
#include "mixer/volume_panel.h"
#include "skin/animation.h"

namespace corvale {

void FrmMain::OnDisplayChange() {
    if (Closing) return;
    displayChanged_ = true;
    FollowDisplayChanges();
}

// A change can come while events run inside another handler: while the face
// is being built (at start or anew), or while a click waits on the prompt
// and will read the button's lists again when it is gone. It is followed
// once they are done, and one that comes during a rebuild is looked at
// afresh when the new face stands.
void FrmMain::FollowDisplayChanges() {
    while (displayChanged_ && !Closing && ctx_.g.StartupDone && clicksUnderWay_ == 0) {
        displayChanged_ = false;
        Toolkit& tk = ctx_.os.toolkit;
        const TwipsRect placement = Placement();
        const FaceFit wanted{LayoutSkinForScreen(),
                             PixelRect(placement, tk.TwipsPerPixelX(), tk.TwipsPerPixelY())};
        const TwipsRect now{form_->Left(), form_->Top(), form_->Width(), form_->Height()};
        switch (FollowDisplays(builtFor_, wanted, PixelRect(now, tk.TwipsPerPixelX(), tk.TwipsPerPixelY()))) {
            case DisplayFollow::Stay: break;
            case DisplayFollow::Move: MoveTo(placement); break;
            case DisplayFollow::Rebuild: RebuildFace(placement, wanted.layoutSkin); break;
        }
    }
}

// As a fresh start builds the face, without the exit's pause and without
// the start's sound: the mixer is closed, the old face taken down at once,
// the window placed, the new face built (paced when the theme says so) from
// the layout skin chosen afresh, the mixer and the information panel filled
// again. Voice commands wait for the new buttons.
void FrmMain::RebuildFace(const TwipsRect& placement, const std::string& layoutSkin) {
    ctx_.g.StartupDone = false;
    if (mixerPanel_ && mixerPanel_->MixerHandle() != 0) mixerPanel_->CloseMixerPanel();
    // Hover and frame ticks find no buttons or animations while the face goes.
    ctx_.g.Main = SkinLists{};
    UnloadSkinControls(ctx_, *form_, false);
    MoveTo(placement);
    ctx_.g.LayoutSkinName = layoutSkin;
    ReadThemeSkinValues();
    form_->SetBackColor(designColor_);
    ApplyLayoutBackGround();
    ctx_.os.toolkit.DoEvents();
    BuildFace();
    infoPanel_ = InfoPanelState{};
    FillPanels(false);  // a mixer that does not open was told of at start
    ctx_.g.StartupDone = true;
}

// A click reads the button's lists again after the prompt and its pauses.
void FrmMain::ClickButton(int index) {
    ++clicksUnderWay_;
    imgBut_Click(ctx_, *this, index);
    --clicksUnderWay_;
    FollowDisplayChanges();
}

}  // namespace corvale
