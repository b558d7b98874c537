// The simulated mixer, checking its callers' records as strictly as the
// system does.
#include "tests/fake/fake_mixer.h"

#include <algorithm>

namespace corvale::fake {
namespace {

// The system's fixed name fields: cut to leave room for the NUL, then
// NUL-filled to the field's length.
std::string Field(const std::string& text, size_t chars) {
    std::string field = text.substr(0, std::min(text.size(), chars - 1));
    field.resize(chars, '\0');
    return field;
}

}  // namespace

MmResult FakeMixer::Open(std::uint32_t deviceId, MixerId& mixer) {
    if (failOpen || deviceId != 0) return mm::kBadDeviceId;
    mixer = ++nextHandle_;
    openHandles.insert(mixer);
    ++opens;
    return mm::kNoError;
}

MmResult FakeMixer::Close(MixerId mixer) {
    if (openHandles.erase(mixer) == 0) return mm::kInvalidHandle;
    ++closes;
    return mm::kNoError;
}

MmResult FakeMixer::GetLineInfo(MixerId mixer, MixerLineRecord& line, std::uint32_t flags) {
    ++lineInfoCalls;
    if (!openHandles.contains(mixer)) return mm::kInvalidHandle;
    if (flags != mm::kGetLineInfoByComponentType) return mm::kInvalidFlag;
    if (line.cbStruct != mm::kMixerLineSize) return mm::kInvalidParameter;
    const auto found = std::find_if(lines.begin(), lines.end(), [&](const FakeMixerLine& l) {
        return l.componentType == line.dwComponentType;
    });
    if (found == lines.end()) return mm::kInvalidLine;
    line.dwDestination = 0;
    line.dwSource = static_cast<std::uint32_t>(found - lines.begin());
    line.dwLineID = found->lineId;
    line.fdwLine = 1;  // active
    line.cChannels = found->channels;
    line.cConnections = found->connections;
    line.cControls = static_cast<std::uint32_t>(found->controls.size());
    line.szShortName = Field(found->shortName, mm::kShortNameChars);
    line.szName = Field(found->name, mm::kLongNameChars);
    line.Target.dwType = 0;
    line.Target.dwDeviceID = 0;
    line.Target.wMid = 1;
    line.Target.wPid = 2;
    line.Target.vDriverVersion = driverVersion;
    line.Target.szPname = Field(productName, mm::kProductNameChars);
    return mm::kNoError;
}

MmResult FakeMixer::GetLineControls(MixerId mixer, MixerLineControlsRecord& request, std::uint32_t flags) {
    ++lineControlsCalls;
    if (!openHandles.contains(mixer)) return mm::kInvalidHandle;
    if (flags != mm::kGetLineControlsOneByType) return mm::kInvalidFlag;
    if (request.cbStruct != mm::kMixerLineControlsSize || request.cbmxctrl != mm::kMixerControlSize ||
        request.cControls != 1 || request.pamxctrl.empty())
        return mm::kInvalidParameter;
    FakeMixerLine* line = LineById(request.dwLineID);
    if (!line) return mm::kInvalidLine;
    const auto found =
        std::find_if(line->controls.begin(), line->controls.end(),
                     [&](const FakeMixerControl& c) { return c.type == request.dwControlType; });
    if (found == line->controls.end()) return mm::kInvalidControl;
    MixerControlRecord& out = request.pamxctrl[0];
    const bool isMute = found->type == mm::kControlMute;
    out.cbStruct = mm::kMixerControlSize;
    out.dwControlID = found->id;
    out.dwControlType = found->type;
    out.fdwControl = isMute ? 1 : 0;  // a switch acts on all channels alike
    out.cMultipleItems = found->multipleItems;
    out.szShortName = Field(isMute ? "Mute" : "Volume", mm::kShortNameChars);
    out.szName = Field(line->name + (isMute ? " Mute" : " Volume"), mm::kLongNameChars);
    out.Bounds.lMinimum = 0;
    out.Bounds.lMaximum = isMute ? 1 : 65535;
    out.Metrics.cSteps = isMute ? 0 : 65536;
    return mm::kNoError;
}

MmResult FakeMixer::CheckDetails(MixerId mixer, const MixerControlDetailsRecord& details, std::uint32_t flags,
                                 FakeMixerControl*& control) {
    if (!openHandles.contains(mixer)) return mm::kInvalidHandle;
    if (flags != mm::kGetControlDetailsValue) return mm::kInvalidFlag;
    if (details.cbStruct != mm::kMixerControlDetailsSize || details.cbDetails != sizeof(std::uint32_t))
        return mm::kInvalidParameter;
    control = FindById(details.dwControlID);
    if (!control) return mm::kInvalidControl;
    const size_t channels = control->values.size();
    if (details.cChannels != 1 && details.cChannels != channels) return mm::kInvalidParameter;
    const size_t items = std::max<std::uint32_t>(1, details.cMultipleItems);
    if (details.paDetails.size() < details.cChannels * items) return mm::kInvalidParameter;
    return mm::kNoError;
}

MmResult FakeMixer::GetControlDetails(MixerId mixer, MixerControlDetailsRecord& details,
                                      std::uint32_t flags) {
    FakeMixerControl* control = nullptr;
    FakeDetailsCall call{false, mixer, details.dwControlID, details.cChannels, details.cMultipleItems, {}, 0};
    call.result = CheckDetails(mixer, details, flags, control);
    if (call.result == mm::kNoError && control->failReads) call.result = mm::kError;
    if (call.result == mm::kNoError) {
        // One channel asked for reads as the first channel.
        for (size_t c = 0; c < details.cChannels; ++c) details.paDetails[c] = control->values[c];
        call.values.assign(details.paDetails.begin(),
                           details.paDetails.begin() + static_cast<std::ptrdiff_t>(details.cChannels));
    }
    reads.push_back(call);
    return call.result;
}

MmResult FakeMixer::SetControlDetails(MixerId mixer, const MixerControlDetailsRecord& details,
                                      std::uint32_t flags) {
    FakeMixerControl* control = nullptr;
    FakeDetailsCall call{true, mixer, details.dwControlID, details.cChannels, details.cMultipleItems, {}, 0};
    call.result = CheckDetails(mixer, details, flags, control);
    const size_t given = std::min<size_t>(details.cChannels, details.paDetails.size());
    call.values.assign(details.paDetails.begin(),
                       details.paDetails.begin() + static_cast<std::ptrdiff_t>(given));
    if (call.result == mm::kNoError && control->failWrites) call.result = mm::kError;
    if (call.result == mm::kNoError) {
        // One channel given sets every channel alike.
        for (size_t c = 0; c < control->values.size(); ++c)
            control->values[c] = details.paDetails[details.cChannels == 1 ? 0 : c];
    }
    writes.push_back(call);
    return call.result;
}

FakeMixerLine& FakeMixer::AddLine(std::uint32_t componentType, const std::string& name,
                                  const std::string& shortName, std::uint32_t channels,
                                  std::uint32_t connections) {
    FakeMixerLine& line = lines.emplace_back();
    line.componentType = componentType;
    line.lineId = nextLineId_++;
    line.name = name;
    line.shortName = shortName;
    line.channels = channels;
    line.connections = connections;
    return line;
}

FakeMixerControl& FakeMixer::AddControl(FakeMixerLine& line, std::uint32_t type,
                                        std::vector<std::uint32_t> values) {
    FakeMixerControl& control = line.controls.emplace_back();
    control.id = nextControlId_++;
    control.type = type;
    control.values = std::move(values);
    return control;
}

FakeMixerLine& FakeMixer::AddStandardLine(std::uint32_t componentType, const std::string& name,
                                          std::uint32_t volume, int mute) {
    FakeMixerLine& line = AddLine(componentType, name, name.substr(0, 8));
    AddControl(line, mm::kControlVolume, {volume, volume});
    if (mute >= 0) AddControl(line, mm::kControlMute, {static_cast<std::uint32_t>(mute)});
    return line;
}

FakeMixerControl* FakeMixer::Find(std::uint32_t componentType, std::uint32_t controlType) {
    for (FakeMixerLine& line : lines)
        if (line.componentType == componentType)
            for (FakeMixerControl& control : line.controls)
                if (control.type == controlType) return &control;
    return nullptr;
}

FakeMixerControl* FakeMixer::FindById(std::uint32_t id) {
    for (FakeMixerLine& line : lines)
        for (FakeMixerControl& control : line.controls)
            if (control.id == id) return &control;
    return nullptr;
}

FakeMixerLine* FakeMixer::LineById(std::uint32_t lineId) {
    for (FakeMixerLine& line : lines)
        if (line.lineId == lineId) return &line;
    return nullptr;
}

}  // namespace corvale::fake
