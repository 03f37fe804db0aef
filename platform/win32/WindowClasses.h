#pragma once
// The backend's own window classes (forms, tool buttons, bevels) and the object each of
// their windows belongs to.
#include "platform/win32/WindowsApi.h"

// Registers the class name once for the program; icon may be null.
void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HICON icon = nullptr);

// The object that window was made for (CreateWindowExW's last argument): kept from
// WM_NCCREATE on, null once DetachWindowObject has run.
template <class T>
T* WindowObject(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        void* object = reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    }
    return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// The object is going: the window's messages no longer reach it.
inline void DetachWindowObject(HWND window) {
    if (window != nullptr) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}
