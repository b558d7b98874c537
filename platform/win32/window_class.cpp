// One registration for every window class of the program.
#include "platform/win32/window_class.h"

namespace corvale::win32 {

const wchar_t* RegisteredClass(const WindowClassDesign& design) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = design.procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = design.name;
    if (design.arrowCursor) wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    if (RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) return design.name;
    return nullptr;
}

}  // namespace corvale::win32
