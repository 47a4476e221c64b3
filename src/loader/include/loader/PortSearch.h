#pragma once

#include "core/SerialLine.h"
#include "loader/TransferContext.h"

namespace kestrix {

// The numbers tried when no port is configured.
inline constexpr int kFirstSearchedPort = 1;
inline constexpr int kLastSearchedPort = 63;

// One reply bit of the boot handshake, read silently into the out block: 0,
// 1, or -1 when the budget runs out.
int ProbeBit(const TransferContext& context, bool withClock, int budgetMs);
// Runs the boot handshake silently; returns the chip version (a Propeller 1
// answers 1), -1 after a wrong echo, or a negative value on a time-out.
int DetectPropeller(const TransferContext& context, bool useRts);
// Tries COM1 to COM63 on `line` (the context's port), opened with `ft232r`
// and reset on RTS or DTR by `useRts`. Returns the first port on which a
// chip answers, 0 when none did; leaves the port closed. Every wait keeps
// the window painting.
int ScanPorts(SerialLine& line, const TransferContext& context, bool ft232r,
              bool useRts);

}  // namespace kestrix
