// In-memory settings store, skin files, files, desktop, sound and launcher.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/launcher.h"
#include "platform/shaper.h"
#include "platform/sound.h"
#include "platform/system.h"

namespace corvale::fake {

// Keys folded to lower case, as the system compares them.
std::string Fold(const std::string& text);

class FakeSettings : public SettingsStore {
public:
    std::string Get(const std::string& app, const std::string& section, const std::string& key,
                    const std::string& fallback) override;
    bool Save(const std::string& app, const std::string& section, const std::string& key,
              const std::string& value) override;
    bool Delete(const std::string& app, const std::string& section, const std::string& key) override;

    // Test access, with the same case rules.
    void Put(const std::string& section, const std::string& key, const std::string& value,
             const std::string& app = "VEXAL Terminal");
    std::optional<std::string> Value(const std::string& section, const std::string& key,
                                     const std::string& app = "VEXAL Terminal") const;

    std::vector<std::string> writes;  // "section/key=value", in order

private:
    std::map<std::string, std::string> values_;  // folded app\section\key
};

// Initialization files by path; file, section and key names without regard
// to case, values without surrounding blanks, as the system's reader.
class FakeProfile : public ProfileReader {
public:
    std::optional<std::string> Read(const std::string& section, const std::string& key,
                                    const std::string& fallback, const std::string& file,
                                    int bufferChars) override;

    // Parses INI text into the file at `path`, replacing what was there.
    void SetFile(const std::string& path, const std::string& text);
    void RemoveFile(const std::string& path);
    int reads = 0;
    bool failReads = false;

private:
    using Section = std::map<std::string, std::string>;
    std::map<std::string, std::map<std::string, Section>> files_;
};

class FakeFiles : public FileSystem {
public:
    std::optional<std::vector<std::uint8_t>> ReadAll(const std::string& path) override;
    std::int64_t FileLength(const std::string& path) override;
    std::optional<FileDate> LastModified(const std::string& path) override;
    std::optional<std::vector<std::string>> ListFiles(const std::string& folder,
                                                      const std::string& pattern) override;

    void Put(const std::string& path, std::vector<std::uint8_t> bytes, FileDate date = {2024, 1, 2});
    void Put(const std::string& path, const std::string& text, FileDate date = {2024, 1, 2});
    void AddFolder(const std::string& folder) { folders_.push_back(Fold(folder)); }

    std::vector<std::string> reads;  // paths read whole

private:
    struct Entry {
        std::string path;
        std::vector<std::uint8_t> bytes;
        FileDate date;
    };
    std::map<std::string, Entry> files_;  // folded path
    std::vector<std::string> folders_;
};

class FakeDesktop : public Desktop {
public:
    bool PreviousInstanceRunning() override { return previousInstance; }
    std::vector<TopWindow> TopLevelWindows() override { return windows; }
    void RaiseWindow(WindowHandle window) override { raised.push_back(window); }

    bool previousInstance = false;
    std::vector<TopWindow> windows;
    std::vector<WindowHandle> raised;
};

class FakeSound : public SoundPlayer {
public:
    std::string ShortPath(const std::string& path) override;
    bool PlaySimple(const std::string& file) override;
    bool PlayOverlapping(const std::string& file) override;

    // Paths that exist, with their short forms (default: the path upper-cased
    // with blanks removed).
    std::map<std::string, std::string> shortPaths;
    std::vector<std::string> played;  // "simple FILE" / "overlap FILE"
};

class FakeLauncher : public Launcher {
public:
    bool StartProcess(const std::string& commandLine, WindowState state) override;
    bool StartSystemProgram(const SystemProgram& program, const std::string& commandLine,
                            WindowState state) override;
    bool ShellOpen(WindowHandle owner, const std::string& file, const std::string& parameters,
                   const std::string& directory) override;
    RegistryValue ReadRegistry(RegistryRoot root, const std::string& subKey,
                               const std::string& valueName) override;

    struct Start {
        std::string commandLine;
        WindowState state;
        std::string program;  // "system\\file" or "windows\\file"; "" when found by the search order
    };
    struct Open {
        WindowHandle owner;
        std::string file, parameters, directory;
    };
    std::vector<Start> started;
    std::vector<Open> opened;
    std::map<std::string, RegistryValue> registry;  // "subKey\\valueName"
};

class FakeShaper : public WindowShaper {
public:
    bool SetColorKey(WindowHandle window, Color key) override;
    bool SetRegion(WindowHandle window, const std::vector<Rect>& rectangles) override;

    bool refuseColorKey = false;  // as a system without layered windows
    std::optional<Color> colorKey;
    std::optional<std::vector<Rect>> region;
};

}  // namespace corvale::fake
