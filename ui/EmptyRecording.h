#pragma once
// Whether a recording caught anything beyond the way it was stopped.
#include <cstddef>

#include "engine/MacroStream.h"

// True when the records between the byte offsets begin and end hold nothing but how a
// recording ends: pointer moves, the press and release of one button (the click on R-Stop)
// and the keys of Ctrl+Break.
bool RecordedOnlyTheStop(const MacroStream& stream, std::size_t begin, std::size_t end);
