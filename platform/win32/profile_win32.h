// Skin files read through the system's initialization-file reader.
#pragma once

#include <optional>
#include <string>

#include "platform/system.h"

namespace corvale::win32 {

// GetPrivateProfileStringW: ANSI files are converted from the ANSI code page
// and UTF-16 files with a byte-order mark read natively. A UTF-8 file with a
// byte-order mark is one the system's reader would take for ANSI (and lose
// its first section to the mark), so such a file is read here as UTF-8 with
// the system's rules; a file without the mark stays ANSI, as skins are.
class ProfileFileReader final : public ProfileReader {
public:
    std::optional<std::string> Read(const std::string& section, const std::string& key,
                                    const std::string& fallback, const std::string& file,
                                    int bufferChars) override;
};

}  // namespace corvale::win32
