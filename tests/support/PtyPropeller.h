#pragma once

// The suites name the chip on a pty as a test double; it lives in kestrix_sim.
#include "sim/PtyPropeller.h"
#include "support/SimulatedPropeller.h"

namespace kestrix::test {
using sim::PtyPropeller;
}  // namespace kestrix::test
