#pragma once

#include "core/Clock.h"
#include "core/SerialLine.h"
#include "core/SharedBlocks.h"
#include "settings/Settings.h"

namespace kestrix {

// The numbers tried when no port is configured.
inline constexpr int kFirstSearchedPort = 1;
inline constexpr int kLastSearchedPort = 63;

// One reply bit of the boot handshake, read silently: 0, 1, or -1 when the
// budget runs out.
int ProbeBit(BytePort& port, Clock& clock, SharedBlocks& blocks, int withClock,
             int budgetMs);
// Runs the boot handshake silently; returns the chip version (a Propeller 1
// answers 1), -1 after a wrong echo, or a negative value on a time-out.
int DetectPropeller(BytePort& port, Clock& clock, SharedBlocks& blocks,
                    int useRts);
// Tries COM1 to COM63 and sets settings.ComNr to the first port on which a
// chip answers; leaves the port closed.
void ScanPorts(SerialLine& port, Clock& clock, SharedBlocks& blocks,
               Settings& settings);

}  // namespace kestrix
