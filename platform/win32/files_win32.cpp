// Reading files and listing folders through the system's wide calls.
#include "platform/win32/files_win32.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <new>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace corvale::win32 {

namespace {

std::optional<WIN32_FILE_ATTRIBUTE_DATA> Attributes(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return data;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring JoinPattern(std::wstring folder, const std::wstring& pattern) {
    if (folder.empty()) return pattern;
    if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    return folder + pattern;
}

// Case-blind order with a case-sensitive tie-break, so that names differing
// only in case still come out in the same order on every run.
bool NameBefore(const std::wstring& a, const std::wstring& b) {
    const int blind = CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                           static_cast<int>(b.size()), TRUE);
    if (blind != CSTR_EQUAL) return blind == CSTR_LESS_THAN;
    return a < b;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::wstring& path) {
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > std::numeric_limits<DWORD>::max() / 2) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got,
                      nullptr)) {
            return std::nullopt;
        }
        if (got == 0) break;  // the file shrank while we read it
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

std::optional<std::vector<std::uint8_t>> Win32Files::ReadAll(const std::string& path) {
    return ReadWholeFile(Widen(path));
}

std::int64_t Win32Files::FileLength(const std::string& path) {
    const auto data = Attributes(path);
    if (!data || (data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return -1;
    return (static_cast<std::int64_t>(data->nFileSizeHigh) << 32) | data->nFileSizeLow;
}

std::optional<FileDate> Win32Files::LastModified(const std::string& path) {
    const auto data = Attributes(path);
    if (!data) return std::nullopt;
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    if (!FileTimeToSystemTime(&data->ftLastWriteTime, &utc) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
        return std::nullopt;
    }
    return FileDate{local.wYear, local.wMonth, local.wDay};
}

std::optional<std::vector<std::string>> Win32Files::ListFiles(const std::string& folder,
                                                              const std::string& pattern) {
    const std::wstring wideFolder = Widen(folder);
    if (!wideFolder.empty() && !IsFolder(wideFolder)) return std::nullopt;
    WIN32_FIND_DATAW found{};
    const UniqueFindSearch search(FindFirstFileW(JoinPattern(wideFolder, Widen(pattern)).c_str(), &found));
    std::vector<std::wstring> names;
    if (search) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
        } while (FindNextFileW(search.get(), &found));
    }
    std::sort(names.begin(), names.end(), NameBefore);
    std::vector<std::string> result;
    result.reserve(names.size());
    for (const auto& name : names) result.push_back(Narrow(name));
    return result;
}

}  // namespace corvale::win32
