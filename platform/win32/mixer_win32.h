// The sound card's mixer through winmm's wide mixer functions.
#pragma once

#include "platform/mixer.h"

namespace corvale::win32 {

// Translates the program's records to the system's wide records and back;
// it owns nothing: the handles it opens belong to the caller.
class Win32Mixer : public MixerDevice {
public:
    MmResult Open(std::uint32_t deviceId, MixerId& mixer) override;
    MmResult Close(MixerId mixer) override;
    MmResult GetLineInfo(MixerId mixer, MixerLineRecord& line, std::uint32_t flags) override;
    MmResult GetLineControls(MixerId mixer, MixerLineControlsRecord& request, std::uint32_t flags) override;
    MmResult GetControlDetails(MixerId mixer, MixerControlDetailsRecord& details,
                               std::uint32_t flags) override;
    MmResult SetControlDetails(MixerId mixer, const MixerControlDetailsRecord& details,
                               std::uint32_t flags) override;
};

}  // namespace corvale::win32
