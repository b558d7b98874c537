// What the system says of whether anyone can see a window, and the notices
// that tell when that may have changed.
#include "platform/win32/visibility_win32.h"

#include <wtsapi32.h>

#include <algorithm>

#include "platform/win32/handles.h"

namespace corvale::win32 {
namespace {

// Not in every SDK's headers: Windows 8's cloaking (another virtual desktop,
// a suspended store app) and the console display's power setting.
constexpr DWORD kDwmCloaked = 14;  // DWMWA_CLOAKED
constexpr DWORD kEventCloaked = 0x8017, kEventUncloaked = 0x8018;
constexpr GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr UINT kLookDelayMs = 100;

using UniqueModule = UniqueHandle<traits::Module>;

// Only from the system's own folder: a DLL of that name beside the program
// must not be loaded instead.
UniqueModule SystemLibrary(const wchar_t* name) {
    return UniqueModule(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

// An entry of a library loaded at run time; null when it lacks it.
template <typename Function>
Function EntryOf(HMODULE library, const char* name) {
    return library ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)))
                   : nullptr;
}

// DWM comes with Vista, cloaking with Windows 8; before, nothing is cloaked.
bool Cloaked(HWND window) {
    using GetAttribute = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
    static const UniqueModule dwm = SystemLibrary(L"dwmapi.dll");
    static const auto get = EntryOf<GetAttribute>(dwm.get(), "DwmGetWindowAttribute");
    DWORD cloaked = 0;
    return get && SUCCEEDED(get(window, kDwmCloaked, &cloaked, sizeof cloaked)) && cloaked != 0;
}

// A layered window may let what lies under it show through: it hides it
// only when it says it is wholly opaque. One drawn with per-pixel alpha
// (UpdateLayeredWindow) says nothing.
bool SeeThrough(HWND window) {
    if ((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) == 0) return false;
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(window, &key, &alpha, &flags)) return true;
    return (flags & LWA_COLORKEY) != 0 || ((flags & LWA_ALPHA) != 0 && alpha < 255);
}

// The screen area of a window whose rectangle is `r`: cut to its region
// when it has one.
UniqueRegion AreaOf(HWND window, const RECT& r) {
    UniqueRegion area(CreateRectRgnIndirect(&r));
    UniqueRegion shape(CreateRectRgn(0, 0, 0, 0));
    if (area && shape && GetWindowRgn(window, shape.get()) != ERROR) {
        OffsetRgn(shape.get(), r.left, r.top);  // the region is in window coordinates
        CombineRgn(area.get(), area.get(), shape.get(), RGN_AND);
    }
    return area;
}

// What a window above hides of what is left to see (`area`), or null.
// The cheap questions first: under Wine each is a trip to the wineserver.
UniqueRegion HiddenBy(HWND above, HRGN area) {
    RECT r{}, box{}, common{};
    if (!IsWindowVisible(above) || !GetWindowRect(above, &r) || GetRgnBox(area, &box) == ERROR ||
        !IntersectRect(&common, &r, &box) || SeeThrough(above) || Cloaked(above))
        return {};
    return AreaOf(above, r);
}

// A point of the window shows the window itself: its middle or near a
// corner, the usual answer, found with a look-up or a few, where the walk
// below asks a few questions of every window above.
bool SomePointShows(HWND window, const RECT& r) {
    const LONG w = r.right - r.left, h = r.bottom - r.top;
    constexpr std::pair<int, int> kEighths[] = {{4, 4}, {1, 1}, {7, 1}, {1, 7}, {7, 7}};
    for (const auto& [x, y] : kEighths)
        if (const HWND hit = WindowFromPoint(POINT{r.left + w * x / 8, r.top + h * y / 8});
            hit && GetAncestor(hit, GA_ROOT) == window)
            return true;
    return false;
}

// Cut to the screens, for a window partly off them; asked last, since under
// Wine the screens' size is the dearest question of all.
int CutToScreens(HRGN left) {
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const UniqueRegion screens(CreateRectRgn(x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                             y + GetSystemMetrics(SM_CYVIRTUALSCREEN)));
    return screens ? CombineRgn(left, left, screens.get(), RGN_AND) : ERROR;
}

}  // namespace

