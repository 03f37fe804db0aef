#pragma once
// The journal's clock on Windows: milliseconds since the system started, as the tick count
// that stamps the system's input, but read from the performance counter so that timers can
// aim at the start of a millisecond instead of the tick count's 10-16 ms steps.
#include <cstdint>

// Nanoseconds on the journal's clock; wraps with the millisecond count at 2^32 ms.
uint64_t TickNanoseconds();
uint32_t TickMilliseconds();
