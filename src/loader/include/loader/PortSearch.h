#pragma once

#include "core/SerialLine.h"
#include "loader/LoaderContext.h"
#include "settings/Settings.h"

namespace kestrix {

// The numbers tried when no port is configured.
inline constexpr int kFirstSearchedPort = 1;
inline constexpr int kLastSearchedPort = 63;

// One reply bit of the boot handshake, read silently into the out block: 0,
// 1, or -1 when the budget runs out.
int ProbeBit(const LoaderContext& context, int withClock, int budgetMs);
// Runs the boot handshake silently; returns the chip version (a Propeller 1
// answers 1), -1 after a wrong echo, or a negative value on a time-out.
int DetectPropeller(const LoaderContext& context, bool useRts);
// Tries COM1 to COM63 on `line` (the context's port) and sets
// settings.ComNr to the first port on which a chip answers; leaves the port
// closed. Every wait keeps the window painting.
void ScanPorts(SerialLine& line, const LoaderContext& context,
               Settings& settings);

}  // namespace kestrix
