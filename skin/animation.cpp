// Animated pictures and the teardown of the skin's controls.
#include "skin/animation.h"

#include <algorithm>
#include <climits>
#include <cstddef>

#include "base/values.h"

namespace corvale {
namespace {

bool HasSlot(const std::vector<long>& list, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < list.size();
}

// A frame's time counts from when its tick was due, not from when the tick
// came: the system's timers tick late by up to a step of its clock (15.6 ms),
// and over a long animation the delays would add up. A tick later than a
// whole frame starts the count afresh instead of rushing the frames after
// it. `due` becomes the new frame's end; 0 is not known.
long NextFrameInterval(long long& due, long time, long long now) {
    if (time <= 0) {
        due = 0;
        return time;
    }
    long long next = due > 0 ? due + time : now + time;
    if (next <= now || next > now + time) next = now + time;
    due = next;
    return static_cast<long>(next - now);
}

void SetFrameVisible(Form& form, long frame, bool visible) {
    if (frame < 1 || frame > INT_MAX) return;
    if (Control* element = form.Find(ControlArray::imgGif, static_cast<int>(frame)))
        element->SetVisible(visible);
}

}  // namespace

void AdvanceAnimation(Form& form, SkinLists& lists, int index, long long now) {
    if (index < 1 || index > lists.AnimCount || !HasSlot(lists.AnimFirstFrame, index) ||
        !HasSlot(lists.AnimLastFrame, index) || !HasSlot(lists.AnimFrame, index))
        return;
    const auto k = static_cast<std::size_t>(index);
    const long first = lists.AnimFirstFrame[k];
    const long last = lists.AnimLastFrame[k];
    if (last < first) return;

    const long previous = lists.AnimFrame[k];
    long current = previous >= last ? first : previous + 1;
    lists.AnimFrame[k] = current;
    // The new frame goes up before the old one comes down, so the picture
    // never blinks.
    SetFrameVisible(form, current, true);
    if (previous != current) SetFrameVisible(form, previous, false);

    Control* timer = form.Find(ControlArray::tmrAnim, index);
    Control* shown = current >= 1 && current <= INT_MAX
                         ? form.Find(ControlArray::imgGif, static_cast<int>(current))
                         : nullptr;
    if (!timer || !shown) return;
    if (lists.AnimDue.size() <= k) lists.AnimDue.resize(k + 1);
    if (const auto time = ReadLong(shown->Tag()); time && *time >= 0 && *time <= INT_MAX)
        timer->SetInterval(
            static_cast<int>(NextFrameInterval(lists.AnimDue[k], static_cast<long>(*time), now)));
}

void UnloadSkinControls(Context& ctx, Form& form, bool paced) {
    const std::string theme = ctx.g.ThemeSkinPath();
    if (paced && ctx.skin.ReadSkinValue("DEFAULT", "Animated", theme))
        ctx.g.Animated = ReadBoolean(ctx.skin.SkinValue).value_or(ctx.g.Animated);
    if (paced && ctx.skin.ReadSkinValue("DEFAULT", "AnimDelay", theme))
        ctx.g.AnimDelay = ReadLong(ctx.skin.SkinValue).value_or(ctx.g.AnimDelay);

    const int firstMade = std::max(ctx.g.ControlCount, 0);
    // Handlers run between the steps and may take controls away themselves,
    // so the position is checked against the count afresh every time.
    for (int position = form.ControlCount() - 1; position >= firstMade;
         position = std::min(position - 1, form.ControlCount() - 1)) {
        Control* control = form.ControlAt(position);
        if (!control) continue;
        if (paced && ctx.g.Animated && control->Visible())
            ctx.os.toolkit.Sleep(static_cast<int>(std::clamp<long>(ctx.g.AnimDelay, 0, INT_MAX)));
        form.Unload(*control);
        ctx.os.toolkit.DoEvents();
    }
}

}  // namespace corvale
