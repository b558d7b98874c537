// The theme checker's inner workings, shared by the files that check the
// entries, the volume panel and the information box, the keys, and the
// files a theme names.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ctl/theme_check.h"
#include "platform/platform.h"
#include "skin/context.h"
#include "skin/layout_fields.h"

namespace corvale::check {

std::string Quote(const std::string& text);
std::string Size(long width, long height);
std::string Where(const std::string& file, const std::string& section, const std::string& key);
// The fields as the author wrote them: the value cut at its first
// `count - 1` commas, the last field running to the end.
std::vector<std::string> CutAtCommas(const std::string& value, size_t count);

// The list a finding belongs to: the theme's own, or one entry's or volume
// line's. Kept as an index because the lists grow while the theme is read.
struct FindingList {
    enum class Of { Theme, Main, Prompt, Volume } of = Of::Theme;
    size_t index = 0;
};

// A picture shown in a rectangle: which of its sides the window sizes (a
// percentage, or a side that reaches the edge), so stretching along them is
// meant.
struct Shown {
    EntryRect rect;
    bool widthFromWindow = false;
    bool heightFromWindow = false;
};

class ThemeChecker {
public:
    ThemeChecker(Platform& os, const std::string& folder, const CheckOptions& options);
    ThemeCheck Run();

private:
    // ---- reading and telling (check_files.cpp) ----
    std::string Folder() const { return ctx_.g.ThemeFolder(); }
    bool Exists(const std::string& name);
    std::optional<std::string> Read(const std::string& section, const std::string& key,
                                    const std::string& name);
    std::vector<Finding>& List(FindingList at);
    void Report(FindingList at, Severity severity, const std::string& where, const std::string& text);
    void Report(Severity severity, const std::string& where, const std::string& text) {
        Report({}, severity, where, text);
    }
    // The picture the panel would show, or nullptr with the file's fault noted.
    PicturePtr Picture(FindingList at, Severity severity, const std::string& where, const std::string& name);
    // A sound as the player resolves it; "none" is the way to say no sound.
    void Sound(FindingList at, const std::string& where, const std::string& role, const std::string& name);
    // A file's fault, told once at its first use with the others named;
    // `what` is its role there ("hover sound").
    void FileFault(FindingList at, Severity severity, const std::string& where, const std::string& what,
                   const std::string& file, const std::string& fault);
    void TellFileFaults();
    // A picture drawn at another size than its own, where that shows.
    static bool IsStretched(const ::corvale::Picture& p, const Shown& shown);
    void Stretched(FindingList at, const std::string& where, const std::string& what,
                   const ::corvale::Picture& p, const Shown& shown);
    void ButtonFace(FindingList at, const std::string& where, const std::string& what,
                    const ::corvale::Picture& p, const EntryRect& button);

    // ---- the theme's files and single keys (theme_check.cpp) ----
    void ThemeSkin();
    std::optional<std::string> ChooseLayoutSkin();
    void LayoutSkinValues(const std::string& layout);
    void Boolean(const std::string& name, const std::string& section, const std::string& key,
                 const char* fallback);
    void Whole(const std::string& name, const std::string& section, const std::string& key);
    void SoundKey(const std::string& name, const std::string& section, const std::string& key);
    void ColourParts(FindingList at, const std::string& where, const std::string& what,
                     const std::vector<std::string>& parts, size_t first);

    // ---- numbered entries (check_entries.cpp) ----
    void Entries(FindingList::Of of, const std::string& section, const std::string& skin, ScreenSize client,
                 std::optional<ScreenSize> shownSize = std::nullopt);
    void Unreached(const std::string& section, const std::string& name, long missing);
    void Entry(FindingList at, CheckedEntry& entry, const std::string& where, EntryState& state,
               ScreenSize client, long number);
    std::set<int> Shifts(FindingList at, const std::string& where, const std::vector<FieldReading>& trace,
                         const std::vector<std::string>& written, const std::string& kind);
    void Numbers(FindingList at, const std::string& where, const std::vector<FieldReading>& trace,
                 const std::set<int>& shifted, const std::string& kind);
    void Colours(FindingList at, const std::string& where, const EntryReading& reading,
                 const EntryState& state);
    void Geometry(FindingList at, const std::string& where, const EntryRect& r, ScreenSize client,
                  const std::string& what = "");
    void TextBox(FindingList at, CheckedEntry& entry, const std::string& where);
    void StillPicture(FindingList at, const CheckedEntry& entry, const std::string& where,
                      const std::vector<FieldReading>& trace);
    void Animation(FindingList at, CheckedEntry& entry, const std::string& where,
                   const std::vector<FieldReading>& trace);
    void Button(FindingList at, CheckedEntry& entry, const std::string& where, const EntryReading& reading,
                const std::vector<std::string>& written, const std::set<int>& shifted, long number);
    void Command(FindingList at, const std::string& where, const std::string& command);
    void OutsidePicture(FindingList at, const std::string& where, const EntryRect& r, ScreenSize picture);
    void FarEdgeOfPrompt(FindingList at, const CheckedEntry& entry, const std::string& where,
                         EntryState before, ScreenSize shown);

    // ---- the volume panel, the information box, the prompt (check_panels.cpp) ----
    void Volume(const std::string& layout, ScreenSize client);
    void VolumePictures(const std::string& layout, std::vector<PicturePtr>& meters,
                        std::vector<PicturePtr>& labels);
    // Stretched pictures by what is said of them, with the lines they are
    // said of: one picture of the wrong size is one problem, on every line.
    using Stretches = std::map<std::string, std::vector<int>>;
    void VolumeLine(const std::string& layout, int slot, ScreenSize client,
                    const std::vector<PicturePtr>& meters, const std::vector<PicturePtr>& labels,
                    Stretches& stretches);
    void Info(const std::string& layout);
    void Prompt();
    void PromptFields(const std::string& theme, const char* key, int count, const char* otherwise);
    void InputBox(const std::string& theme);

    // ---- keys the panel never reads (check_keys.cpp) ----
    void UnreadKeys(const std::string& name);
    // The keys of a section as written, twice-written ones twice; nullopt
    // when the file or the section is not there.
    std::optional<std::vector<std::string>> SectionKeys(const std::string& name, const std::string& section);

    Platform& os_;
    Context ctx_;
    CheckOptions options_;
    ThemeCheck result_;
    bool mainWindow_ = true;  // which window's entries are being read
    int textBoxes_ = 0;

    struct FileUse {
        FindingList at;
        Severity severity;
        std::string where;
        std::string what;
        std::string file;
        std::string fault;
    };
    std::vector<FileUse> fileUses_;
};

}  // namespace corvale::check
