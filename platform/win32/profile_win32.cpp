// Skin files read by the rules of the system's initialization-file reader.
#include "platform/win32/profile_win32.h"

#include <algorithm>
#include <new>
#include <string_view>

#include "base/profile_text.h"
#include "base/values.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/text.h"

namespace corvale::win32 {

namespace {

// The layout skin, its override file, the theme skin and the info skin.
constexpr std::size_t kKnownFiles = 6;
// A skin is a few kilobytes; a file past this is not one, and reads as
// missing rather than filling the process.
constexpr ULONGLONG kMaxProfileBytes = 16ULL * 1024 * 1024;

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The system's reader folds case across Unicode; most names are ASCII.
bool SameName(std::string_view a, std::string_view b) {
    if (IsAscii(a) && IsAscii(b)) return EqualsNoCase(a, b);
    const std::wstring wideA = Widen(a);
    const std::wstring wideB = Widen(b);
    return CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

std::string FitBuffer(std::string_view text, int bufferChars) {
    std::wstring wide = Widen(text);
    if (wide.size() > static_cast<size_t>(bufferChars - 1)) wide.resize(static_cast<size_t>(bufferChars - 1));
    return Narrow(wide);
}

std::wstring FromUtf16(const std::uint8_t* bytes, std::size_t size, bool bigEndian) {
    std::wstring text(size / 2, L'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned first = bytes[2 * i], second = bytes[2 * i + 1];
        text[i] = static_cast<wchar_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
    }
    return text;
}

std::wstring FromAnsi(const std::uint8_t* bytes, std::size_t size) {
    if (size == 0) return {};
    const auto* chars = reinterpret_cast<const char*>(bytes);
    const int length = MultiByteToWideChar(CP_ACP, 0, chars, static_cast<int>(size), nullptr, 0);
    std::wstring text(static_cast<size_t>(std::max(length, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, chars, static_cast<int>(size), text.data(), length);
    return text;
}

// The file's text in UTF-8, told apart by its byte-order mark as the
// system's reader does, plus the UTF-8 mark.
std::string DecodeProfile(const std::vector<std::uint8_t>& bytes) {
    const auto starts = [&](std::initializer_list<std::uint8_t> mark) {
        return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
    };
    if (starts({0xFF, 0xFE})) return Narrow(FromUtf16(bytes.data() + 2, bytes.size() - 2, false));
    if (starts({0xFE, 0xFF})) return Narrow(FromUtf16(bytes.data() + 2, bytes.size() - 2, true));
    if (starts({0xEF, 0xBB, 0xBF})) {
        // Widen takes broken UTF-8 in the ANSI code page, so a file saved
        // with a stray mark still reads; the parser then sees proper UTF-8.
        return Narrow(
            Widen(std::string_view(reinterpret_cast<const char*>(bytes.data()) + 3, bytes.size() - 3)));
    }
    return Narrow(FromAnsi(bytes.data(), bytes.size()));
}

bool SameVersion(const WIN32_FILE_ATTRIBUTE_DATA& now, const ULARGE_INTEGER& size, const FILETIME& written) {
    return now.nFileSizeHigh == size.HighPart && now.nFileSizeLow == size.LowPart &&
           CompareFileTime(&now.ftLastWriteTime, &written) == 0;
}

}  // namespace

const std::string* ProfileFileReader::Text(const std::wstring& path) {
    const auto known =
        std::find_if(files_.begin(), files_.end(), [&](const KnownFile& f) { return f.path == path; });
    WIN32_FILE_ATTRIBUTE_DATA now{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &now) ||
        (now.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (known != files_.end()) files_.erase(known);
        return nullptr;
    }
    if (known != files_.end() && SameVersion(now, known->size, known->written)) {
        std::rotate(files_.begin(), known, known + 1);
        return &files_.front().text;
    }
    if (known != files_.end()) files_.erase(known);

    KnownFile file{path, {}, now.ftLastWriteTime, {}};
    file.size.HighPart = now.nFileSizeHigh;
    file.size.LowPart = now.nFileSizeLow;
    if (file.size.QuadPart > kMaxProfileBytes) return nullptr;
    const auto bytes = ReadWholeFile(path);
    if (!bytes) return nullptr;
    file.text = DecodeProfile(*bytes);
    if (files_.size() >= kKnownFiles) files_.pop_back();
    files_.insert(files_.begin(), std::move(file));
    return &files_.front().text;
}

std::optional<std::string> ProfileFileReader::Read(const std::string& section, const std::string& key,
                                                   const std::string& fallback, const std::string& file,
                                                   int bufferChars) {
    if (bufferChars < 1) return std::nullopt;
    try {
        const std::string* text = Text(Widen(file));
        if (text) {
            if (const auto value = FindProfileValue(*text, section, key, SameName))
                return FitBuffer(*value, bufferChars);
        }
        return FitBuffer(ProfileFallback(fallback), bufferChars);
    } catch (const std::bad_alloc&) {
        return std::nullopt;  // a buffer this size cannot be had
    }
}

}  // namespace corvale::win32
