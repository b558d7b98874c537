// corvalectl on Linux: the theme checker over the files on disk, so a theme
// can be checked where it is made. The other commands need the panel's
// settings store and say so.
#include <filesystem>
#include <iostream>

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
    Platform& ThemePlatform(const std::string&) override { return platform_.bundle; }
    SettingsStore* Settings() override { return nullptr; }
    bool PanelRunning() override { return false; }
    void LetPanelComeForward() override {}
    std::optional<std::pair<int, int>> ScreenPixels() override { return std::nullopt; }
    void Pause(int) override {}
    long long NowMilliseconds() override { return 0; }

private:
    host::HostPlatform platform_;
};

}  // namespace
}  // namespace corvale::ctl

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    corvale::ctl::HostSystem system;
    return corvale::ctl::Run(args, system, std::cout, std::cerr);
}
