// The mixer's records filled the way the system expects them.
#include "mixer/mixer_access.h"

#include <array>

namespace corvale {
namespace {

MixerControlDetailsRecord DetailsFor(const MixerControlRecord& control, std::span<std::uint32_t> values) {
    MixerControlDetailsRecord details;
    details.cbStruct = mm::kMixerControlDetailsSize;
    details.dwControlID = control.dwControlID;
    details.cChannels = static_cast<std::uint32_t>(values.size());
    details.cMultipleItems = 0;
    details.cbDetails = sizeof(std::uint32_t);
    details.paDetails = values;
    return details;
}

}  // namespace

bool MixerAccess::FindLineControl(MixerId mixer, std::uint32_t componentType, std::uint32_t controlType,
                                  MixerControlRecord& control) {
    // The record takes its size whatever the look-up finds, even when the
    // line itself is missing.
    control.cbStruct = mm::kMixerControlSize;
    MixerLine.cbStruct = mm::kMixerLineSize;
    MixerLine.dwComponentType = componentType;
    if (device_.GetLineInfo(mixer, MixerLine, mm::kGetLineInfoByComponentType) != mm::kNoError) return false;

    std::array<MixerControlRecord, 1> found{};
    MixerLineControlsRecord request;
    request.cbStruct = mm::kMixerLineControlsSize;
    request.dwLineID = MixerLine.dwLineID;
    request.dwControlType = controlType;
    request.cControls = 1;
    request.cbmxctrl = mm::kMixerControlSize;
    request.pamxctrl = found;

    if (device_.GetLineControls(mixer, request, mm::kGetLineControlsOneByType) != mm::kNoError) return false;
    control = found[0];
    return true;
}

long MixerAccess::GetControlValue(MixerId mixer, const MixerControlRecord& control) {
    std::array<std::uint32_t, 1> value{};
    MixerControlDetailsRecord details = DetailsFor(control, value);
    if (device_.GetControlDetails(mixer, details, mm::kGetControlDetailsValue) != mm::kNoError) return -1;
    // The value is taken as the signed 32-bit number it reads as, so a read
    // of all ones cannot be told from a failure; no control used here holds
    // such a value.
    return static_cast<std::int32_t>(value[0]);
}

bool MixerAccess::SetControlValue(MixerId mixer, const MixerControlRecord& control, long value) {
    std::array<std::uint32_t, 1> values{static_cast<std::uint32_t>(value)};
    const MixerControlDetailsRecord details = DetailsFor(control, values);
    return device_.SetControlDetails(mixer, details, mm::kSetControlDetailsValue) == mm::kNoError;
}

bool MixerAccess::SetStereoValue(MixerId mixer, const MixerControlRecord& control, long left, long right) {
    std::array<std::uint32_t, 2> values{static_cast<std::uint32_t>(left), static_cast<std::uint32_t>(right)};
    MixerControlDetailsRecord details = DetailsFor(control, values);
    details.cMultipleItems = control.cMultipleItems;
    return device_.SetControlDetails(mixer, details, mm::kSetControlDetailsValue) == mm::kNoError;
}

}  // namespace corvale
