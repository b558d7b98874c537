// corvalectl on Linux: the theme checker over the files on disk, so a theme
// can be checked where it is made. The other commands need the panel's
// settings store and say so.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>

#include "base/values.h"
#include "ctl/commands.h"
#include "platform/host/host_platform.h"

namespace corvale::ctl {
namespace {

namespace fs = std::filesystem;

class HostSystem final : public System {
public:
    std::optional<std::string> FullFolderPath(const std::string& typed) override {
        std::error_code error;
        const auto folder = host::ResolvePath(typed);
        if (!folder || !fs::is_directory(*folder, error)) return std::nullopt;
        std::string full = fs::canonical(*folder, error).string();
        if (error) return std::nullopt;
        if (!full.ends_with('/')) full += '/';
        return full;
    }
    FileSystem& Files() override { return platform_.files; }
    std::optional<std::string> NewEmptyFolder(const std::string& typed, std::string& problem) override;
    bool WriteNewFile(const std::string& path, std::span<const std::uint8_t> bytes) override;
    Platform& ThemePlatform(const std::string&) override { return platform_.bundle; }
    SettingsStore* Settings() override { return nullptr; }
    bool PanelRunning() override { return false; }
    void LetPanelComeForward() override {}
    std::optional<std::pair<int, int>> ScreenPixels() override { return std::nullopt; }
    std::optional<std::pair<int, int>> WorkAreaPixels() override { return std::nullopt; }
    std::optional<bool> FindProgram(const std::string& program, const std::string& folder) override;
    void Pause(int) override {}
    long long NowMilliseconds() override { return 0; }
    std::string PanelProgram() override { return ""; }
    std::optional<std::string> LogonCommand() override { return std::nullopt; }
    bool SetLogonCommand(const std::optional<std::string>&) override { return false; }

private:
    host::HostPlatform platform_;
};

std::optional<std::string> HostSystem::NewEmptyFolder(const std::string& typed, std::string& problem) {
    std::error_code error;
    const fs::path folder = fs::absolute(typed, error);
    if (fs::exists(folder, error)) {
        if (!fs::is_directory(folder, error) || !fs::is_empty(folder, error)) {
            problem =
                typed + " is there and not an empty folder: a starter theme goes into a new or empty one";
            return std::nullopt;
        }
    } else if (!fs::is_directory(folder.parent_path(), error) || !fs::create_directory(folder, error)) {
        problem = "cannot make the folder " + typed + " (its parent folder must be there)";
        return std::nullopt;
    }
    std::string full = fs::canonical(folder, error).string();
    if (error) {
        problem = "cannot read the folder " + typed;
        return std::nullopt;
    }
    return full.ends_with('/') ? full : full + '/';
}

// "x": the file is made new or not at all, never written over.
bool HostSystem::WriteNewFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wbx"), std::fclose);
    return file && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
}

// Windows 7 to 11 keep these in the Windows folder or the system folder,
// where the shell always looks.
constexpr const char* kWindowsPrograms[] = {
    "calc",    "charmap", "cmd",      "control", "explorer", "magnify", "mmc",      "msconfig", "msinfo32",
    "mspaint", "mstsc",   "narrator", "notepad", "osk",      "regedit", "rundll32", "taskmgr",  "write",
};

// A program named by its bare name may leave out its extension, as the shell
// tries .exe, .com, .bat and .cmd.
bool IsWindowsProgram(const std::string& program) {
    std::string name = program;
    for (const char* extension : {".exe", ".com"})
        if (name.size() > 4 && EqualsNoCase(name.substr(name.size() - 4), extension))
            name.resize(name.size() - 4);
    for (const char* known : kWindowsPrograms)
        if (EqualsNoCase(name, known)) return true;
    return false;
}

// Here there is no Windows search path: the program folder, then the
// programs every Windows has. A drive or a network path is Windows' to find.
std::optional<bool> HostSystem::FindProgram(const std::string& program, const std::string& folder) {
    const bool fullPath = program.find(':') != std::string::npos || program.starts_with("\\\\");
    if (fullPath) return std::nullopt;
    if (program.find_first_of("\\/") == std::string::npos && IsWindowsProgram(program)) return true;
    for (const char* extension : {"", ".exe", ".com", ".bat", ".cmd"})
        if (host::ResolvePath(folder + program + extension)) return true;
    return false;
}

}  // namespace
}  // namespace corvale::ctl

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    corvale::ctl::HostSystem system;
    return corvale::ctl::Run(args, system, std::cout, std::cerr);
}
