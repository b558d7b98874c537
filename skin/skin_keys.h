// Every section and key the panel reads from a theme's skins: the one list
// that the theme checker and the theme reference's test hold the program to.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvale {

// terminal.skn and Terminal.ini beside it; a layout skin and its .ini.
enum class SkinFile { Theme, ThemeOverride, Layout, LayoutOverride };

// One key, or a run of numbered keys: `name` followed by each number from
// `first` to `last` written with at least `digits` digits ("Meter" 0..21 in
// two digits: Meter00 ... Meter21). Entries have no name and no last number.
struct SkinKeys {
    SkinFile file;
    const char* section;
    const char* name;
    int first = -1;  // -1: a single key
    int last = -1;   // -1: numbered without end
    int digits = 0;
};

inline constexpr int kNoEnd = -1;

inline constexpr SkinKeys kSkinKeys[] = {
    {SkinFile::Theme, "DEFAULT", "Animated"},        {SkinFile::Theme, "DEFAULT", "AnimDelay"},
    {SkinFile::Theme, "DEFAULT", "Sound"},           {SkinFile::Theme, "DEFAULT", "Multiple"},
    {SkinFile::Theme, "DEFAULT", "PassStartSound"},  {SkinFile::Theme, "DEFAULT", "PassFailSound"},
    {SkinFile::Theme, "DEFAULT", "PassOkSound"},     {SkinFile::Theme, "INPUT", "BackGround"},
    {SkinFile::Theme, "INPUT", "MaskColor"},         {SkinFile::Theme, "INPUT", "InputBox"},
    {SkinFile::Theme, "INPUT", "", 1, kNoEnd, 2},    {SkinFile::Theme, "STARTUP", "Animated"},
    {SkinFile::Theme, "STARTUP", "AnimDelay"},       {SkinFile::ThemeOverride, "INPUT", "", 1, kNoEnd, 2},
    {SkinFile::Layout, "DEFAULT", "BackGround"},     {SkinFile::Layout, "DEFAULT", "StartupSound"},
    {SkinFile::Layout, "DEFAULT", "", 1, kNoEnd, 2}, {SkinFile::Layout, "INFO", "", 1, 32, 2},
    {SkinFile::Layout, "VOLUME", "Meter", 0, 21, 2}, {SkinFile::Layout, "VOLUME", "label", 0, 9, 1},
    {SkinFile::Layout, "VOLUME", "volume", 0, 9, 1}, {SkinFile::LayoutOverride, "DEFAULT", "", 1, kNoEnd, 2},
};

// Which of the four a skin file is, by its name: terminal.* or Corvale*,
// .skn or .ini, in any letter case.
SkinFile SkinFileOf(std::string_view path);

// Whether the panel reads `key` in `section` of such a file. Names match
// without regard to letter case, as the reader matches them; a number must be
// written exactly as the panel asks for it ("01", never "1" or "001").
bool PanelReadsKey(SkinFile file, std::string_view section, std::string_view key);
bool PanelReadsSection(SkinFile file, std::string_view section);

// Every key name of a row: each numbered key of a run with an end, the first
// of one without.
std::vector<std::string> KeyNames(const SkinKeys& row);

// The sections the panel reads in such a file.
std::vector<std::string> SectionNames(SkinFile file);

// The known name nearest to `typed` (letter case aside) when it is near
// enough to be a slip of the keyboard; "" otherwise.
std::string NearestName(std::string_view typed, std::span<const std::string> known);

}  // namespace corvale
