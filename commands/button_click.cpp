// The order of a click: password gate, click sound, command.
#include "commands/button_click.h"

#include "base/values.h"
#include "commands/launch.h"
#include "commands/password_flag.h"
#include "platform/toolkit.h"

namespace corvale {
namespace {

constexpr int kPasswordPause = 2000;

void PlayThemeSound(Context& ctx, ClickHost& host, const char* key) {
    if (!ctx.skin.ReadSkinValue("DEFAULT", key, ctx.g.ThemeSkinPath())) return;
    const std::string name = ctx.skin.SkinValue;
    host.PlaySound(name);
}

// True when the user may go on: the typed text equals the stored password.
bool PassPasswordGate(Context& ctx, ClickHost& host) {
    PlayThemeSound(ctx, host, "PassStartSound");
    ctx.g.PasswordPrompt = true;
    if (!host.ShowPasswordPrompt()) return false;
    ctx.os.toolkit.DoEvents();
    if (ctx.g.Password != ctx.g.InputText) {
        PlayThemeSound(ctx, host, "PassFailSound");
        return false;
    }
    PlayThemeSound(ctx, host, "PassOkSound");
    ctx.os.toolkit.DoEvents();
    ctx.os.toolkit.Sleep(kPasswordPause);
    return true;
}

// The button's list entry, or "" for an index the skin never made.
const std::string& ListEntry(const std::vector<std::string>& list, int index) {
    static const std::string none;
    return index >= 1 && index < static_cast<int>(list.size()) ? list[static_cast<size_t>(index)] : none;
}

}  // namespace

void imgBut_Click(Context& ctx, ClickHost& host, int index) {
    if (ButtonNeedsPassword(ctx, index) && !PassPasswordGate(ctx, host)) return;
    // Copies: the lists may grow while the sound and the prompt let events run.
    const std::string clickSound = ListEntry(ctx.g.Main.ButtonClickSound, index);
    const std::string command = ListEntry(ctx.g.Main.ButtonCommand, index);
    host.PlaySound(clickSound);
    const bool nt = host.IsWindowsNT();
    const std::string word = UpperCase(command);
    if (const auto code = AppletCode(word)) {
        RunAppletCode(ctx.os.launcher, *code, nt);
    } else if (word == "QUIT") {
        host.CloseProgram();
    } else if (!command.empty()) {
        LaunchCommandLine(ctx.os.launcher, host.MainWindow(), command, ctx.g.ProgramDir);
    }
}

}  // namespace corvale
