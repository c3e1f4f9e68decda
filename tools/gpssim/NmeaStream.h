#pragma once

// NMEA streaming: sentences built from the track log, or the lines of a receiver's log.

#include "Options.h"
#include "PtyLine.h"

#include "points/PointStore.h"

namespace gpssim {

// Streams while a host listens, then falls silent (or hangs up) at the end; never returns.
[[noreturn]] void streamNmea(const Options &o, PtyLine &line, const gipso::PointStore &store);

} // namespace gpssim
