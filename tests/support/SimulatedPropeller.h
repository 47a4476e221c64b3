#pragma once

// The suites name the simulated chip as a test double; it lives in kestrix_sim.
#include "sim/SimulatedPropeller.h"

namespace kestrix::test {
using sim::SimulatedPropeller;
}  // namespace kestrix::test
