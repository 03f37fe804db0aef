#pragma once
// The memory figures the system publishes, read from the texts of its files so that the
// reading is tested without the files.
#include <cstdint>
#include <string_view>

// From /proc/meminfo: MemAvailable plus SwapFree, in bytes; UINT64_MAX when MemAvailable is
// missing. From the control group: its memory.max ("max" or a byte count) minus its
// memory.current; either text empty when there is no such group. The smaller figure wins.
uint64_t AvailableMemoryOf(std::string_view meminfo, std::string_view groupLimit,
                           std::string_view groupUsage);
