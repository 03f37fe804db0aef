#include "platform/win32/WindowClasses.h"

#include <set>
#include <string>

void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HICON icon) {
    static std::set<std::wstring> registered;
    if (!registered.insert(name).second) return;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}
