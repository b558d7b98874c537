// Skin files read through the system's initialization-file reader.
#include "platform/win32/profile_win32.h"

#include <windows.h>

#include <array>
#include <new>
#include <string_view>

#include "platform/win32/files_win32.h"
#include "platform/win32/handles.h"
#include "platform/win32/text.h"
#include "skin/profile_text.h"
#include "skin/values.h"

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

bool IsAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// The system's reader folds case across Unicode; most names are ASCII.
bool SameName(std::string_view a, std::string_view b) {
    if (IsAscii(a) && IsAscii(b)) return EqualsNoCase(a, b);
    const std::wstring wideA = Widen(a);
    const std::wstring wideB = Widen(b);
    return CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

std::wstring FitBuffer(std::wstring text, int bufferChars) {
    if (text.size() > static_cast<size_t>(bufferChars - 1)) text.resize(static_cast<size_t>(bufferChars - 1));
    return text;
}

std::string FitBuffer(std::string_view text, int bufferChars) {
    return Narrow(FitBuffer(Widen(text), bufferChars));
}

std::optional<std::string> ReadUtf8Profile(const std::string& section, const std::string& key,
                                           const std::string& fallback, const std::wstring& path,
                                           int bufferChars) {
    const auto bytes = ReadWholeFile(path);
    if (!bytes) return std::nullopt;
    const std::string_view body(reinterpret_cast<const char*>(bytes->data()) + kUtf8Mark.size(),
                                bytes->size() - kUtf8Mark.size());
    // Widen takes broken UTF-8 in the ANSI code page, so a file saved with a
    // stray mark still reads; the parser then sees proper UTF-8.
    const std::string text = Narrow(Widen(body));
    if (const auto value = FindProfileValue(text, section, key, SameName))
        return FitBuffer(*value, bufferChars);
    return FitBuffer(ProfileFallback(fallback), bufferChars);
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
        if (StartsWithUtf8Mark(path)) return ReadUtf8Profile(section, key, fallback, path, bufferChars);
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
