// The mixer calls, translated between the program's records (ANSI sizes,
// UTF-8 names) and the system's wide ones, with the destinations' controls
// handed to their endpoints.
#include "platform/win32/mixer_win32.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/win32/endpoint_binding.h"
#include "platform/win32/endpoint_volume.h"
#include "platform/win32/text.h"

namespace corvale::win32 {
namespace {

HMIXEROBJ Object(MixerId mixer) { return reinterpret_cast<HMIXEROBJ>(mixer); }

// The program writes the ANSI record sizes; the wide calls need their own.
// Any other size goes through as it is, so that the system refuses it as it
// would refuse it from anyone.
DWORD WideSize(std::uint32_t programSize, std::uint32_t ansiSize, std::size_t wideSize) {
    return programSize == ansiSize ? static_cast<DWORD>(wideSize) : programSize;
}
std::uint32_t ProgramSize(DWORD systemSize, std::uint32_t ansiSize, std::size_t wideSize) {
    return systemSize == wideSize ? ansiSize : systemSize;
}

// The whole fixed field, NULs and what follows them included.
template <std::size_t N>
std::string FromField(const WCHAR (&field)[N]) {
    return Narrow(std::wstring_view(field, N));
}
template <std::size_t N>
void ToField(const std::string& text, WCHAR (&field)[N]) {
    const std::wstring wide = Widen(text);
    const std::size_t count = std::min(wide.size(), N);
    std::fill(std::copy_n(wide.begin(), count, field), field + N, L'\0');
}

MIXERLINEW ToSystem(const MixerLineRecord& line) {
    MIXERLINEW w{};
    w.cbStruct = WideSize(line.cbStruct, mm::kMixerLineSize, sizeof(MIXERLINEW));
    w.dwDestination = line.dwDestination;
    w.dwSource = line.dwSource;
    w.dwLineID = line.dwLineID;
    w.fdwLine = line.fdwLine;
    w.dwUser = line.dwUser;
    w.dwComponentType = line.dwComponentType;
    w.cChannels = line.cChannels;
    w.cConnections = line.cConnections;
    w.cControls = line.cControls;
    ToField(line.szShortName, w.szShortName);
    ToField(line.szName, w.szName);
    w.Target.dwType = line.Target.dwType;
    w.Target.dwDeviceID = line.Target.dwDeviceID;
    w.Target.wMid = line.Target.wMid;
    w.Target.wPid = line.Target.wPid;
    w.Target.vDriverVersion = line.Target.vDriverVersion;
    ToField(line.Target.szPname, w.Target.szPname);
    return w;
}

void FromSystem(const MIXERLINEW& w, MixerLineRecord& line) {
    line.cbStruct = ProgramSize(w.cbStruct, mm::kMixerLineSize, sizeof(MIXERLINEW));
    line.dwDestination = w.dwDestination;
    line.dwSource = w.dwSource;
    line.dwLineID = w.dwLineID;
    line.fdwLine = w.fdwLine;
    line.dwUser = w.dwUser;
    line.dwComponentType = w.dwComponentType;
    line.cChannels = w.cChannels;
    line.cConnections = w.cConnections;
    line.cControls = w.cControls;
    line.szShortName = FromField(w.szShortName);
    line.szName = FromField(w.szName);
    line.Target.dwType = w.Target.dwType;
    line.Target.dwDeviceID = w.Target.dwDeviceID;
    line.Target.wMid = w.Target.wMid;
    line.Target.wPid = w.Target.wPid;
    line.Target.vDriverVersion = w.Target.vDriverVersion;
    line.Target.szPname = FromField(w.Target.szPname);
}

void FromSystem(const MIXERCONTROLW& w, MixerControlRecord& control) {
    control.cbStruct = ProgramSize(w.cbStruct, mm::kMixerControlSize, sizeof(MIXERCONTROLW));
    control.dwControlID = w.dwControlID;
    control.dwControlType = w.dwControlType;
    control.fdwControl = w.fdwControl;
    control.cMultipleItems = w.cMultipleItems;
    control.szShortName = FromField(w.szShortName);
    control.szName = FromField(w.szName);
    control.Bounds.lMinimum = w.Bounds.lMinimum;
    control.Bounds.lMaximum = w.Bounds.lMaximum;
    control.Metrics.cSteps = w.Metrics.cSteps;
}

// The details record over the caller's buffer, or nothing when the buffer
// is too small for what the system would write or read there.
bool ToSystem(const MixerControlDetailsRecord& details, MIXERCONTROLDETAILS& w) {
    const std::uint64_t items = std::max<std::uint32_t>(1, details.cMultipleItems);
    const std::uint64_t needed = std::uint64_t{details.cChannels} * items * details.cbDetails;
    if (needed > details.paDetails.size_bytes()) return false;
    w = {};
    w.cbStruct = WideSize(details.cbStruct, mm::kMixerControlDetailsSize, sizeof(MIXERCONTROLDETAILS));
    w.dwControlID = details.dwControlID;
    w.cChannels = details.cChannels;
    w.cMultipleItems = details.cMultipleItems;
    w.cbDetails = details.cbDetails;
    w.paDetails = details.paDetails.data();
    return true;
}

// The legacy mixer's destination controls reach the whole system up to XP
// (and under Wine's emulation of XP and 98); later systems bind them to the
// calling process alone.
bool SessionBoundMixer() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&info)) return false;
#pragma GCC diagnostic pop
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 6;
}

}  // namespace

