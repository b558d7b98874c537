// The platform of corvalectl on Linux: the theme's files on disk, the skin
// reader's rules, the program's own picture decoders, and no window, sound
// card or settings store.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/launcher.h"
#include "platform/mixer.h"
#include "platform/platform.h"
#include "platform/probes.h"
#include "platform/shaper.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "platform/toolkit.h"

namespace corvale::host {

// Skins name their files as Windows does: with backslashes, in any case.
// The path on disk of such a name, the first entry of each folder that
// matches without regard to case taken; nullopt when nothing matches.
std::optional<std::string> ResolvePath(const std::string& windowsPath);

class HostFiles final : public FileSystem {
public:
    std::optional<std::vector<std::uint8_t>> ReadAll(const std::string& path) override;
    std::int64_t FileLength(const std::string& path) override;
    std::optional<FileDate> LastModified(const std::string& path) override;
    std::optional<std::vector<std::string>> ListFiles(const std::string& folder,
                                                      const std::string& pattern) override;
};

// The system reader's rules, as the panel applies them to the skins that
// reader cannot take. Skins are read as UTF-8 here: an ANSI skin's letters
// beyond ASCII may show differently; its numbers and names do not.
class HostProfile final : public ProfileReader {
public:
    std::optional<std::string> Read(const std::string& section, const std::string& key,
                                    const std::string& fallback, const std::string& file,
                                    int bufferChars) override;
};

// Pictures through the program's own decoders; no forms can be made.
class HostToolkit final : public Toolkit {
public:
    std::unique_ptr<Form> CreateOwnedForm(FormKind, FormEvents&, WindowHandle) override { return nullptr; }
    PicturePtr LoadPicture(const std::string& path) override;
    PicturePtr LoadPictureFromBytes(std::span<const std::uint8_t> bytes) override;
    PicturePtr LoadDensePictureFromBytes(std::span<const std::uint8_t> bytes, int density) override;
    // Nothing is drawn here: the plain picture is the one measured.
    PictureFile ChoosePictureFile(const std::string& path) override { return {path, 1}; }
    void DoEvents() override {}
    void Sleep(int milliseconds) override;
    long long Now() const override;
    void MessageBox(const std::string& text) override;
    int ScreenWidthPixels() const override { return 0; }
    int TwipsPerPixelX() const override { return 15; }
    int TwipsPerPixelY() const override { return 15; }
    Rect WorkArea() const override { return {}; }
    NearestMonitor MonitorNearest(const Rect&) const override { return {}; }
    Point CursorPos() const override { return {}; }
    WindowHandle WindowFromPoint(Point) const override { return 0; }
    [[noreturn]] void EndProgram() override;
};

// What a machine without the panel's devices answers: nothing is stored,
// played, started or found.
class NoDevices final : public SettingsStore,
                        public Desktop,
                        public SoundPlayer,
                        public Launcher,
                        public WindowShaper,
                        public SystemProbes,
                        public MixerDevice {
public:
    std::string Get(const std::string&, const std::string&, const std::string&,
                    const std::string& fallback) override {
        return fallback;
    }
    bool Save(const std::string&, const std::string&, const std::string&, const std::string&) override {
        return false;
    }
    bool Delete(const std::string&, const std::string&, const std::string&) override { return false; }
    bool PreviousInstanceRunning() override { return false; }
    std::vector<TopWindow> TopLevelWindows() override { return {}; }
    void RaiseWindow(WindowHandle) override {}
    std::string ShortPath(const std::string&) override { return ""; }
    bool PlaySimple(const std::string&) override { return false; }
    bool PlayOverlapping(const std::string&) override { return false; }
    bool StartProcess(const std::string&, WindowState) override { return false; }
    bool StartSystemProgram(const SystemProgram&, const std::string&, WindowState) override { return false; }
    bool ShellOpen(WindowHandle, const std::string&, const std::string&, const std::string&) override {
        return false;
    }
    RegistryValue ReadRegistry(RegistryRoot, const std::string&, const std::string&) override {
        return {2, 0, {}};
    }
    bool SetColorKey(WindowHandle, Color) override { return false; }
    bool SetRegion(WindowHandle, const std::vector<Rect>&) override { return false; }
    std::optional<OsVersion> QueryOsVersion() override { return std::nullopt; }
    std::optional<std::string> QueryUserName(std::uint32_t) override { return std::nullopt; }
    std::optional<std::string> QueryComputerName(std::uint32_t) override { return std::nullopt; }
    BufferAnswer QueryWindowsDirectory(std::uint32_t) override { return {}; }
    BufferAnswer QuerySystemDirectory(std::uint32_t) override { return {}; }
    BufferAnswer QueryTempPath(std::uint32_t) override { return {}; }
    ProcessorFacts QueryProcessors() override { return {}; }
    std::optional<std::string> QueryProcessorName() override { return std::nullopt; }
    std::optional<MemoryFacts> QueryMemory() override { return std::nullopt; }
    std::optional<std::string> QueryThousandsSeparator() override { return std::nullopt; }
    FileVersionAnswer QueryFileVersion(const std::string&) override { return {}; }
    std::vector<std::string> QueryDriveRoots() override { return {}; }
    int QueryDriveType(const std::string&) override { return 0; }
    void StartDriveQueries(const std::vector<std::string>&) override {}
    bool AwaitDriveAnswers() override { return true; }
    std::optional<ClusterCounts> QueryDiskClusters(const std::string&) override { return std::nullopt; }
    std::optional<ByteCounts> QueryDiskBytes(const std::string&) override { return std::nullopt; }
    std::optional<std::string> QueryVolumeLabel(const std::string&) override { return std::nullopt; }
    std::optional<std::uint32_t> QueryVolumeSerial(const std::string&) override { return std::nullopt; }
    MmResult Open(std::uint32_t, MixerId&) override { return mm::kBadDeviceId; }
    MmResult Close(MixerId) override { return mm::kInvalidHandle; }
    MmResult GetLineInfo(MixerId, MixerLineRecord&, std::uint32_t) override { return mm::kInvalidHandle; }
    MmResult GetLineControls(MixerId, MixerLineControlsRecord&, std::uint32_t) override {
        return mm::kInvalidHandle;
    }
    MmResult GetControlDetails(MixerId, MixerControlDetailsRecord&, std::uint32_t) override {
        return mm::kInvalidHandle;
    }
    MmResult SetControlDetails(MixerId, const MixerControlDetailsRecord&, std::uint32_t) override {
        return mm::kInvalidHandle;
    }
};

struct HostPlatform {
    HostToolkit toolkit;
    HostProfile profile;
    HostFiles files;
    NoDevices none;
    Platform bundle{toolkit, none, profile, files, none, none, none, none, none, none};
};

}  // namespace corvale::host
