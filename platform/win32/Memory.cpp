#include "toolkit/Memory.h"

#include "platform/win32/WindowsApi.h"

#include <algorithm>

// What can still be committed, and within the process's own address space (the tighter of
// the two for a 32-bit program).
uint64_t AvailableMemory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return UINT64_MAX;
    return std::min<uint64_t>(status.ullAvailPageFile, status.ullAvailVirtual);
}
