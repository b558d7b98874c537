// Sound playback: name resolution and the theme's two switches.
#include "skin/sound.h"

#include "base/values.h"
#include "platform/sound.h"
#include "platform/system.h"

namespace corvale {
namespace {

// A switch of the theme skin; a value that is not a Boolean keeps the default.
bool ThemeSwitch(Context& ctx, const char* key, bool fallback) {
    if (!ctx.skin.ReadSkinValue("DEFAULT", key, ctx.g.ThemeSkinPath())) return fallback;
    return ReadBoolean(ctx.skin.SkinValue).value_or(fallback);
}

}  // namespace

std::string ShortPath(Context& ctx, const std::string& path) { return ctx.os.sound.ShortPath(path); }

void PlaySkinSound(Context& ctx, const std::string& name) {
    if (!ThemeSwitch(ctx, "Sound", true)) return;
    const bool multiple = ThemeSwitch(ctx, "Multiple", false);
    const bool fullPath = name.find(':') != std::string::npos;
    // The short form has no blanks, which the players have always needed.
    const std::string file = ShortPath(ctx, fullPath ? name : ctx.g.ThemeFolder() + name + ".wav");
    if (file.empty() || ctx.os.files.FileLength(file) <= 0) return;
    if (multiple) ctx.os.sound.PlayOverlapping(file);
    else ctx.os.sound.PlaySimple(file);
}

}  // namespace corvale
