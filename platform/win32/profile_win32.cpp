// Skin files read through the system's initialization-file reader.
#include "platform/win32/profile_win32.h"

#include <windows.h>

#include <array>
#include <new>
#include <string_view>

#include "platform/win32/files_win32.h"
#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace corvale::win32 {

namespace {

constexpr std::array<std::uint8_t, 3> kUtf8Mark{0xEF, 0xBB, 0xBF};

bool StartsWithUtf8Mark(const std::wstring& path) {
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::array<std::uint8_t, 3> head{};
    DWORD got = 0;
    return ReadFile(file.get(), head.data(), static_cast<DWORD>(head.size()), &got, nullptr) &&
           got == head.size() && head == kUtf8Mark;
}

// The blanks the system's reader trims around names and values.
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\v' || c == L'\f'; }

std::wstring_view Trim(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

// A value in matching quotes loses them, as the system's reader does.
std::wstring_view Unquote(std::wstring_view value) {
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// The value of `key` in the first section named `section`, by the rules of
// the system's reader: names compared without regard to case, blanks around
// names and values dropped, the first matching key taken.
std::optional<std::wstring> FindValue(std::wstring_view text, std::wstring_view section,
                                      std::wstring_view key) {
    bool inSection = false;
    bool sectionSeen = false;
    while (!text.empty()) {
        const size_t end = text.find_first_of(L"\r\n");
        const std::wstring_view line = Trim(text.substr(0, end));
        text = end == std::wstring_view::npos ? std::wstring_view{} : text.substr(end + 1);
        if (!line.empty() && line.front() == L'[') {
            if (sectionSeen) return std::nullopt;
            const size_t close = line.find(L']');
            inSection = SameName(
                Trim(line.substr(1, close == std::wstring_view::npos ? line.npos : close - 1)), section);
            sectionSeen = inSection;
            continue;
        }
        const size_t equals = line.find(L'=');
        if (!inSection || equals == std::wstring_view::npos) continue;
        if (SameName(Trim(line.substr(0, equals)), key))
            return std::wstring(Unquote(Trim(line.substr(equals + 1))));
    }
    return std::nullopt;
}

std::wstring FitBuffer(std::wstring text, int bufferChars) {
    if (text.size() > static_cast<size_t>(bufferChars - 1)) text.resize(static_cast<size_t>(bufferChars - 1));
    return text;
}

std::optional<std::string> ReadUtf8Profile(const std::wstring& section, const std::wstring& key,
                                           const std::wstring& fallback, const std::wstring& path,
                                           int bufferChars) {
    const auto bytes = ReadWholeFile(path);
    if (!bytes) return std::nullopt;
    const std::string_view body(reinterpret_cast<const char*>(bytes->data()) + kUtf8Mark.size(),
                                bytes->size() - kUtf8Mark.size());
    // Widen takes broken UTF-8 in the ANSI code page, so a file saved with a
    // stray mark still reads.
    const std::wstring text = Widen(body);
    if (auto value = FindValue(text, section, key)) return Narrow(FitBuffer(std::move(*value), bufferChars));
    // The system's reader drops trailing blanks from the fallback too.
    std::wstring_view plain = fallback;
    while (!plain.empty() && IsBlank(plain.back())) plain.remove_suffix(1);
    return Narrow(FitBuffer(std::wstring(plain), bufferChars));
}

}  // namespace

std::optional<std::string> ProfileFileReader::Read(const std::string& section, const std::string& key,
                                                   const std::string& fallback, const std::string& file,
                                                   int bufferChars) {
    if (bufferChars < 1) return std::nullopt;
    try {
        const std::wstring wideSection = Widen(section);
        const std::wstring wideKey = Widen(key);
        const std::wstring wideFallback = Widen(fallback);
        const std::wstring path = Widen(file);
        if (StartsWithUtf8Mark(path))
            return ReadUtf8Profile(wideSection, wideKey, wideFallback, path, bufferChars);
        std::wstring buffer(static_cast<size_t>(bufferChars), L'\0');
        const DWORD copied =
            GetPrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), wideFallback.c_str(),
                                     buffer.data(), static_cast<DWORD>(bufferChars), path.c_str());
        buffer.resize(copied);
        return Narrow(buffer);
    } catch (const std::bad_alloc&) {
        return std::nullopt;  // a buffer this size cannot be had
    }
}

}  // namespace corvale::win32
