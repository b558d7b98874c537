// The sound card's mixer through winmm's wide mixer functions, with the
// speakers and recording destinations on the default audio endpoints where
// the system has them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <utility>

#include "platform/mixer.h"

namespace corvale::win32 {

class EndpointSource;
class EndpointBinding;

// Translates the program's records to the system's wide records and back;
// the handles it opens belong to the caller.
//
// From Vista on, the legacy mixer's controls reach only this process's own
// audio session. So on NT 6.0 and later the volume and mute controls of the
// speakers destination read and write the default render endpoint, and
// those of the recording destination the default capture endpoint; the
// source lines (wave output, CD, line in, ...) stay on the legacy mixer, as
// does every line record the sound-card report reads. Where an endpoint
// refuses a write, that control goes back to the legacy mixer.
class Win32Mixer : public MixerDevice {
public:
    // The system's own endpoints, on NT 6.0 and later.
    Win32Mixer();
    // The endpoints of `endpoints` on any system, or the legacy mixer alone
    // when it is null.
    explicit Win32Mixer(std::shared_ptr<EndpointSource> endpoints);
    ~Win32Mixer() override;
    Win32Mixer(const Win32Mixer&) = delete;
    Win32Mixer& operator=(const Win32Mixer&) = delete;

    MmResult Open(std::uint32_t deviceId, MixerId& mixer) override;
    MmResult Close(MixerId mixer) override;
    MmResult GetLineInfo(MixerId mixer, MixerLineRecord& line, std::uint32_t flags) override;
    MmResult GetLineControls(MixerId mixer, MixerLineControlsRecord& request, std::uint32_t flags) override;
    MmResult GetControlDetails(MixerId mixer, MixerControlDetailsRecord& details,
                               std::uint32_t flags) override;
    // Some drivers refuse two channels on a mono line: a write never sends
    // more channels than the control's line has, and one to a uniform control.
    MmResult SetControlDetails(MixerId mixer, const MixerControlDetailsRecord& details,
                               std::uint32_t flags) override;

private:
    struct LineFacts {
        std::uint32_t componentType = 0;
        std::uint32_t channels = 0;
    };
    struct ControlFacts {
        std::uint32_t lineChannels = 0;
        bool uniform = false;
    };
    void NoteControls(MixerId mixer, std::uint32_t lineId, std::span<const MixerControlRecord> controls);
    EndpointBinding* BindingOf(MixerId mixer);

    bool systemEndpoints_ = false;
    std::shared_ptr<EndpointSource> endpoints_;
    std::map<MixerId, std::unique_ptr<EndpointBinding>> bindings_;
    // By mixer and line identifier, and by mixer and control identifier.
    std::map<std::pair<MixerId, std::uint32_t>, LineFacts> lines_;
    std::map<std::pair<MixerId, std::uint32_t>, ControlFacts> controls_;
};

}  // namespace corvale::win32