bool CoveredByOthers(HWND window, bool wasCovered) {
    RECT r{};
    if (!IsWindowVisible(window) || !GetWindowRect(window, &r) || (!wasCovered && SomePointShows(window, r)))
        return false;
    const UniqueRegion left = AreaOf(window, r);
    if (!left) return false;
    // Down from the top of the z-order to the window itself: whatever
    // covers a full-screen program's window is found first, and the walk
    // stops as soon as nothing is left to see.
    int kind = SIMPLEREGION;
    for (HWND above = GetTopWindow(nullptr); above && above != window && kind != NULLREGION && kind != ERROR;
         above = GetWindow(above, GW_HWNDNEXT))
        if (const UniqueRegion hidden = HiddenBy(above, left.get()))
            kind = CombineRgn(left.get(), left.get(), hidden.get(), RGN_DIFF);
    if (kind != NULLREGION && kind != ERROR) kind = CutToScreens(left.get());
    return kind == NULLREGION;
}

namespace {

// The watches of this thread, for the system's callback, which carries no
// context of its own.
std::vector<SightWatch*>& Watches() {
    static std::vector<SightWatch*> watches;
    return watches;
}

// Out of context: the system posts each event to this thread and the
// callback runs while it reads its messages. Carets and the cursor move all
// the time and children move with their windows: only top-level windows count.
void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (!window || object != OBJID_WINDOW || child != CHILDID_SELF) return;
    if ((GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) != 0) return;
    for (SightWatch* watch : Watches()) watch->LookSoon();
}

}  // namespace

SightWatch::SightWatch(HWND window) : window_(window) {
    Watches().push_back(this);
    RegisterSessionNotices();
    power_.reset(
        RegisterPowerSettingNotification(window, &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE));
    // Another program's window shown, hidden, destroyed, raised, moved,
    // minimised, restored, activated, cloaked or uncloaked.
    constexpr std::pair<DWORD, DWORD> kEvents[] = {
        {EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND},
        {EVENT_SYSTEM_MINIMIZESTART, EVENT_SYSTEM_MINIMIZEEND},
        {EVENT_OBJECT_DESTROY, EVENT_OBJECT_REORDER},
        {EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE},
        {kEventCloaked, kEventUncloaked},
    };
    for (const auto& [first, last] : kEvents)
        if (HWINEVENTHOOK hook = SetWinEventHook(first, last, nullptr, OnWinEvent, 0, 0,
                                                 WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS))
            hooks_.emplace_back(hook);
}

SightWatch::~SightWatch() {
    std::erase(Watches(), this);
    if (!sessionNotices_) return;
    using Unregister = BOOL(WINAPI*)(HWND);
    if (const auto unregister = EntryOf<Unregister>(wts_.get(), "WTSUnRegisterSessionNotification"))
        unregister(window_);
}

// wtsapi32 is loaded here rather than linked: a program that never watches
// need not map it.
void SightWatch::RegisterSessionNotices() {
    using Register = BOOL(WINAPI*)(HWND, DWORD);
    wts_ = SystemLibrary(L"wtsapi32.dll");
    if (const auto reg = EntryOf<Register>(wts_.get(), "WTSRegisterSessionNotification"))
        sessionNotices_ = reg(window_, NOTIFY_FOR_THIS_SESSION) != FALSE;
}

Sight SightWatch::Now() {
    Sight sight;
    sight.minimised = IsIconic(window_) != FALSE;
    sight.covered = !sight.minimised && CoveredByOthers(window_, covered_);
    covered_ = sight.covered;
    sight.sessionLocked = locked_;
    sight.displayOff = displayOff_;
    return sight;
}

void SightWatch::OnSessionChange(WPARAM reason) {
    if (reason == WTS_SESSION_LOCK) locked_ = true;
    if (reason == WTS_SESSION_UNLOCK) locked_ = false;
}

// 0 off, 1 on, 2 dimmed: a dimmed display still shows the panel.
bool SightWatch::OnPowerSetting(const POWERBROADCAST_SETTING& setting) {
    if (!IsEqualGUID(setting.PowerSetting, kConsoleDisplayState) || setting.DataLength < sizeof(DWORD))
        return false;
    DWORD state = 0;
    std::copy_n(setting.Data, sizeof state, reinterpret_cast<UCHAR*>(&state));
    displayOff_ = state == 0;
    return true;
}

void SightWatch::LookSoon() {
    if (lookPending_) return;
    lookPending_ = SetTimer(window_, kLookTimer, kLookDelayMs, nullptr) != 0;
}

}  // namespace corvale::win32
