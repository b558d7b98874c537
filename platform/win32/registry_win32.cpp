// Reading one registry value whole.
#include "platform/win32/registry_win32.h"

#include <cstring>

namespace corvale::win32 {

LONG QueryValueBytes(HKEY key, const std::wstring& name, DWORD& type, std::vector<BYTE>& data) {
    // Settings are short: the first read goes into a buffer that usually
    // holds them, rather than asking for the size first (the exit timer
    // reads two values every half second). A few rounds are enough even when
    // another program rewrites the value while we read it; each round sees
    // the size the last read reported.
    DWORD size = 256;
    for (int round = 0; round < 5; ++round) {
        data.assign(size, 0);
        DWORD got = size;
        const LONG code = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &got);
        if (code == ERROR_MORE_DATA && got > size) {
            size = got;
            continue;
        }
        if (code == ERROR_SUCCESS) data.resize(got);
        return code;
    }
    return ERROR_MORE_DATA;
}

std::wstring RegistryText(const std::vector<BYTE>& data) {
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    if (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

}  // namespace corvale::win32
