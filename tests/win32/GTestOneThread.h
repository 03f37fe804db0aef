#pragma once
// Forced into GoogleTest's own build for Windows. Its thread-local registry starts a thread
// per thread that uses thread-local state (every SCOPED_TRACE and failure does), only to clean
// up when that thread ends. The tests run on the main thread, which ends with the process;
// and a second thread is what makes 32-bit Wine under qemu crash or hang. So the registry's
// thread is never created: the current thread's pseudo-handle stands for it.
#include "platform/win32/WindowsApi.h"

inline HANDLE TwNoWatcherThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID,
                                DWORD, LPDWORD id) {
    if (id != nullptr) *id = GetCurrentThreadId();
    return GetCurrentThread();
}
#define CreateThread TwNoWatcherThread
