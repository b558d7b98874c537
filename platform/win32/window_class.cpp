// One registration for every window class of the program.
#include "platform/win32/window_class.h"

#include "platform/win32/resource_ids.h"

namespace corvale::win32 {
namespace {

// The program's icon at the system's size for the metrics given; null in a
// program without one (the tests). Loaded shared: the system keeps it for
// the program's life, so nobody destroys it.
HICON ProgramIcon(int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_CORVALE), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric),
                                         LR_SHARED));
}

}  // namespace

const wchar_t* RegisteredClass(const WindowClassDesign& design) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = design.procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = design.name;
    if (design.arrowCursor) wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    if (design.programIcon) {
        wc.hIcon = ProgramIcon(SM_CXICON, SM_CYICON);
        wc.hIconSm = ProgramIcon(SM_CXSMICON, SM_CYSMICON);
    }
    if (RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) return design.name;
    return nullptr;
}

}  // namespace corvale::win32
