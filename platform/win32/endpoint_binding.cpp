// The endpoints behind the mixer's destination controls. The endpoints'
// notifications arrive on the system's threads; each is posted to a
// message-only window, and only its handler, on the user-interface thread,
// touches the binding.
#include "platform/win32/endpoint_binding.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <cmath>

#include "platform/win32/window_class.h"

namespace corvale::win32 {

// The window the system's threads post to; cleared before the binding goes,
// so that a notification still under way posts nowhere.
struct EndpointBinding::Mailbox {
    std::atomic<HWND> window{nullptr};
};

namespace {

constexpr UINT kNoticeMessage = WM_APP + 1;    // wParam: flow | muted << 1 | binding << 2, lParam: level
constexpr UINT kDefaultMessage = WM_APP + 2;   // wParam: flow
constexpr unsigned kBindingMask = 0x3FFFFFFF;  // what a 32-bit wParam holds of a binding's number
constexpr wchar_t kSinkClass[] = L"CorvaleEndpointSink";
constexpr std::uint32_t kFullScale = 65535;

std::uint32_t LevelValue(float level) {
    if (!(level > 0)) return 0;  // NaN included
    if (level >= 1) return kFullScale;
    return static_cast<std::uint32_t>(std::lround(level * kFullScale));
}

float ValueLevel(std::uint32_t value) {
    return static_cast<float>(std::min(value, kFullScale)) / static_cast<float>(kFullScale);
}

EndpointFlow FlowOf(WPARAM wParam) { return (wParam & 1) ? EndpointFlow::Capture : EndpointFlow::Render; }

LRESULT CALLBACK SinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* binding = reinterpret_cast<EndpointBinding*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (binding && message == kNoticeMessage) {
        binding->OnNotice(FlowOf(wParam), static_cast<unsigned>(wParam >> 2) & kBindingMask,
                          static_cast<std::uint32_t>(lParam), (wParam & 2) != 0);
        return 0;
    }
    if (binding && message == kDefaultMessage) {
        binding->OnDefaultChanged(FlowOf(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateSink() {
    if (!RegisteredClass({kSinkClass, SinkProc})) return nullptr;
    return CreateWindowExW(0, kSinkClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

void Post(const std::shared_ptr<EndpointBinding::Mailbox>& mailbox, UINT message, WPARAM wParam,
          LPARAM lParam) {
    if (const HWND window = mailbox->window.load()) PostMessageW(window, message, wParam, lParam);
}

}  // namespace

EndpointBinding::EndpointBinding(std::shared_ptr<EndpointSource> source)
    : source_(std::move(source)), mailbox_(std::make_shared<Mailbox>()), window_(CreateSink()) {
    if (window_) {
        SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        mailbox_->window = window_.get();
    }
    Bind(EndpointFlow::Render);
    Bind(EndpointFlow::Capture);
    watch_ = source_->WatchDefaults([mailbox = mailbox_](EndpointFlow flow) {
        Post(mailbox, kDefaultMessage, static_cast<WPARAM>(flow), 0);
    });
}

EndpointBinding::~EndpointBinding() {
    mailbox_->window = nullptr;
    if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
    watch_.reset();
    for (Bound& bound : bound_) bound.endpoint.reset();
}

void EndpointBinding::Bind(EndpointFlow flow) {
    Bound& bound = BoundTo(flow);
    const unsigned binding = bound.binding + 1;
    bound = {};  // the old endpoint stops notifying before the new one starts
    bound.binding = binding;
    bound.endpoint = source_->OpenDefault(flow, [mailbox = mailbox_, flow, binding](float level, bool muted) {
        const WPARAM which =
            static_cast<WPARAM>(flow) | (muted ? 2 : 0) | (static_cast<WPARAM>(binding) << 2);
        Post(mailbox, kNoticeMessage, which, static_cast<LPARAM>(LevelValue(level)));
    });
    // Another device may well take what this one refused.
    for (auto& [id, route] : routes_)
        if (route.flow == flow) route.legacy = false;
}

void EndpointBinding::NoteControl(std::uint32_t controlId, std::uint32_t controlType,
                                  std::uint32_t componentType) {
    if (controlType != MIXERCONTROL_CONTROLTYPE_VOLUME && controlType != MIXERCONTROL_CONTROLTYPE_MUTE)
        return;
    Route route;
    route.mute = controlType == MIXERCONTROL_CONTROLTYPE_MUTE;
    // Each legacy mixer of these systems names its output destination after
    // the device's kind: headphones, a digital output, a line out and the
    // speakers all stand for the output endpoint.
    if (componentType == MIXERLINE_COMPONENTTYPE_DST_WAVEIN) route.flow = EndpointFlow::Capture;
    else if (componentType <= MIXERLINE_COMPONENTTYPE_DST_TELEPHONE) route.flow = EndpointFlow::Render;
    else return;
    // A control looked up again keeps what its endpoint refused.
    routes_.try_emplace(controlId, route);
}

std::optional<std::uint32_t> EndpointBinding::Read(std::uint32_t controlId) {
    const auto it = routes_.find(controlId);
    if (it == routes_.end() || it->second.legacy) return std::nullopt;
    Bound& bound = BoundTo(it->second.flow);
    if (!bound.endpoint) return std::nullopt;
    if (it->second.mute) {
        if (const std::optional<bool> muted = bound.endpoint->Muted()) bound.muted = muted;
        if (!bound.muted) return std::nullopt;
        return *bound.muted ? 1u : 0u;
    }
    if (const std::optional<float> level = bound.endpoint->Level()) bound.level = LevelValue(*level);
    return bound.level;
}

bool EndpointBinding::Write(std::uint32_t controlId, std::uint32_t value) {
    const auto it = routes_.find(controlId);
    if (it == routes_.end() || it->second.legacy) return false;
    Bound& bound = BoundTo(it->second.flow);
    if (!bound.endpoint) return false;
    const bool taken =
        it->second.mute ? bound.endpoint->SetMuted(value != 0) : bound.endpoint->SetLevel(ValueLevel(value));
    if (!taken) it->second.legacy = true;
    return taken;
}

void EndpointBinding::OnNotice(EndpointFlow flow, unsigned binding, std::uint32_t level, bool muted) {
    Bound& bound = BoundTo(flow);
    // A notice of the device before, still on its way when the default
    // changed, tells nothing of this one.
    if (!bound.endpoint || binding != (bound.binding & kBindingMask)) return;
    bound.level = level;
    bound.muted = muted;
}

void EndpointBinding::OnDefaultChanged(EndpointFlow flow) { Bind(flow); }

}  // namespace corvale::win32
