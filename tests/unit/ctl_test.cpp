// corvalectl's installer commands on a fake machine: which theme settings
// and which start at sign-in each case writes, keeps or removes.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "ctl/commands.h"
#include "tests/fake/fake_platform.h"

namespace corvale::ctl {
namespace {

constexpr char kPanel[] = "C:\\Apps\\Corvale\\corvale.exe";

class FakeMachine final : public System {
public:
    FakeMachine() {
        platform.files.Put(kPanel, "MZ");
        platform.files.Put("C:\\Apps\\Corvale\\themes\\default\\terminal.skn", "[DEFAULT]");
    }
    std::optional<std::string> FullFolderPath(const std::string& typed) override {
        const std::string folder = typed.ends_with('\\') ? typed : typed + "\\";
        return folders.contains(folder) ? std::optional(folder) : std::nullopt;
    }
    FileSystem& Files() override { return platform.files; }
    Platform& ThemePlatform(const std::string&) override { return platform.bundle; }
    SettingsStore* Settings() override { return &platform.settings; }
    bool PanelRunning() override { return false; }
    void LetPanelComeForward() override {}
    std::optional<std::string> NewEmptyFolder(const std::string&, std::string&) override {
        return std::nullopt;
    }
    bool WriteNewFile(const std::string&, std::span<const std::uint8_t>) override { return false; }
    std::optional<std::pair<int, int>> ScreenPixels() override { return std::nullopt; }
    std::optional<std::pair<int, int>> WorkAreaPixels() override { return std::nullopt; }
    std::optional<bool> FindProgram(const std::string&, const std::string&) override { return std::nullopt; }
    void Pause(int) override {}
    long long NowMilliseconds() override { return 0; }
    std::string PanelProgram() override { return kPanel; }
    std::optional<std::string> LogonCommand() override { return logon; }
    bool SetLogonCommand(const std::optional<std::string>& command) override {
        logon = command;
        return true;
    }

    int Run(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        return ctl::Run(args, *this, out, err);
    }
    std::optional<std::string> Setting(const char* key) { return platform.settings.Value("Default", key); }

    fake::FakePlatform platform;
    std::set<std::string> folders{"C:\\Apps\\Corvale\\", "C:\\Apps\\Corvale\\themes\\default\\"};
    std::optional<std::string> logon;
};

using Text = std::optional<std::string>;

TEST(CtlInstall, ThemeIfUnsetWritesOnlyWhereNoThemeIsChosen) {
    const struct {
        const char* why;
        Text programDir, themeDir;
        bool ifUnset;
        Text wantProgramDir, wantThemeDir;
    } cases[] = {
        {"nothing chosen", {}, {}, true, "C:\\Apps\\Corvale\\themes\\", "default\\"},
        {"empty values choose nothing", "", "", true, "C:\\Apps\\Corvale\\themes\\", "default\\"},
        {"a theme chosen elsewhere stays", "D:\\Mine\\", "blue\\", true, "D:\\Mine\\", "blue\\"},
        {"a program folder alone is a choice", "D:\\Mine\\", {}, true, "D:\\Mine\\", {}},
        {"without the option the theme is replaced", "D:\\Mine\\", "blue\\", false,
         "C:\\Apps\\Corvale\\themes\\", "default\\"},
    };
    for (const auto& c : cases) {
        FakeMachine machine;
        if (c.programDir) machine.platform.settings.Put("Default", "ProgramDir", *c.programDir);
        if (c.themeDir) machine.platform.settings.Put("Default", "ThemeDir", *c.themeDir);
        std::vector<std::string> args{"theme", "C:\\Apps\\Corvale\\themes\\default"};
        if (c.ifUnset) args.push_back("--if-unset");
        EXPECT_EQ(machine.Run(args), 0) << c.why;
        EXPECT_EQ(machine.Setting("ProgramDir"), c.wantProgramDir) << c.why;
        EXPECT_EQ(machine.Setting("ThemeDir"), c.wantThemeDir) << c.why;
    }
}

TEST(CtlInstall, ForgetRemovesOnlyWhatPointsIntoTheFolder) {
    const struct {
        const char* why;
        Text programDir, logon;
        bool themeGoes, logonGoes;
    } cases[] = {
        {"the installed theme and panel", "C:\\Apps\\Corvale\\themes\\", "\"C:\\Apps\\Corvale\\corvale.exe\"",
         true, true},
        {"other letter case and slashes", "c:/apps/CORVALE/themes/", "C:\\APPS\\corvale\\corvale.exe /min",
         true, true},
        {"a folder whose name only begins the same", "C:\\Apps\\Corvale2\\themes\\",
         "\"C:\\Apps\\Corvale2\\corvale.exe\"", false, false},
        {"a theme and a panel elsewhere", "D:\\Themes\\", "\"D:\\Old\\corvale.exe\"", false, false},
        {"a theme relative to the current folder", {}, {}, false, false},
    };
    for (const auto& c : cases) {
        FakeMachine machine;
        machine.platform.settings.Put("DEFAULT", "Password", "kept");
        if (c.programDir) machine.platform.settings.Put("Default", "ProgramDir", *c.programDir);
        machine.platform.settings.Put("Default", "ThemeDir", "default\\");
        machine.logon = c.logon;
        EXPECT_EQ(machine.Run({"forget", "C:\\Apps\\Corvale"}), 0) << c.why;
        EXPECT_EQ(machine.Setting("ProgramDir"), c.themeGoes ? Text{} : c.programDir) << c.why;
        EXPECT_EQ(machine.Setting("ThemeDir"), c.themeGoes ? Text{} : Text{"default\\"}) << c.why;
        EXPECT_EQ(machine.logon, c.logonGoes ? Text{} : c.logon) << c.why;
        EXPECT_EQ(machine.platform.settings.Value("DEFAULT", "Password"), "kept") << c.why;
    }
}

TEST(CtlInstall, StartupWritesThePanelBesideItAndNeverAMissingOne) {
    FakeMachine machine;
    machine.logon = "\"D:\\Old\\corvale.exe\"";
    EXPECT_EQ(machine.Run({"startup", "status"}), 0) << "another copy starts: still on";
    EXPECT_EQ(machine.Run({"startup", "on"}), 0);
    EXPECT_EQ(machine.logon, "\"" + std::string(kPanel) + "\"");
    machine.platform.files = {};
    machine.logon.reset();
    EXPECT_EQ(machine.Run({"startup", "on"}), 1);
    EXPECT_EQ(machine.logon, std::nullopt);
}

}  // namespace
}  // namespace corvale::ctl
