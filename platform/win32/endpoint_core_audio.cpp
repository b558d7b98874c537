// The default audio endpoints through Core Audio: the device enumerator, each
// endpoint's IAudioEndpointVolume, and the two notification interfaces the
// system calls on threads of its own.
#include <windows.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <atomic>
#include <memory>
#include <utility>

#include "platform/win32/endpoint_volume.h"
#include "platform/win32/handles.h"

namespace corvale::win32 {
namespace {

// A COM object of ours that the system holds while it is registered. It
// starts with the one reference its creator holds; the last Release frees it.
template <typename Interface>
class ComCallback : public Interface {
public:
    virtual ~ComCallback() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid != __uuidof(IUnknown) && iid != __uuidof(Interface)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            const std::unique_ptr<ComCallback> last(this);
        }
        return left;
    }

private:
    std::atomic<ULONG> references_{1};
};

// Runs a callback of the program's without letting anything escape into the
// system's thread.
template <typename Callback, typename... Args>
void Tell(const Callback& callback, Args... args) noexcept {
    try {
        if (callback) callback(args...);
    } catch (...) {
    }
}

// A new callback object for a UniqueCom, which holds its first reference.
template <typename Callback, typename... Args>
UniqueCom<Callback> MakeCallback(Args&&... args) {
    return UniqueCom<Callback>(std::make_unique<Callback>(std::forward<Args>(args)...).release());
}

class VolumeCallback final : public ComCallback<IAudioEndpointVolumeCallback> {
public:
    explicit VolumeCallback(EndpointChanged changed) : changed_(std::move(changed)) {}
    HRESULT STDMETHODCALLTYPE OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA data) override {
        if (data) Tell(changed_, data->fMasterVolume, data->bMuted != FALSE);
        return S_OK;
    }

private:
    const EndpointChanged changed_;
};

class DeviceCallback final : public ComCallback<IMMNotificationClient> {
public:
    explicit DeviceCallback(DefaultChanged changed) : changed_(std::move(changed)) {}
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR) override {
        // The console role's device is the one the taskbar's flyout shows.
        if (role != eConsole) return S_OK;
        if (flow == eRender) Tell(changed_, EndpointFlow::Render);
        if (flow == eCapture) Tell(changed_, EndpointFlow::Capture);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override { return S_OK; }

private:
    const DefaultChanged changed_;
};

class CoreAudioEndpoint final : public EndpointVolume {
public:
    CoreAudioEndpoint(UniqueCom<IAudioEndpointVolume> volume, UniqueCom<VolumeCallback> callback)
        : volume_(std::move(volume)), callback_(std::move(callback)) {
        // Wine delivers no notifications; the reads on every tick follow
        // the endpoint all the same.
        registered_ = SUCCEEDED(volume_.get()->RegisterControlChangeNotify(callback_.get()));
    }
    ~CoreAudioEndpoint() override {
        if (registered_) volume_.get()->UnregisterControlChangeNotify(callback_.get());
    }
    CoreAudioEndpoint(const CoreAudioEndpoint&) = delete;
    CoreAudioEndpoint& operator=(const CoreAudioEndpoint&) = delete;

    std::optional<float> Level() override {
        float level = 0;
        if (FAILED(volume_.get()->GetMasterVolumeLevelScalar(&level))) return std::nullopt;
        return level;
    }
    std::optional<bool> Muted() override {
        BOOL muted = FALSE;
        if (FAILED(volume_.get()->GetMute(&muted))) return std::nullopt;
        return muted != FALSE;
    }
    bool SetLevel(float level) override {
        return SUCCEEDED(volume_.get()->SetMasterVolumeLevelScalar(level, nullptr));
    }
    bool SetMuted(bool muted) override {
        return SUCCEEDED(volume_.get()->SetMute(muted ? TRUE : FALSE, nullptr));
    }

private:
    UniqueCom<IAudioEndpointVolume> volume_;
    UniqueCom<VolumeCallback> callback_;
    bool registered_ = false;
};

class CoreAudioWatch final : public EndpointWatch {
public:
    CoreAudioWatch(UniqueCom<IMMDeviceEnumerator> enumerator, UniqueCom<DeviceCallback> callback)
        : enumerator_(std::move(enumerator)), callback_(std::move(callback)) {
        registered_ = SUCCEEDED(enumerator_.get()->RegisterEndpointNotificationCallback(callback_.get()));
    }
    ~CoreAudioWatch() override {
        if (registered_) enumerator_.get()->UnregisterEndpointNotificationCallback(callback_.get());
    }
    CoreAudioWatch(const CoreAudioWatch&) = delete;
    CoreAudioWatch& operator=(const CoreAudioWatch&) = delete;

private:
    UniqueCom<IMMDeviceEnumerator> enumerator_;
    UniqueCom<DeviceCallback> callback_;
    bool registered_ = false;
};

class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    // S_FALSE (already joined) still wants its CoUninitialize; a thread of
    // the other model stays as it is.
    ~ComApartment() {
        if (result_ == S_OK || result_ == S_FALSE) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT result_;
};

class CoreAudioEndpoints final : public EndpointSource {
public:
    bool Start() {
        IMMDeviceEnumerator* enumerator = nullptr;
        if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                    __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&enumerator))))
            return false;
        enumerator_.reset(enumerator);
        return true;
    }

    std::unique_ptr<EndpointVolume> OpenDefault(EndpointFlow flow, EndpointChanged changed) override {
        IMMDevice* rawDevice = nullptr;
        const EDataFlow dataFlow = flow == EndpointFlow::Render ? eRender : eCapture;
        if (FAILED(enumerator_.get()->GetDefaultAudioEndpoint(dataFlow, eConsole, &rawDevice)))
            return nullptr;
        const UniqueCom<IMMDevice> device(rawDevice);
        IAudioEndpointVolume* rawVolume = nullptr;
        if (FAILED(device.get()->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER, nullptr,
                                          reinterpret_cast<void**>(&rawVolume))))
            return nullptr;
        UniqueCom<IAudioEndpointVolume> volume(rawVolume);
        auto callback = MakeCallback<VolumeCallback>(std::move(changed));
        return std::make_unique<CoreAudioEndpoint>(std::move(volume), std::move(callback));
    }

    std::unique_ptr<EndpointWatch> WatchDefaults(DefaultChanged changed) override {
        enumerator_.get()->AddRef();
        UniqueCom<IMMDeviceEnumerator> shared(enumerator_.get());
        auto callback = MakeCallback<DeviceCallback>(std::move(changed));
        return std::make_unique<CoreAudioWatch>(std::move(shared), std::move(callback));
    }

private:
    ComApartment apartment_;  // first in, last out
    UniqueCom<IMMDeviceEnumerator> enumerator_;
};

}  // namespace

std::shared_ptr<EndpointSource> MakeCoreAudioEndpoints() {
    auto endpoints = std::make_shared<CoreAudioEndpoints>();
    if (!endpoints->Start()) return nullptr;
    return endpoints;
}

}  // namespace corvale::win32
