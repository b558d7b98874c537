// The one reader of skin values.
#pragma once

#include <string>

#include "platform/platform.h"

namespace corvale {

class SkinReader {
public:
    explicit SkinReader(Platform& platform) : platform_(platform) {}

    // True when `key` exists in `section` of `file`, with its text left in
    // SkinValue; false (and SkinValue "") when the file, section or key is
    // missing or the value is literally "NotFound".
    bool ReadSkinValue(const std::string& section, const std::string& key, const std::string& file);

    // The value found by the last successful read; "" after a failed one.
    std::string SkinValue;

private:
    Platform& platform_;
};

}  // namespace corvale
