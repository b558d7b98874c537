// Reads one key of one skin file through the system's profile reader.
#include "skin/skin_reader.h"

#include "platform/system.h"
#include "platform/toolkit.h"

namespace corvale {
namespace {
constexpr const char* kNotFound = "NotFound";
constexpr int kValueBuffer = 32000;
}  // namespace

bool SkinReader::ReadSkinValue(const std::string& section, const std::string& key, const std::string& file) {
    SkinValue.clear();
    const auto text = platform_.profile.Read(section, key, kNotFound, file, kValueBuffer);
    if (!text) {
        platform_.toolkit.MessageBox("Error Retrieving Key");
        return false;
    }
    std::string value = text->substr(0, text->find('\0'));
    if (value == kNotFound) return false;
    SkinValue = std::move(value);
    return true;
}

}  // namespace corvale
