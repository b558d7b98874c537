// Reading one registry value whole.
#include "platform/win32/registry_win32.h"

#include <cstring>

namespace corvale::win32 {

LONG QueryValueBytes(HKEY key, const std::wstring& name, DWORD& type, std::vector<BYTE>& data) {
    DWORD size = 0;
    LONG code = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    // A few rounds are enough even when another program rewrites the value
    // while we read it; each round sees the size the last read reported.
    for (int round = 0; code == ERROR_SUCCESS && round < 4; ++round) {
        data.assign(size, 0);
        DWORD got = size;
        code =
            RegQueryValueExW(key, name.c_str(), nullptr, &type, data.empty() ? nullptr : data.data(), &got);
        if (code == ERROR_MORE_DATA) {
            size = got;
            code = ERROR_SUCCESS;
            continue;
        }
        if (code == ERROR_SUCCESS) data.resize(got);
        return code;
    }
    return code == ERROR_SUCCESS ? ERROR_MORE_DATA : code;
}

std::wstring RegistryText(const std::vector<BYTE>& data) {
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    if (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

}  // namespace corvale::win32