Win32Mixer::Win32Mixer() : systemEndpoints_(true) {}
Win32Mixer::Win32Mixer(std::shared_ptr<EndpointSource> endpoints) : endpoints_(std::move(endpoints)) {}
Win32Mixer::~Win32Mixer() = default;

EndpointBinding* Win32Mixer::BindingOf(MixerId mixer) {
    const auto it = bindings_.find(mixer);
    return it == bindings_.end() ? nullptr : it->second.get();
}

MmResult Win32Mixer::Open(std::uint32_t deviceId, MixerId& mixer) {
    HMIXER handle = nullptr;
    const MMRESULT result = mixerOpen(&handle, deviceId, 0, 0, MIXER_OBJECTF_MIXER);
    if (result != MMSYSERR_NOERROR) return result;
    mixer = reinterpret_cast<MixerId>(handle);
    // Core Audio comes in with the first mixer that needs it.
    if (systemEndpoints_ && !endpoints_ && SessionBoundMixer()) {
        endpoints_ = MakeCoreAudioEndpoints();
        systemEndpoints_ = false;
    }
    if (endpoints_) bindings_[mixer] = std::make_unique<EndpointBinding>(endpoints_);
    return result;
}

MmResult Win32Mixer::Close(MixerId mixer) {
    bindings_.erase(mixer);
    std::erase_if(controls_, [mixer](const auto& entry) { return entry.first.first == mixer; });
    std::erase_if(lines_, [mixer](const auto& entry) { return entry.first.first == mixer; });
    return mixerClose(reinterpret_cast<HMIXER>(mixer));
}

MmResult Win32Mixer::GetLineInfo(MixerId mixer, MixerLineRecord& line, std::uint32_t flags) {
    MIXERLINEW w = ToSystem(line);
    const MMRESULT result = mixerGetLineInfoW(Object(mixer), &w, flags);
    FromSystem(w, line);
    if (result == MMSYSERR_NOERROR) lines_[{mixer, w.dwLineID}] = {w.dwComponentType, w.cChannels};
    return result;
}

