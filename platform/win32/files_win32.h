// Reading files and listing folders through the system's wide calls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/system.h"

namespace corvale::win32 {

// The whole file at `path`, opened for reading only and shared with writers,
// so a file another program has open still reads; nullopt when it cannot be.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::wstring& path);

class Win32Files final : public FileSystem {
public:
    std::optional<std::vector<std::uint8_t>> ReadAll(const std::string& path) override;
    // A folder is not a file: it has no length either.
    std::int64_t FileLength(const std::string& path) override;
    // The date of the last write in the local time zone, with the daylight
    // rule in force on that date rather than today's.
    std::optional<FileDate> LastModified(const std::string& path) override;
    // Files only (no folders), ordered by name without regard to case. The
    // pattern is the system's: on volumes with short names it also matches
    // those, as every program that lists with FindFirstFile sees.
    std::optional<std::vector<std::string>> ListFiles(const std::string& folder,
                                                      const std::string& pattern) override;
};

}  // namespace corvale::win32
