// The per-user settings store in the registry, where the classic runtime's
// GetSetting and SaveSetting keep them and the suite's other programs look.
#pragma once

#include <map>
#include <string>

#include "platform/system.h"
#include "platform/win32/handles.h"

namespace corvale::win32 {

// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<app>\<section>,
// one REG_SZ value per key. The registry compares key and value names
// without regard to case, which gives sections the same rule.
class RegistrySettings final : public SettingsStore {
public:
    std::string Get(const std::string& app, const std::string& section, const std::string& key,
                    const std::string& fallback) override;
    bool Save(const std::string& app, const std::string& section, const std::string& key,
              const std::string& value) override;
    // A section left with nothing in it goes too, and then the program's
    // key if it is left empty, so that an uninstall leaves nothing behind.
    bool Delete(const std::string& app, const std::string& section, const std::string& key) override;

private:
    // Sections stay open once read: the exit timer reads two values every
    // half second, and each open and close is a trip to the registry. A
    // section deleted meanwhile is opened afresh.
    std::map<std::wstring, UniqueKey> open_;
};

}  // namespace corvale::win32
