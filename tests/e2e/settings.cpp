// The suite's settings store as the program sees it: string values under
// HKCU\Software\VB and VBA Program Settings\VEXAL Terminal\<section>.
#include <cstdlib>
#include <stdexcept>

#include "tests/e2e/driver.h"

namespace corvale::e2e {

namespace {

constexpr wchar_t kAppKey[] = L"Software\\VB and VBA Program Settings\\VEXAL Terminal";

std::wstring SectionKey(const std::wstring& section) { return std::wstring(kAppKey) + L"\\" + section; }

win32::UniqueKey OpenKey(const std::wstring& path, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return {};
    return win32::UniqueKey(key);
}

std::optional<std::wstring> ReadString(const std::wstring& path, const std::wstring& name) {
    const win32::UniqueKey k = OpenKey(path, KEY_QUERY_VALUE);
    if (!k) return std::nullopt;
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(k.get(), name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(k.get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()),
                         &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(wcsnlen(text.c_str(), bytes / sizeof(wchar_t)));
    return text;
}

void WriteValue(const std::wstring& path, const std::wstring& name, const std::wstring& value) {
    HKEY raw = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw,
                        nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create " + Utf8(path));
    const win32::UniqueKey owned(raw);
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    if (RegSetValueExW(owned.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       bytes) != ERROR_SUCCESS)
        throw std::runtime_error("cannot set " + Utf8(path) + "\\" + Utf8(name));
}

void WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    WriteValue(SectionKey(section), key, value);
}

std::vector<std::wstring> SubkeyNames(HKEY key) {
    std::vector<std::wstring> names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    return names;
}

}  // namespace

void SaveSetting(const std::string& section, const std::string& key, const std::string& value) {
    WriteString(Wide(section), Wide(key), Wide(value));
}

std::optional<std::string> GetSetting(const std::string& section, const std::string& key) {
    const std::optional<std::wstring> text = ReadString(SectionKey(Wide(section)), Wide(key));
    if (!text) return std::nullopt;
    return Utf8(*text);
}

void DeleteSetting(const std::string& section, const std::string& key) {
    const win32::UniqueKey k = OpenKey(SectionKey(Wide(section)), KEY_SET_VALUE);
    if (k) RegDeleteValueW(k.get(), Wide(key).c_str());
}

SettingsSandbox::SettingsSandbox() {
    if (const win32::UniqueKey app = OpenKey(kAppKey, KEY_READ)) {
        for (const std::wstring& section : SubkeyNames(app.get())) {
            const win32::UniqueKey k = OpenKey(SectionKey(section), KEY_READ);
            if (!k) continue;
            std::vector<wchar_t> name(16384);  // the longest value name the registry allows
            for (DWORD i = 0;; ++i) {
                auto nameLength = static_cast<DWORD>(name.size());
                DWORD type = 0, bytes = 0;
                if (RegEnumValueW(k.get(), i, name.data(), &nameLength, nullptr, &type, nullptr, &bytes) !=
                    ERROR_SUCCESS)
                    break;
                if (type != REG_SZ) continue;
                std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
                nameLength = static_cast<DWORD>(name.size());
                if (RegEnumValueW(k.get(), i, name.data(), &nameLength, nullptr, nullptr,
                                  reinterpret_cast<BYTE*>(text.data()), &bytes) != ERROR_SUCCESS)
                    break;
                text.resize(wcsnlen(text.c_str(), bytes / sizeof(wchar_t)));
                saved_.push_back({section, std::wstring(name.data(), nameLength), text});
            }
        }
    }
    const LSTATUS cleared = RegDeleteTreeW(HKEY_CURRENT_USER, kAppKey);
    if (cleared != ERROR_SUCCESS && cleared != ERROR_FILE_NOT_FOUND)
        throw std::runtime_error("cannot clear the settings store");
}

SettingsSandbox::~SettingsSandbox() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kAppKey);
    try {
        for (const Value& v : saved_) WriteString(v.section, v.key, v.text);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "could not restore the settings: " << e.what();
    }
}

// ---- Wine's own settings ----

bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

int WineMajorVersion() {
    using Version = const char*(CDECL*)();
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto version =
        ntdll ? reinterpret_cast<Version>(reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")))
              : nullptr;
    return version ? std::atoi(version()) : 0;
}

WineSetting::WineSetting(const std::string& subkey, const std::string& name, const std::string& value)
    : key_(L"Software\\Wine\\" + Wide(subkey)), name_(Wide(name)), previous_(ReadString(key_, name_)) {
    WriteValue(key_, name_, Wide(value));
}

WineSetting::~WineSetting() {
    try {
        if (previous_) {
            WriteValue(key_, name_, *previous_);
        } else if (const win32::UniqueKey k = OpenKey(key_, KEY_SET_VALUE)) {
            RegDeleteValueW(k.get(), name_.c_str());
        }
    } catch (const std::exception& e) {
        ADD_FAILURE() << "could not restore Wine's setting: " << e.what();
    }
}

WineSetting WindowsVersionForProgram(const std::string& version) {
    return WineSetting("AppDefaults\\corvale.exe", "Version", version);
}

// An empty driver list is Wine's way of saying "no sound".
WineSetting NoAudioDriver() { return WineSetting("Drivers", "Audio", ""); }

void RequestExit() { SaveSetting("EXIT", kCaption, "1"); }

void SendVoiceCommand(const std::string& command) { SaveSetting("Voice", kProgramId, command); }

}  // namespace corvale::e2e
