// Resting while nobody can see the panel: which facts make it unseen, which
// ticks stop meanwhile, and how they start again.
#pragma once

#include <vector>

#include "platform/toolkit.h"

namespace corvale {

// Nobody can see the window when any of the facts holds.
bool Unseen(const Sight& sight);

// Whether the program has to look again for windows over the panel on its
// remote-control tick. Minimising, the lock and the display each end with a
// notice of their own; only windows moving away may go unreported (Wine
// reports no other program's windows shown, hidden or moved).
bool CoverCheckDue(const Sight& last);

// The timers whose work only someone looking needs: the hover tick, the
// mixer read-back and the animations. The remote-control poll goes on.
bool RestsWhenUnseen(ControlArray timer);

enum class SightTurn { None, Rested, Returned };

// The panel's rest: its timers that only someone looking needs are stopped
// where they are while it is unseen, and started again on its return.
class PanelRest {
public:
    // Takes what the system says; Returned means the face has to catch up
    // with what changed meanwhile.
    SightTurn Apply(Form& form, const Sight& sight);
    // False for a tick that must not run because the panel rests: its timer
    // started meanwhile (an animation built while covered) and stops now,
    // to start again with the others.
    bool LetTick(Form& form, ControlRef timer);

    bool Resting() const { return resting_; }
    const Sight& LastSight() const { return sight_; }

private:
    void Stop(Control& timer);

    Sight sight_;
    bool resting_ = false;
    std::vector<ControlRef> stopped_;
};

}  // namespace corvale
