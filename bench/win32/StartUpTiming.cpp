#include "StartUpTiming.h"

#include "platform/win32/WindowsApi.h"
// The process memory functions need the Windows API before them.
#include <psapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/TickClock.h"
#include "win32/e2e/TargetWindow.h"

namespace {

// A copy of the program in a folder of its own, so that no settings file moves its window.
std::string CopyOfProgram(const std::string& program) {
    char temporary[MAX_PATH];
    GetTempPathA(MAX_PATH, temporary);
    const std::string folder = std::string(temporary) + "tapewright-start-up";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string copy = folder + "\\TAPEWRT.EXE";
    CopyFileA(program.c_str(), copy.c_str(), FALSE);
    DeleteFileA((folder + "\\Tapewrt.ini").c_str());
    return copy;
}

HWND ShownMainWindow() {
    HWND window = FindWindowW(L"TapewrightForm", nullptr);
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

}  // namespace

bool MeasureStartUp(const std::string& program, int runs, StartUpFigures& figures) {
    const std::string copy = CopyOfProgram(program);
    TargetWindow loop(GetSystemMetrics(SM_CYSCREEN) - 1);  // a message loop, out of the way
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const uint64_t start = TickNanoseconds();
        HANDLE process = StartProgram("\"" + copy + "\"");
        if (process == nullptr) return false;
        HWND window = nullptr;
        const bool shown = loop.RunUntil([&] { return (window = ShownMainWindow()) != nullptr; });
        times.push_back(static_cast<double>(TickNanoseconds() - start) / 1e6);
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        if (shown && GetProcessMemoryInfo(process, &memory, sizeof memory)) {
            figures.workingSetMegabytes = static_cast<double>(memory.WorkingSetSize) / 1048576.0;
        }
        if (shown) PostMessageW(window, WM_CLOSE, 0, 0);
        DWORD code = 0;
        loop.RunUntil([&] { return Ended(process, code); }, 20);
        CloseHandle(process);
        if (!shown) return false;
    }
    std::sort(times.begin(), times.end());
    figures.medianMilliseconds = times[times.size() / 2];
    figures.runs = runs;
    return true;
}
