#pragma once
// A size no load can ever get memory for: more than the machine's memory and swap together,
// so that no other process freeing memory can make room for it.
#include <sys/sysinfo.h>

#include <cstdint>

inline uint64_t MoreThanTheMachineHolds() {
    struct sysinfo info {};
    if (sysinfo(&info) != 0) return UINT64_C(1) << 40;
    return (uint64_t{info.totalram} + info.totalswap) * info.mem_unit + (uint64_t{1} << 20);
}
