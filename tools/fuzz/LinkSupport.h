#pragma once

// A Garmin link over the tests' in-memory line: the fuzz input is what the receiver sends,
// read in chunks of the size the target chooses; the time-outs run on the line's own clock,
// so the end of the input is a time-out at once.

#include "gps/GarminLink.h"
#include "support/FakeLink.h"

#include <QString>
#include <cstddef>
#include <cstdint>

namespace gipso::fuzz {

struct FuzzLine {
    // chunk: largest number of bytes one read hands out (0: all that is waiting).
    FuzzLine(const uint8_t *data, size_t size, int chunk);

    FakeLink line;
    QString log; // as the communication dialog keeps it
    GarminLink link;
};

} // namespace gipso::fuzz
