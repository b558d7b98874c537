// Skin files read by the rules of the system's initialization-file reader.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/system.h"

namespace corvale::win32 {

// Answers as GetPrivateProfileStringW does: ANSI files in the ANSI code
// page, UTF-16 files with a byte-order mark natively. A UTF-8 file with a
// byte-order mark, which the system's reader would take for ANSI (and lose
// its first section to the mark), is read as UTF-8.
//
// The skin is read for every value, often hundreds of times during a start;
// the system's reader opens the file (and, on some systems, looks in the
// registry) on each call. So the reader keeps the text of the last few
// files and takes it apart itself, reading a file again only when its size
// or last-write time has changed.
class ProfileFileReader final : public ProfileReader {
public:
    std::optional<std::string> Read(const std::string& section, const std::string& key,
                                    const std::string& fallback, const std::string& file,
                                    int bufferChars) override;

private:
    struct KnownFile {
        std::wstring path;
        ULARGE_INTEGER size{};
        FILETIME written{};
        std::string text;  // UTF-8
    };

    // The text of the file as it stands now; nullptr when it cannot be read.
    const std::string* Text(const std::wstring& path);

    std::vector<KnownFile> files_;  // the most recently read first
};

}  // namespace corvale::win32
