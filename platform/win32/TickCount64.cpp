// The thread library (winpthreads) imports GetTickCount64, which Windows XP lacks, and the
// system's loader would refuse the program for it. Defining the import's address slot here
// keeps the linker from taking it from kernel32: the thread library's calls land in
// TickCount64, which calls the system's function where there is one.
#include <atomic>
#include <cstdint>

#include "platform/win32/SystemFunctions.h"

namespace {

using TickCountFunction = ULONGLONG(WINAPI*)();

// The 32-bit tick count, widened by counting its wraps (every 49.7 days); correct as long as
// it is read at least once between two wraps, as the thread library's waits do.
ULONGLONG WidenedTickCount() {
    static std::atomic<uint64_t> last{0};
    uint64_t previous = last.load();
    for (;;) {
        uint64_t wide = (previous & ~uint64_t{0xFFFFFFFF}) | GetTickCount();
        if (wide < previous) wide += uint64_t{1} << 32;
        if (last.compare_exchange_weak(previous, wide)) return wide;
    }
}

// Looked up once; a plain atomic rather than a function-local static, whose guard would wait
// in the thread library that calls here.
std::atomic<TickCountFunction> systemTickCount{nullptr};
std::atomic<bool> lookedUp{false};

ULONGLONG WINAPI TickCount64() {
    if (!lookedUp.load(std::memory_order_acquire)) {
        systemTickCount.store(SystemFunction<TickCountFunction>(L"kernel32.dll", "GetTickCount64"));
        lookedUp.store(true, std::memory_order_release);
    }
    const TickCountFunction system = systemTickCount.load();
    return system != nullptr ? system() : WidenedTickCount();
}

}  // namespace

// The import slot's name: decorated for stdcall on 32-bit x86.
#if defined(__i386__)
#define TW_TICK_COUNT_SLOT "__imp__GetTickCount64@0"
#else
#define TW_TICK_COUNT_SLOT "__imp_GetTickCount64"
#endif
extern "C" {
extern TickCountFunction const tickCount64Slot __asm__(TW_TICK_COUNT_SLOT);
TickCountFunction const tickCount64Slot = &TickCount64;
}
