// The sound card's mixer.
#pragma once

namespace corvale {

class MixerDevice {
public:
    virtual ~MixerDevice() = default;
};

}  // namespace corvale
