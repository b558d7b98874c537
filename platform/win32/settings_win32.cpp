// The per-user settings store in the registry.
#include "platform/win32/settings_win32.h"

#include <windows.h>

#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/text.h"

namespace corvale::win32 {

namespace {

// The runtime refuses an empty application or section name; so do we,
// rather than read or write the parent key by accident.
bool Addressable(const std::string& app, const std::string& section) {
    return !app.empty() && !section.empty();
}

std::wstring AppPath(const std::string& app) {
    return L"Software\\VB and VBA Program Settings\\" + Widen(app);
}

std::wstring SectionPath(const std::string& app, const std::string& section) {
    return AppPath(app) + L"\\" + Widen(section);
}

void DeleteKeyIfEmpty(const std::wstring& path) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return;
    DWORD subkeys = 1, values = 1;
    {
        const UniqueKey key(opened);
        if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                             nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return;
    }
    if (subkeys == 0 && values == 0) RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
}

}  // namespace

std::string RegistrySettings::Get(const std::string& app, const std::string& section, const std::string& key,
                                  const std::string& fallback) {
    if (!Addressable(app, section)) return fallback;
    const std::wstring path = SectionPath(app, section);
    const std::wstring name = Widen(key);
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    LONG code = ERROR_FILE_NOT_FOUND;
    for (int attempt = 0; attempt < 2; ++attempt) {
        auto it = open_.find(path);
        if (it == open_.end()) {
            HKEY opened = nullptr;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
                return fallback;
            it = open_.insert_or_assign(path, UniqueKey(opened)).first;
        }
        code = QueryValueBytes(it->second.get(), name, type, data);
        if (code != ERROR_KEY_DELETED) break;
        open_.erase(it);  // removed and perhaps made again by another program
    }
    if (code != ERROR_SUCCESS || type != REG_SZ) return fallback;
    std::wstring text = RegistryText(data);
    // Text ends at its first NUL, as the runtime's strings read it.
    text.resize(wcsnlen(text.c_str(), text.size()));
    return Narrow(text);
}

bool RegistrySettings::Save(const std::string& app, const std::string& section, const std::string& key,
                            const std::string& value) {
    if (!Addressable(app, section)) return false;
    HKEY created = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, SectionPath(app, section).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &created,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const UniqueKey sectionKey(created);
    const std::wstring text = Widen(value);
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(sectionKey.get(), Widen(key).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()), bytes) == ERROR_SUCCESS;
}

bool RegistrySettings::Delete(const std::string& app, const std::string& section, const std::string& key) {
    if (!Addressable(app, section)) return false;
    const std::wstring path = SectionPath(app, section);
    open_.erase(path);  // its handle would name a key that may be deleted below
    const LONG code = RegDeleteKeyValueW(HKEY_CURRENT_USER, path.c_str(), Widen(key).c_str());
    if (code != ERROR_SUCCESS && code != ERROR_FILE_NOT_FOUND) return false;
    DeleteKeyIfEmpty(path);
    DeleteKeyIfEmpty(AppPath(app));
    return true;
}

}  // namespace corvale::win32
