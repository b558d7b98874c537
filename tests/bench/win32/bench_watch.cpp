// Starts a program and reports, from outside as a user would see it, how long
// it took until its window showed what was asked for:
//
//     bench_watch.exe [--pixel X,Y,RRGGBB] [--text PREFIX] CAPTION PROGRAM.exe
//
// The clock starts just before the process is created and stops at the first
// poll (every 2 ms) at which the window captioned CAPTION is visible and,
// when asked, the screen pixel at client point (X, Y) has the colour RRGGBB
// and a child edit box's text begins with PREFIX. Prints the milliseconds and
// the process id, then leaves the program running for the idle and memory
// measurements. Exits 1 after 30 s without a match.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>

namespace {

struct Goal {
    std::wstring caption;
    bool pixel = false;
    POINT at{};
    COLORREF colour = 0;
    std::wstring prefix;
};

struct TextSearch {
    const std::wstring* prefix;
    bool found = false;
};

BOOL CALLBACK CheckEdit(HWND child, LPARAM context) {
    auto* search = reinterpret_cast<TextSearch*>(context);
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    if (_wcsicmp(name, L"Edit") != 0) return TRUE;
    wchar_t text[256] = {};
    DWORD_PTR copied = 0;
    // Another process's window: a hung one must not hang the watcher.
    SendMessageTimeoutW(child, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 200,
                        &copied);
    if (copied > 0 && std::wcsncmp(text, search->prefix->c_str(), search->prefix->size()) == 0) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

bool Reached(const Goal& goal) {
    const HWND window = FindWindowW(nullptr, goal.caption.c_str());
    if (!window || !IsWindowVisible(window)) return false;
    if (goal.pixel) {
        POINT screen = goal.at;
        ClientToScreen(window, &screen);
        const HDC dc = GetDC(nullptr);
        const COLORREF seen = GetPixel(dc, screen.x, screen.y);
        ReleaseDC(nullptr, dc);
        if (seen != goal.colour) return false;
    }
    if (!goal.prefix.empty()) {
        TextSearch search{&goal.prefix};
        EnumChildWindows(window, CheckEdit, reinterpret_cast<LPARAM>(&search));
        if (!search.found) return false;
    }
    return true;
}

bool ParsePixel(const wchar_t* text, Goal& goal) {
    int x = 0, y = 0;
    unsigned rgb = 0;
    if (std::swscanf(text, L"%d,%d,%x", &x, &y, &rgb) != 3) return false;
    goal.pixel = true;
    goal.at = POINT{x, y};
    goal.colour = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Goal goal;
    int arg = 1;
    for (; arg + 1 < argc && argv[arg][0] == L'-'; arg += 2) {
        if (std::wcscmp(argv[arg], L"--pixel") == 0 && ParsePixel(argv[arg + 1], goal)) continue;
        if (std::wcscmp(argv[arg], L"--text") == 0) {
            goal.prefix = argv[arg + 1];
            continue;
        }
        std::fwprintf(stderr, L"unknown option %ls\n", argv[arg]);
        return 2;
    }
    if (argc - arg != 2) {
        std::fwprintf(stderr, L"usage: bench_watch [--pixel X,Y,RRGGBB] [--text PREFIX] CAPTION PROGRAM\n");
        return 2;
    }
    goal.caption = argv[arg];
    std::wstring commandLine = L"\"" + std::wstring(argv[arg + 1]) + L"\"";

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const auto start = std::chrono::steady_clock::now();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fwprintf(stderr, L"cannot start %ls\n", argv[arg + 1]);
        return 2;
    }
    CloseHandle(process.hThread);
    const auto deadline = start + std::chrono::seconds(30);
    while (!Reached(goal)) {
        if (std::chrono::steady_clock::now() > deadline ||
            WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
            std::printf("timeout %lu\n", process.dwProcessId);
            return 1;
        }
        Sleep(2);
    }
    const auto took = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start);
    std::printf("%.1f %lu\n", took.count(), process.dwProcessId);
    CloseHandle(process.hProcess);
    return 0;
}
