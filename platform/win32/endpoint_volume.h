// The system's default audio endpoints (Core Audio, NT 6.0 and later): the
// master volume and mute that the taskbar's volume flyout and the keyboard's
// volume keys change. From Vista on, the legacy mixer's destination controls
// reach only this process's own sounds, so the speakers and recording
// destinations are read and written here instead.
#pragma once

#include <functional>
#include <memory>
#include <optional>

namespace corvale::win32 {

enum class EndpointFlow { Render = 0, Capture = 1 };

// One endpoint's master volume (0..1, all channels) and mute.
class EndpointVolume {
public:
    virtual ~EndpointVolume() = default;
    virtual std::optional<float> Level() = 0;
    virtual std::optional<bool> Muted() = 0;
    // False when the endpoint refuses the write.
    virtual bool SetLevel(float level) = 0;
    virtual bool SetMuted(bool muted) = 0;
};

// Held while a watch on the default devices lasts.
class EndpointWatch {
public:
    virtual ~EndpointWatch() = default;
};

// The callbacks below run on threads of the system's: they may post a
// message and nothing else. None runs once its endpoint or watch is gone.
using EndpointChanged = std::function<void(float level, bool muted)>;
using DefaultChanged = std::function<void(EndpointFlow flow)>;

class EndpointSource {
public:
    virtual ~EndpointSource() = default;
    // The default endpoint of `flow` (console role), or null when there is
    // none. `changed` tells of every change to its level or mute.
    virtual std::unique_ptr<EndpointVolume> OpenDefault(EndpointFlow flow, EndpointChanged changed) = 0;
    // `changed` tells when another device becomes the default of a flow.
    virtual std::unique_ptr<EndpointWatch> WatchDefaults(DefaultChanged changed) = 0;
};

// Core Audio itself, or null when its device enumerator cannot be had. It
// joins the calling thread to a single-threaded COM apartment for its life.
std::shared_ptr<EndpointSource> MakeCoreAudioEndpoints();

}  // namespace corvale::win32
