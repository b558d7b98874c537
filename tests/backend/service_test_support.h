// Shared pieces of the service backend tests: a scratch folder, test
// windows, message pumping and running this test program as a child.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace corvale::win32::testing {

// A folder of its own under the user's temp folder, removed with everything
// the test put in it.
class TempFolder {
public:
    TempFolder() {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        static unsigned serial = 0;
        path_ = std::wstring(temp) + L"corvale svc " + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++serial);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() { RemoveTree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // With a trailing separator, as the program's folder settings carry it.
    std::string Path() const { return Narrow(path_) + "\\"; }
    std::wstring WidePath() const { return path_ + L"\\"; }
    std::string PathOf(std::string_view name) const { return Path() + std::string(name); }

    void Write(std::string_view name, std::string_view bytes) const {
        const UniqueFile file(CreateFileW(Widen(PathOf(name)).c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (file) WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    void MakeFolder(std::string_view name) const { CreateDirectoryW(Widen(PathOf(name)).c_str(), nullptr); }

private:
    static void RemoveTree(const std::wstring& folder) {
        WIN32_FIND_DATAW found{};
        const UniqueFindSearch search(FindFirstFileW((folder + L"\\*").c_str(), &found));
        if (search) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring full = folder + L"\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(full);
                } else {
                    DeleteFileW(full.c_str());
                }
            } while (FindNextFileW(search.get(), &found));
        }
        RemoveDirectoryW(folder.c_str());
    }

    std::wstring path_;
};

// Handles window messages until `done` holds or the time runs out; returns
// whether `done` held.
inline bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

inline void PumpFor(std::chrono::milliseconds span) {
    PumpUntil([] { return false; }, span);
}

// A plain popup window, of the kind the program's own borderless windows are.
inline UniqueWindow MakeTestWindow(const std::string& caption, bool visible, HWND owner = nullptr,
                                   DWORD exStyle = 0) {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = L"Corvale service test window";
        return RegisterClassExW(&windowClass) != 0;
    }();
    if (!registered) return {};
    UniqueWindow window(CreateWindowExW(exStyle, L"Corvale service test window", Widen(caption).c_str(),
                                        WS_POPUP | (visible ? WS_VISIBLE : 0), 40, 30, 120, 80, owner,
                                        nullptr, GetModuleHandleW(nullptr), nullptr));
    PumpFor(std::chrono::milliseconds(50));
    return window;
}

inline std::wstring OwnPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// Runs one test of this program in a child process (disabled tests are the
// child halves of the cases that need a second process) and returns its exit
// code, or -1 when it could not be run or did not end in time.
inline long RunChildTest(const std::string& testName, DWORD waitMs = 60000) {
    std::wstring command =
        L"\"" + OwnPath() + L"\" --gtest_also_run_disabled_tests --gtest_filter=" + Widen(testName);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &child)) {
        return -1;
    }
    const UniqueKernelObject process(child.hProcess);
    const UniqueKernelObject thread(child.hThread);
    if (WaitForSingleObject(process.get(), waitMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 99);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    return static_cast<long>(code);
}

// Marks this process as a parent that expects its child halves to run; a
// child half without it skips.
constexpr wchar_t kChildMarker[] = L"CORVALE_SERVICE_TEST_CHILD";

inline void MarkChildrenExpected(const std::wstring& value = L"1") {
    SetEnvironmentVariableW(kChildMarker, value.c_str());
}

inline std::wstring ChildMarker() {
    wchar_t value[1024] = {};
    const DWORD length = GetEnvironmentVariableW(kChildMarker, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

}  // namespace corvale::win32::testing
