// Finding a mixer line's control, and reading and writing a control's value.
#pragma once

#include <cstdint>

#include "platform/mixer.h"

namespace corvale {

class MixerAccess {
public:
    explicit MixerAccess(MixerDevice& device) : device_(device) {}

    // Looks up the line of `componentType` into MixerLine, then its control
    // of `controlType` into `control`. On failure `control` keeps what it
    // had, except cbStruct.
    bool FindLineControl(MixerId mixer, std::uint32_t componentType, std::uint32_t controlType,
                         MixerControlRecord& control);
    // The control's value (one channel, uniform), or -1 when the read fails.
    long GetControlValue(MixerId mixer, const MixerControlRecord& control);
    bool SetControlValue(MixerId mixer, const MixerControlRecord& control, long value);
    bool SetStereoValue(MixerId mixer, const MixerControlRecord& control, long left, long right);

    // The line as the last FindLineControl left it; the sound-card report
    // reads it right after a successful look-up.
    MixerLineRecord MixerLine;

private:
    MixerDevice& device_;
};

}  // namespace corvale
