#include "HeldOpen.h"

#include "platform/win32/WindowsApi.h"

// The program never lets others write to a file it holds open, so an open for writing that
// shares everything fails exactly while it does.
bool HeldOpen(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(file);
    return false;
}
