// docs/THEMES.md describes every skin key the panel reads, under the heading
// of the key's own file and section; the list of keys the checker holds
// themes to is the list of keys the panel asks for.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "app/frm_main.h"
#include "base/values.h"
#include "mixer/volume_panel.h"
#include "skin/skin_keys.h"
#include "tests/fake/fake_platform.h"

namespace corvale {
namespace {

// One key as the program asked for it: the kind of skin file, the section
// in capitals, the key as written in the code.
using AskedKey = std::tuple<SkinFile, std::string, std::string>;

// The chapter of the document that describes a kind of skin file.
std::string ChapterOf(SkinFile file) {
    return file == SkinFile::Theme || file == SkinFile::ThemeOverride ? "terminal.skn" : "layout skin";
}

// The fake's skin files, with every question noted.
class RecordingProfile : public ProfileReader {
public:
    explicit RecordingProfile(ProfileReader& files) : files_(files) {}
    std::optional<std::string> Read(const std::string& section, const std::string& key,
                                    const std::string& fallback, const std::string& file,
                                    int bufferChars) override {
        asked.insert({SkinFileOf(file), UpperCase(section), key});
        return files_.Read(section, key, fallback, file, bufferChars);
    }
    std::set<AskedKey> asked;

private:
    ProfileReader& files_;
};

// The text under the "###" heading naming `[section]` within the "##"
// chapter whose heading names `skin`; "" when there is none.
std::string DocumentPart(const std::string& doc, const std::string& skin, const std::string& section) {
    std::istringstream lines(doc);
    std::string line, part;
    bool inChapter = false, inPart = false;
    while (std::getline(lines, line)) {
        if (line.starts_with("## ")) inChapter = line.find(skin) != std::string::npos;
        if (line.starts_with("## ") || line.starts_with("### "))
            inPart = inChapter && line.starts_with("### ") &&
                     line.find("`[" + section + "]`") != std::string::npos;
        else if (inPart) part += line + "\n";
    }
    return part;
}

// `key` itself, or a range such as `Meter00`–`Meter19` whose ends share the
// key's stem and number of digits.
bool Describes(const std::string& part, const std::string& key) {
    if (part.find("`" + key + "`") != std::string::npos) return true;
    static const std::regex range("`([A-Za-z]*)([0-9]+)`–`([A-Za-z]*)([0-9]+)`");
    static const std::regex numbered("([A-Za-z]*)([0-9]+)");
    std::smatch k;
    if (!std::regex_match(key, k, numbered)) return false;
    for (std::sregex_iterator it(part.begin(), part.end(), range), end; it != end; ++it) {
        const std::smatch& r = *it;
        if (r[1] == k[1] && r[3] == k[1] && r[2].length() == k[2].length() &&
            std::stol(r[2]) <= std::stol(k[2]) && std::stol(k[2]) <= std::stol(r[4]))
            return true;
    }
    return false;
}

// Starts the panel on a theme with every kind of entry and a card with every
// kind of mixer line, and clicks a protected button twice, wrongly and
// rightly: the start-up, the layout builder, the information box, the
// volume panel, the sounds and the prompt all ask for their keys.
std::set<AskedKey> KeysThePanelAsksFor() {
    fake::FakePlatform os;
    RecordingProfile profile(os.profile);
    Platform platform{os.toolkit, os.settings, profile,   os.files,  os.desktop,
                      os.sound,   os.launcher, os.shaper, os.probes, os.mixer};
    os.settings.Put("Default", "ProgramDir", "C:\\P\\");
    os.settings.Put("Default", "ThemeDir", "T\\");
    os.settings.Put("DEFAULT", "Password", "right");
    os.profile.SetFile("C:\\P\\T\\terminal.skn",
                       "[DEFAULT]\nPassStartSound=s\n[INPUT]\nBackGround=p.bmp\n"
                       "01=ok.bmp,B,1,1,9,9,h,c,False,OK\n02=a.gif,A,1,1,9,9\n");
    os.profile.SetFile("C:\\P\\T\\Corvale1024.skn",
                       "[DEFAULT]\nBackGround=1,2,3\n01=info,L,1,1,99,99,0,0,0,9,9,9,Arial,9\n"
                       "02=report,L,1,1,99,99,0,0,0,9,9,9,Arial,9\n03=p.bmp,P,1,1,9,9\n"
                       "04=b.bmp,B,1,1,9,9,h,c,True,go.exe\n05=a.gif,A,1,1,9,9\n");
    for (std::uint32_t kind : kLineKinds) os.mixer.AddStandardLine(kind, "line", 100, 0);
    Context ctx{platform};
    FrmMain main{ctx};
    main.Load();
    for (const char* answer : {"wrong", "right"}) {
        os.toolkit.onShowModal = [answer](fake::FakeForm& prompt) {
            prompt.Get(ControlArray::txtInput, 0)->text = answer;
            prompt.Events().OnKeyUp({ControlArray::txtInput, 0}, {kKeyReturn, 0});
        };
        main.OnClick({ControlArray::imgBut, 1});
    }
    return profile.asked;
}

TEST(ThemesDocument, DescribesEveryKeyThePanelReadsUnderItsFileAndSection) {
    std::ifstream file(CORVALE_SOURCE_DIR "/docs/THEMES.md");
    ASSERT_TRUE(file) << "docs/THEMES.md cannot be read";
    const std::string doc((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());

    const std::set<AskedKey> asked = KeysThePanelAsksFor();
    // The scene reaches the prompt, every volume line and the last label.
    for (const AskedKey& reached :
         {AskedKey{SkinFile::Theme, "INPUT", "InputBox"}, AskedKey{SkinFile::Theme, "DEFAULT", "PassOkSound"},
          AskedKey{SkinFile::Layout, "VOLUME", "volume9"}, AskedKey{SkinFile::Layout, "INFO", "32"},
          AskedKey{SkinFile::LayoutOverride, "DEFAULT", "01"}})
        EXPECT_TRUE(asked.count(reached)) << std::get<2>(reached) << " was never asked for";

    std::string unlisted;
    for (const auto& [skin, section, key] : asked)
        if (!PanelReadsKey(skin, section, key))
            unlisted += "\n  " + ChapterOf(skin) + " [" + section + "] " + key;
    EXPECT_TRUE(unlisted.empty()) << "skin/skin_keys.h does not list these keys the panel reads:" << unlisted;

    std::string missing;
    for (const SkinKeys& row : kSkinKeys)
        for (const std::string& key : KeyNames(row))
            if (!Describes(DocumentPart(doc, ChapterOf(row.file), row.section), key))
                missing += "\n  " + ChapterOf(row.file) + " [" + row.section + "] " + key;
    EXPECT_TRUE(missing.empty()) << "docs/THEMES.md does not describe, under their file's chapter and their "
                                    "section's heading, these keys the panel reads:"
                                 << missing;
}

}  // namespace
}  // namespace corvale
