// The password flag is the ninth field of a button's layout entry.
#include "commands/password_flag.h"

#include <optional>
#include <string>

#include "base/values.h"

namespace corvale {
namespace {

// The ninth comma-separated field: after the eighth comma up to the next one
// (or to the end). nullopt when the entry has fewer than nine fields.
std::optional<std::string> NinthField(const std::string& entry) {
    size_t start = 0;
    for (int comma = 0; comma < 8; ++comma) {
        const size_t found = entry.find(',', start);
        if (found == std::string::npos) return std::nullopt;
        start = found + 1;
    }
    const size_t end = entry.find(',', start);
    return entry.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

bool ButtonNeedsPassword(Context& ctx, int index) {
    const auto& entries = ctx.g.Main.ButtonEntry;
    if (index < 1 || index >= static_cast<int>(entries.size())) return false;
    const std::string key = TwoDigitKey(entries[static_cast<size_t>(index)]);
    if (!ctx.skin.ReadSkinValue("DEFAULT", key, ctx.g.LayoutOverridePath()) &&
        !ctx.skin.ReadSkinValue("DEFAULT", key, ctx.g.LayoutSkinPath()))
        return false;
    const auto flag = NinthField(ctx.skin.SkinValue);
    if (!flag || flag->find_first_not_of(" \t") == std::string::npos) return false;  // no flag written
    // A flag that is written but unreadable protects the button: a typo in a
    // skin must not open a button its author meant to lock.
    return ReadBoolean(*flag).value_or(true);
}

}  // namespace corvale
