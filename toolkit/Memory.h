#pragma once
// How much memory the system can still give the program. Realised per platform
// (platform/posix for Linux); a load that needs more than this fails instead of taking
// memory the machine does not have.
#include <cstdint>

// Bytes the program can still take without pushing the system out of memory: physical
// memory that is free or can be reclaimed, plus free swap, within the program's memory
// control group. UINT64_MAX when the system does not tell.
uint64_t AvailableMemory();
