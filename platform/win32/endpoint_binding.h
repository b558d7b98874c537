// Which of an open mixer's controls stand for a default audio endpoint, and
// the window that brings the endpoints' notifications onto the thread that
// opened the mixer.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "platform/win32/endpoint_volume.h"
#include "platform/win32/handles.h"

namespace corvale::win32 {

class EndpointBinding {
public:
    // Binds both flows to their default endpoints; made and used on the
    // user-interface thread only.
    explicit EndpointBinding(std::shared_ptr<EndpointSource> source);
    ~EndpointBinding();
    EndpointBinding(const EndpointBinding&) = delete;
    EndpointBinding& operator=(const EndpointBinding&) = delete;

    // A control the program looked up: the volume and mute of an output
    // destination (speakers, headphones, digital, ...) stand for the render
    // endpoint, those of the recording destination for the capture endpoint;
    // any other stays with the mixer.
    void NoteControl(std::uint32_t controlId, std::uint32_t controlType, std::uint32_t componentType);
    // The control's value as its endpoint has it (0..65535, or 0 and 1 for
    // a mute), or nothing when the legacy mixer answers for it.
    std::optional<std::uint32_t> Read(std::uint32_t controlId);
    // True when the endpoint took the value. False leaves the write to the
    // legacy mixer, and a refused write leaves that control there (reads
    // included) until the default device changes.
    bool Write(std::uint32_t controlId, std::uint32_t value);

    // The window's messages, on the user-interface thread.
    // `binding` numbers the endpoint that sent the notice.
    void OnNotice(EndpointFlow flow, unsigned binding, std::uint32_t level, bool muted);
    void OnDefaultChanged(EndpointFlow flow);

    struct Mailbox;

private:
    struct Route {
        EndpointFlow flow = EndpointFlow::Render;
        bool mute = false;
        bool legacy = false;
    };
    // What the endpoint last told, by an answer or a notification: a read
    // that fails in between (the device going away) answers with it.
    struct Bound {
        unsigned binding = 0;  // counts the endpoints bound to this flow
        std::unique_ptr<EndpointVolume> endpoint;
        std::optional<std::uint32_t> level;
        std::optional<bool> muted;
    };

    void Bind(EndpointFlow flow);
    Bound& BoundTo(EndpointFlow flow) { return bound_[static_cast<std::size_t>(flow)]; }

    std::shared_ptr<EndpointSource> source_;
    std::shared_ptr<Mailbox> mailbox_;
    UniqueWindow window_;
    std::array<Bound, 2> bound_;
    std::unique_ptr<EndpointWatch> watch_;
    std::map<std::uint32_t, Route> routes_;
};

}  // namespace corvale::win32
