// The panel's rest while nobody can see it.
#include "app/rest.h"

#include <algorithm>
#include <utility>

namespace corvale {

bool Unseen(const Sight& sight) {
    return sight.minimised || sight.covered || sight.sessionLocked || sight.displayOff;
}

bool CoverCheckDue(const Sight& last) { return !last.minimised && !last.sessionLocked && !last.displayOff; }

bool RestsWhenUnseen(ControlArray timer) {
    return timer == ControlArray::tmrMouse || timer == ControlArray::tmrAudio ||
           timer == ControlArray::tmrAnim;
}

SightTurn PanelRest::Apply(Form& form, const Sight& sight) {
    sight_ = sight;
    const bool unseen = Unseen(sight);
    if (unseen == resting_) return SightTurn::None;
    resting_ = unseen;
    if (resting_) {
        // Stopping a timer lets no handler run, so the walk over the
        // controls stays valid to its end.
        for (int position = 0; position < form.ControlCount(); ++position)
            if (Control* control = form.ControlAt(position);
                control && RestsWhenUnseen(control->Ref().array) && control->Enabled())
                Stop(*control);
        return SightTurn::Rested;
    }
    // A timer unloaded meanwhile (the face taken down) is not looked for.
    // Each keeps its interval, so an animation goes on from the frame it
    // stopped at for that frame's whole time.
    const std::vector<ControlRef> stopped = std::exchange(stopped_, {});
    for (const ControlRef& ref : stopped)
        if (Control* timer = form.Find(ref.array, ref.index)) timer->SetEnabled(true);
    return SightTurn::Returned;
}

bool PanelRest::LetTick(Form& form, ControlRef timer) {
    if (!resting_ || !RestsWhenUnseen(timer.array)) return true;
    if (Control* control = form.Find(timer.array, timer.index)) Stop(*control);
    return false;
}

void PanelRest::Stop(Control& timer) {
    timer.SetEnabled(false);
    if (std::find(stopped_.begin(), stopped_.end(), timer.Ref()) == stopped_.end())
        stopped_.push_back(timer.Ref());
}

}  // namespace corvale
