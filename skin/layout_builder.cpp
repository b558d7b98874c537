// The layout builder: one control per numbered skin entry.
#include "skin/layout_builder.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "skin/gif_frames.h"
#include "skin/layout_fields.h"
#include "skin/values.h"

namespace corvale {
namespace {

template <typename T>
void Keep(T& target, const std::optional<T>& read) {
    if (read) target = *read;
}

// What the fields last gave. A field that cannot be read leaves its value
// from earlier in the entry or from an earlier entry, which is how skins that
// leave fields out have always been shown.
struct EntryState {
    std::string file;
    std::string kind;
    EntryRect rect;
    double back[3] = {0, 0, 0};
    double fore[3] = {0, 0, 0};
    std::string fontName;
    long fontSize = 0;
};

class LayoutBuilder {
public:
    LayoutBuilder(Context& ctx, Form& form, SkinLists& lists) : ctx_(ctx), form_(form), lists_(lists) {}

    void Entry(long number, const std::string& value) {
        EntryCutter cutter(value);
        Keep(state_.file, cutter.File());
        Keep(state_.kind, cutter.Kind());
        if (state_.kind == "L") TextBox(cutter);
        else if (state_.kind == "P") StillPicture(cutter);
        else if (state_.kind == "B") Button(cutter, number);
        else if (state_.kind == "A") Animation(cutter);
    }

private:
    // Fields 3 to 6. `heightIsLast`: Height runs to the end of the value.
    void ReadRect(EntryCutter& cutter, bool heightIsLast, bool percent) {
        auto read = [&](long& target, const std::optional<std::string>& field, bool across) {
            if (percent) Keep(target, FieldPercent(field, across ? form_.ScaleWidth() : form_.ScaleHeight()));
            else Keep(target, FieldInteger(field));
        };
        read(state_.rect.left, cutter.Next(), true);
        read(state_.rect.top, cutter.Next(), false);
        read(state_.rect.width, cutter.Next(), true);
        read(state_.rect.height, heightIsLast ? std::optional<std::string>(cutter.Rest()) : cutter.Next(),
             false);
    }

    std::string ThemeFile() const { return ctx_.g.ThemeFolder() + state_.file; }

    void LoadPictureInto(Control* control, const std::string& path) {
        PicturePtr picture = ctx_.os.toolkit.LoadPicture(path);
        if (control && picture) control->SetPicture(std::move(picture));
    }

    void TextBox(EntryCutter& cutter) {
        Control* box = form_.Create(ControlArray::txtBox, ++textBoxes_);
        ReadRect(cutter, false, false);
        ApplyGeometryRules(state_.rect, form_, true);
        if (box) PlaceControl(*box, state_.rect);
        for (double& part : state_.back) Keep(part, FieldNumber(cutter.Next()));
        for (double& part : state_.fore) Keep(part, FieldNumber(cutter.Next()));
        const auto backColor = SkinColor(state_.back[0], state_.back[1], state_.back[2]);
        const auto foreColor = SkinColor(state_.fore[0], state_.fore[1], state_.fore[2]);
        Keep(state_.fontName, cutter.Next());
        Keep(state_.fontSize, FieldInteger(cutter.Rest()));
        if (!box) return;
        if (backColor) box->SetBackColor(*backColor);
        if (foreColor) box->SetForeColor(*foreColor);
        box->SetFontName(state_.fontName);
        box->SetFontSize(static_cast<double>(state_.fontSize));
        box->SetText("");
        box->SetEnabled(true);
        box->SetVisible(true);
    }

    void StillPicture(EntryCutter& cutter) {
        Control* picture = form_.Create(ControlArray::imgPic, ++pictures_);
        if (picture) {
            picture->SetEnabled(false);
            picture->SetStretch(true);
        }
        ReadRect(cutter, true, true);
        ApplyGeometryRules(state_.rect, form_, true);
        if (picture) PlaceControl(*picture, state_.rect);
        LoadPictureInto(picture, ThemeFile());
        if (picture) picture->SetVisible(true);
    }

    void Button(EntryCutter& cutter, long number) {
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
        ReadRect(cutter, false, false);
        Keep(lists_.ButtonHoverSound[at], cutter.Next());
        Keep(lists_.ButtonClickSound[at], cutter.Next());
        lists_.ButtonEntry[at] = number;
        cutter.Next();  // the password flag, read again when the button is clicked
        lists_.ButtonCommand[at] = cutter.Rest();
        ApplyGeometryRules(state_.rect, form_, false);
        if (button) PlaceControl(*button, state_.rect);
        const std::string path = ThemeFile();
        LoadPictureInto(button, path);
        lists_.ButtonPicture[at] = path;
    }

    void Animation(EntryCutter& cutter) {
        ReadRect(cutter, true, false);
        ApplyGeometryRules(state_.rect, form_, false);
        BuildAnimationEntry(ctx_, form_, lists_, ThemeFile(), state_.rect);
    }

    Context& ctx_;
    Form& form_;
    SkinLists& lists_;
    EntryState state_;
    int textBoxes_ = 0;
    int pictures_ = 0;
};

}  // namespace

std::string OverrideFilePath(const std::string& skinFile) {
    if (skinFile.size() < 3) return "";
    return skinFile.substr(0, skinFile.size() - 3) + "ini";
}

void BuildSkinLayout(Context& ctx, Form& form, const std::string& section, SkinLists& lists, bool animated,
                     long animDelay, const std::string& skinFile) {
    const std::string overrideFile = OverrideFilePath(skinFile);
    // A negative pause would be an endless one to the system's sleep.
    const int pause = static_cast<int>(std::clamp<long>(animDelay, 0, INT_MAX));
    LayoutBuilder builder(ctx, form, lists);
    for (long number = 1;; ++number) {
        const std::string key = TwoDigitKey(number);
        if (!ctx.skin.ReadSkinValue(section, key, skinFile)) return;
        std::string value = ctx.skin.SkinValue;
        if (!overrideFile.empty() && ctx.skin.ReadSkinValue(section, key, overrideFile))
            value = ctx.skin.SkinValue;
        builder.Entry(number, value);
        if (animated) ctx.os.toolkit.Sleep(pause);
        ctx.os.toolkit.DoEvents();
    }
}

}  // namespace corvale