MmResult Win32Mixer::GetLineControls(MixerId mixer, MixerLineControlsRecord& request, std::uint32_t flags) {
    // The system writes cControls records, or one for a look-up of one.
    const bool one = (flags & MIXER_GETLINECONTROLSF_QUERYMASK) != MIXER_GETLINECONTROLSF_ALL;
    const std::size_t count = one ? 1 : request.cControls;
    if (count == 0 || count > request.pamxctrl.size()) return MMSYSERR_INVALPARAM;
    // Windows fills in each record's size; Wine leaves it as it finds it, so
    // the records start out with theirs.
    std::vector<MIXERCONTROLW> controls(count);
    for (MIXERCONTROLW& control : controls) control.cbStruct = sizeof(MIXERCONTROLW);
    MIXERLINECONTROLSW w{};
    w.cbStruct = WideSize(request.cbStruct, mm::kMixerLineControlsSize, sizeof(MIXERLINECONTROLSW));
    w.dwLineID = request.dwLineID;
    w.dwControlType = request.dwControlType;
    w.cControls = request.cControls;
    w.cbmxctrl = WideSize(request.cbmxctrl, mm::kMixerControlSize, sizeof(MIXERCONTROLW));
    // A record size other than the one our buffer holds would let the system
    // write past it.
    if (w.cbmxctrl != sizeof(MIXERCONTROLW)) return MMSYSERR_INVALPARAM;
    w.pamxctrl = controls.data();
    const MMRESULT result = mixerGetLineControlsW(Object(mixer), &w, flags);
    for (std::size_t i = 0; i < count; ++i) FromSystem(controls[i], request.pamxctrl[i]);
    if (result == MMSYSERR_NOERROR) NoteControls(mixer, w.dwLineID, request.pamxctrl.first(count));
    return result;
}

// What the writes need to know of each control found: its line's channels,
// and for a destination's controls, the endpoint they stand for.
void Win32Mixer::NoteControls(MixerId mixer, std::uint32_t lineId,
                              std::span<const MixerControlRecord> controls) {
    // The line as its look-up found it. Wine answers a look-up by line
    // identifier with an empty record, so that is only the second choice.
    LineFacts line;
    if (const auto it = lines_.find({mixer, lineId}); it != lines_.end()) {
        line = it->second;
    } else {
        MIXERLINEW w{};
        w.cbStruct = sizeof w;
        w.dwLineID = lineId;
        if (mixerGetLineInfoW(Object(mixer), &w, MIXER_GETLINEINFOF_LINEID) != MMSYSERR_NOERROR) return;
        line = {w.dwComponentType, w.cChannels};
    }
    EndpointBinding* binding = BindingOf(mixer);
    for (const MixerControlRecord& control : controls) {
        controls_[{mixer, control.dwControlID}] = {line.channels,
                                                   (control.fdwControl & MIXERCONTROL_CONTROLF_UNIFORM) != 0};
        if (binding) binding->NoteControl(control.dwControlID, control.dwControlType, line.componentType);
    }
}

MmResult Win32Mixer::GetControlDetails(MixerId mixer, MixerControlDetailsRecord& details,
                                       std::uint32_t flags) {
    MIXERCONTROLDETAILS w;
    if (!ToSystem(details, w)) return MMSYSERR_INVALPARAM;
    EndpointBinding* binding = BindingOf(mixer);
    if (binding && flags == MIXER_GETCONTROLDETAILSF_VALUE && details.cMultipleItems == 0) {
        if (const std::optional<std::uint32_t> value = binding->Read(details.dwControlID)) {
            // The endpoint's level is the same on every channel.
            std::fill_n(details.paDetails.begin(), details.cChannels, *value);
            return MMSYSERR_NOERROR;
        }
    }
    return mixerGetControlDetailsW(Object(mixer), &w, flags);
}

MmResult Win32Mixer::SetControlDetails(MixerId mixer, const MixerControlDetailsRecord& details,
                                       std::uint32_t flags) {
    MIXERCONTROLDETAILS w;
    if (!ToSystem(details, w)) return MMSYSERR_INVALPARAM;
    EndpointBinding* binding = BindingOf(mixer);
    if (binding && flags == MIXER_SETCONTROLDETAILSF_VALUE && details.cMultipleItems == 0 &&
        details.cChannels > 0 && binding->Write(details.dwControlID, details.paDetails[0]))
        return MMSYSERR_NOERROR;
    if (const auto it = controls_.find({mixer, details.dwControlID}); it != controls_.end()) {
        const ControlFacts& facts = it->second;
        const DWORD most = facts.uniform ? 1 : facts.lineChannels;
        if (most > 0 && w.cChannels > most) w.cChannels = most;
    }
    return mixerSetControlDetails(Object(mixer), &w, flags);
}

}  // namespace corvale::win32
