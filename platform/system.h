// The settings store, the profile-file reader, files and the desktop's
// top-level windows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace corvale {

// Per-user text settings addressed by application, section and key. Section
// names are compared without regard to case.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string Get(const std::string& app, const std::string& section, const std::string& key,
                            const std::string& fallback) = 0;
    virtual bool Save(const std::string& app, const std::string& section, const std::string& key,
                      const std::string& value) = 0;
    // Removes the value; true when it is gone, also when it was never there.
    virtual bool Delete(const std::string& app, const std::string& section, const std::string& key) = 0;
};

// The system's initialization-file reader. Returns what the reader leaves in
// a buffer of `bufferChars` characters (the fallback when the file, section or
// key is missing), or nullopt when the read itself failed.
class ProfileReader {
public:
    virtual ~ProfileReader() = default;
    virtual std::optional<std::string> Read(const std::string& section, const std::string& key,
                                            const std::string& fallback, const std::string& file,
                                            int bufferChars) = 0;
};

struct FileDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // The whole file, opened for reading only; nullopt when it cannot be read.
    virtual std::optional<std::vector<std::uint8_t>> ReadAll(const std::string& path) = 0;
    // Length in bytes, or -1 when the file cannot be found.
    virtual std::int64_t FileLength(const std::string& path) = 0;
    virtual std::optional<FileDate> LastModified(const std::string& path) = 0;
    // Names (without folder) of the files in `folder` that match `pattern`,
    // in alphabetical order; nullopt when the folder does not exist.
    virtual std::optional<std::vector<std::string>> ListFiles(const std::string& folder,
                                                              const std::string& pattern) = 0;
};

// One top-level window as the walk over the desktop sees it.
struct TopWindow {
    WindowHandle handle = 0;
    bool visible = false;
    WindowHandle parent = 0;
    WindowHandle owner = 0;
    std::uint32_t exStyle = 0;
    std::uint32_t ownerExStyle = 0;  // 0 when there is no owner
    std::string caption;
};

class Desktop {
public:
    virtual ~Desktop() = default;
    // True when another process of this program already runs.
    virtual bool PreviousInstanceRunning() = 0;
    // Every top-level window, first to last in the system's order.
    virtual std::vector<TopWindow> TopLevelWindows() = 0;
    // Asks the running panel's main window to come forward: restored when
    // minimised, on the virtual desktop the user is on, above all others
    // without staying topmost, and neither moved nor sized. Returns at once,
    // however busy that panel is.
    virtual void RaiseWindow(WindowHandle window) = 0;
};

}  // namespace corvale
