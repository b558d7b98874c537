// Paths from the system's queries that write into a buffer they are given,
// read whole however long: where long paths are enabled, MAX_PATH bounds
// no path.
#pragma once

#include <windows.h>

#include <string>

namespace corvale::win32 {

// `query(buffer, size)` writes at most `size` characters and answers the
// length written, without the closing NUL; when the buffer is too small it
// answers the size it needs, NUL included; 0 when it fails. So do
// GetSystemDirectoryW, GetWindowsDirectoryW and GetTempPathW. Empty on
// failure.
template <typename Query>
std::wstring QueryPath(Query query) {
    std::wstring path(MAX_PATH, L'\0');
    // The answer may grow between two calls (another thread changing the
    // current folder, say); a few tries, then no answer rather than a cut one.
    for (int tries = 0; tries < 4; ++tries) {
        const UINT length = query(path.data(), static_cast<UINT>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length);
    }
    return {};
}

}  // namespace corvale::win32
