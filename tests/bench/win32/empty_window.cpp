// The yardstick for the panel's start, idle cost and memory: a borderless
// window of the panel's size and colour that only appears. Built twice: as
// empty_window.exe, and with BENCH_TIMERS as timers_window.exe, which also
// runs the panel's timers (100, 250 and 500 ms, and one that cycles through
// 100, 200 and 300 ms as a three-frame animation does) with handlers that do
// nothing. And with BENCH_CALLS as calls_window.exe, whose timers make the
// calls an idle panel cannot do without, the ones the panel's own code
// needs from the system: every 100 ms the cursor's place and the window
// under it, every 250 ms the volume and mute of the default playback and
// recording endpoints, every 500 ms two values read from the settings store,
// and on every cycling tick one 48x32 frame changed (two invalidations and a
// buffered paint). It also opens, once, what every panel opens: the sound
// card's mixer, whose speakers volume it reads once as the panel does when
// it binds its lines, and those two endpoints. What the panel costs above
// this window is its own.
#include <windows.h>
#ifdef BENCH_CALLS
#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <mmsystem.h>
#endif

#include <initializer_list>

#ifdef BENCH_CALLS
#define BENCH_TIMERS
#endif

namespace {

constexpr wchar_t kClass[] = L"CorvaleBenchWindow";
constexpr COLORREF kBackground = RGB(8, 12, 10);

#ifdef BENCH_TIMERS
constexpr UINT_PTR kCycling = 4;
constexpr UINT kCycle[] = {100, 200, 300};
int cyclePosition = 0;

void StartTimers(HWND window) {
    SetTimer(window, 1, 100, nullptr);
    SetTimer(window, 2, 250, nullptr);
    SetTimer(window, 3, 500, nullptr);
    SetTimer(window, kCycling, kCycle[0], nullptr);
}

#ifdef BENCH_CALLS
constexpr RECT kFrame{480, 80, 528, 112};
constexpr COLORREF kFrameColours[] = {RGB(192, 48, 48), RGB(48, 192, 48), RGB(48, 48, 192)};
HKEY settings = nullptr;
IAudioEndpointVolume* endpoints[2] = {};

void ReadEndpoints() {
    for (IAudioEndpointVolume* volume : endpoints) {
        if (!volume) continue;
        float level = 0;
        BOOL muted = FALSE;
        volume->GetMasterVolumeLevelScalar(&level);
        volume->GetMute(&muted);
    }
}

void MakePanelCalls(HWND window, UINT_PTR id) {
    if (id == 1) {
        POINT at{};
        GetCursorPos(&at);
        WindowFromPoint(at);
    } else if (id == 2) {
        ReadEndpoints();
    } else if (id == 3) {
        if (!settings)
            RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Corvale bench", 0, nullptr, 0,
                            KEY_READ | KEY_WRITE, nullptr, &settings, nullptr);
        wchar_t value[64];
        for (const wchar_t* name : {L"Close", L"Voice"}) {
            DWORD size = sizeof value;
            RegQueryValueExW(settings, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
        }
    } else if (id == kCycling) {
        InvalidateRect(window, &kFrame, FALSE);
        InvalidateRect(window, &kFrame, FALSE);
    }
}

// Under Wine the first control read starts the mixer's own thread.
void ReadSpeakersVolume(HMIXER mixer) {
    MIXERLINEW line{};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    const auto object = reinterpret_cast<HMIXEROBJ>(mixer);
    if (mixerGetLineInfoW(object, &line, MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR) return;
    MIXERCONTROLW control{};
    MIXERLINECONTROLSW controls{};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    if (mixerGetLineControlsW(object, &controls, MIXER_GETLINECONTROLSF_ONEBYTYPE) != MMSYSERR_NOERROR)
        return;
    MIXERCONTROLDETAILS_UNSIGNED values[2] = {};
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = control.dwControlID;
    details.cChannels = line.cChannels == 1 ? 1 : 2;
    details.cbDetails = sizeof values[0];
    details.paDetails = values;
    mixerGetControlDetailsW(object, &details, MIXER_GETCONTROLDETAILSF_VALUE);
}

// Held for the whole run, as the panel holds them; the process's end
// releases them.
void OpenSoundCard() {
    HMIXER mixer = nullptr;
    mixerOpen(&mixer, 0, 0, 0, MIXER_OBJECTF_MIXER);
    MIXERCAPSW caps{};
    mixerGetDevCapsW(0, &caps, sizeof caps);
    ReadSpeakersVolume(mixer);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IMMDeviceEnumerator* devices = nullptr;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&devices))))
        return;
    for (const EDataFlow flow : {eRender, eCapture}) {
        IMMDevice* device = nullptr;
        if (SUCCEEDED(devices->GetDefaultAudioEndpoint(flow, eConsole, &device)))
            device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER, nullptr,
                             reinterpret_cast<void**>(&endpoints[flow == eRender ? 0 : 1]));
    }
}

// The frame drawn through a buffer, as the panel draws its face.
void PaintFrame(HDC dc) {
    const HDC buffer = CreateCompatibleDC(dc);
    const HBITMAP bitmap = CreateCompatibleBitmap(dc, kFrame.right - kFrame.left, kFrame.bottom - kFrame.top);
    const HGDIOBJ old = SelectObject(buffer, bitmap);
    const HBRUSH brush = CreateSolidBrush(kFrameColours[cyclePosition]);
    const RECT all{0, 0, kFrame.right - kFrame.left, kFrame.bottom - kFrame.top};
    FillRect(buffer, &all, brush);
    BitBlt(dc, kFrame.left, kFrame.top, all.right, all.bottom, buffer, 0, 0, SRCCOPY);
    DeleteObject(brush);
    SelectObject(buffer, old);
    DeleteObject(bitmap);
    DeleteDC(buffer);
}
#endif

void OnTimer(HWND window, UINT_PTR id) {
#ifdef BENCH_CALLS
    MakePanelCalls(window, id);
#endif
    if (id != kCycling) return;
    cyclePosition = (cyclePosition + 1) % 3;
    SetTimer(window, kCycling, kCycle[cyclePosition], nullptr);
}
#endif

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(window, &paint);
            const HBRUSH brush = CreateSolidBrush(kBackground);
            FillRect(dc, &paint.rcPaint, brush);
            DeleteObject(brush);
#ifdef BENCH_CALLS
            PaintFrame(dc);
#endif
            EndPaint(window, &paint);
            return 0;
        }
#ifdef BENCH_TIMERS
        case WM_TIMER: OnTimer(window, wParam); return 0;
#endif
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClass;
    if (!RegisterClassExW(&wc)) return 1;
    // The panel's place: the work area, 4 pixels in on every side.
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const HWND window = CreateWindowExW(0, kClass, L"Corvale bench window", WS_POPUP | WS_CLIPCHILDREN,
                                        area.left + 4, area.top + 4, area.right - area.left - 8,
                                        area.bottom - area.top - 8, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
#ifdef BENCH_TIMERS
    StartTimers(window);
#endif
#ifdef BENCH_CALLS
    OpenSoundCard();
#endif
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
