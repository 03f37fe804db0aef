#pragma once
#include <cstdint>

// How far the server's clock is ahead of the local one, from a server time stamp taken
// between two local readings; 0 when the two cannot be told apart from the round trip.
inline int32_t ServerClockOffset(uint32_t localBefore, uint32_t server, uint32_t localAfter) {
    const uint32_t roundTrip = localAfter - localBefore;
    const int32_t offset = static_cast<int32_t>(server - (localBefore + roundTrip / 2));
    const int32_t uncertainty = static_cast<int32_t>(roundTrip / 2 + 1);
    return offset >= -uncertainty && offset <= uncertainty ? 0 : offset;
}
