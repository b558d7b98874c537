// The program's entry, the one place that knows every layer: the real
// platform, the shared state and the main window, put together once.
#include <windows.h>

#include "app/frm_main.h"
#include "platform/platform.h"
#include "platform/win32/desktop_win32.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/launcher_win32.h"
#include "platform/win32/mixer_win32.h"
#include "platform/win32/probes_win32.h"
#include "platform/win32/profile_win32.h"
#include "platform/win32/settings_win32.h"
#include "platform/win32/shaper_win32.h"
#include "platform/win32/sound_win32.h"
#include "platform/win32/toolkit.h"
#include "skin/context.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace corvale;
    // The desktop object holds the single-instance marker for the whole run,
    // so it is made first and dies last.
    win32::Win32Desktop desktop;
    win32::Win32Toolkit toolkit;
    win32::RegistrySettings settings;
    win32::ProfileFileReader profile;
    win32::Win32Files files;
    win32::Win32Sound sound;
    win32::Win32Launcher launcher;
    win32::Win32Shaper shaper;
    win32::Win32Probes probes;
    win32::Win32Mixer mixer;
    Platform platform{toolkit, settings, profile, files, desktop, sound, launcher, shaper, probes, mixer};

    Context ctx(platform);
    FrmMain frmMain(ctx);
    frmMain.Load();
    return toolkit.RunMessageLoop();
}
