// The Windows platform: the path rules of Windows, the program's arguments split from the
// command line as the system holds it.
#include "platform/win32/Win32Backend.h"
#include "platform/win32/WindowsApi.h"
#include "toolkit/Files.h"
#include "toolkit/Platform.h"
#include "toolkit/Strings.h"

std::unique_ptr<Backend> StartPlatform() {
    SetPlatformPathRules(NativePathRules());
    // Makes the thread's message queue now, so that a message posted to it before the first
    // wait is kept.
    MSG message{};
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    return std::make_unique<Win32Backend>();
}
