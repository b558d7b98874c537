// The layout builder: one control per numbered skin entry.
#include "skin/layout_builder.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "base/values.h"
#include "skin/animation_entry.h"
#include "skin/layout_fields.h"

namespace corvale {
namespace {

class LayoutBuilder {
public:
    LayoutBuilder(Context& ctx, Form& form, SkinLists& lists)
        : ctx_(ctx), form_(form), lists_(lists), client_(ClientSizeOf(form)) {}

    void Entry(long number, const std::string& value) {
        const EntryReading entry = ReadLayoutEntry(value, state_, client_);
        if (entry.kind == "L") TextBox(entry);
        else if (entry.kind == "P") StillPicture(entry);
        else if (entry.kind == "B") Button(entry, number);
        else if (entry.kind == "A") Animation(entry);
    }

private:
    std::string ThemeFile(const EntryReading& entry) const { return ctx_.g.ThemeFolder() + entry.file; }

    void LoadPictureInto(Control* control, const std::string& path) {
        PicturePtr picture = ctx_.os.toolkit.LoadPicture(path);
        if (control && picture) control->SetPicture(std::move(picture));
    }

    void TextBox(const EntryReading& entry) {
        Control* box = form_.Create(ControlArray::txtBox, ++textBoxes_);
        if (!box) return;
        PlaceControl(*box, entry.rect);
        if (entry.backColor) box->SetBackColor(*entry.backColor);
        if (entry.foreColor) box->SetForeColor(*entry.foreColor);
        box->SetFontName(entry.fontName);
        box->SetFontSize(static_cast<double>(entry.fontSize));
        box->SetText("");
        box->SetEnabled(true);
        box->SetVisible(true);
    }

    void StillPicture(const EntryReading& entry) {
        Control* picture = form_.Create(ControlArray::imgPic, ++pictures_);
        if (picture) {
            picture->SetEnabled(false);
            picture->SetStretch(true);
            PlaceControl(*picture, entry.rect);
        }
        LoadPictureInto(picture, ThemeFile(entry));
        if (picture) picture->SetVisible(true);
    }

    void Button(const EntryReading& entry, long number) {
        const long b = ++lists_.ButtonCount;
        const auto size = static_cast<std::size_t>(b) + 1;
        lists_.ButtonPicture.resize(size);
        lists_.ButtonCommand.resize(size);
        lists_.ButtonClickSound.resize(size);
        lists_.ButtonHoverSound.resize(size);
        lists_.ButtonEntry.resize(size);
        const auto at = static_cast<std::size_t>(b);

        Control* button = form_.Create(ControlArray::imgBut, static_cast<int>(b));
        if (button) button->SetVisible(true);
        if (entry.hoverSound) lists_.ButtonHoverSound[at] = *entry.hoverSound;
        if (entry.clickSound) lists_.ButtonClickSound[at] = *entry.clickSound;
        lists_.ButtonEntry[at] = number;
        lists_.ButtonCommand[at] = entry.command;
        if (button) PlaceControl(*button, entry.rect);
        const std::string path = ThemeFile(entry);
        LoadPictureInto(button, path);
        lists_.ButtonPicture[at] = path;
    }

    void Animation(const EntryReading& entry) {
        BuildAnimationEntry(ctx_, form_, lists_, ThemeFile(entry), entry.rect);
    }

    Context& ctx_;
    Form& form_;
    SkinLists& lists_;
    ClientSize client_;
    EntryState state_;
    int textBoxes_ = 0;
    int pictures_ = 0;
};

}  // namespace

std::string OverrideFilePath(const std::string& skinFile) {
    if (skinFile.size() < 3) return "";
    return skinFile.substr(0, skinFile.size() - 3) + "ini";
}

std::optional<LayoutEntryText> ReadLayoutEntryText(SkinReader& skin, const std::string& section, long number,
                                                   const std::string& skinFile,
                                                   const std::string& overrideFile) {
    const std::string key = TwoDigitKey(number);
    if (!skin.ReadSkinValue(section, key, skinFile)) return std::nullopt;
    LayoutEntryText entry{skin.SkinValue, false};
    if (!overrideFile.empty() && skin.ReadSkinValue(section, key, overrideFile))
        entry = {skin.SkinValue, true};
    return entry;
}

void BuildSkinLayout(Context& ctx, Form& form, const std::string& section, SkinLists& lists, bool animated,
                     long animDelay, const std::string& skinFile) {
    const std::string overrideFile = OverrideFilePath(skinFile);
    // A negative pause would be an endless one to the system's sleep.
    const int pause = static_cast<int>(std::clamp<long>(animDelay, 0, INT_MAX));
    LayoutBuilder builder(ctx, form, lists);
    for (long number = 1;; ++number) {
        const auto entry = ReadLayoutEntryText(ctx.skin, section, number, skinFile, overrideFile);
        if (!entry) return;
        builder.Entry(number, entry->value);
        if (animated) ctx.os.toolkit.Sleep(pause);
        ctx.os.toolkit.DoEvents();
    }
}

}  // namespace corvale
