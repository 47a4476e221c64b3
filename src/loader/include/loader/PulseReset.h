#pragma once

#include "core/BytePort.h"
#include "core/Clock.h"

namespace kestrix {

// Resets the Propeller through the modem-control line its board wires to
// RESn: RTS when useRts is set, DTR otherwise. The line is asserted for
// 25 ms and released, then the chip is given 100 ms to come out of reset
// before whatever arrived meanwhile is discarded from the receive queue. The
// pulsed line is left released.
void PulseReset(BytePort& port, Clock& clock, bool useRts);

}  // namespace kestrix
