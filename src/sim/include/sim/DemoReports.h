#pragma once

#include <string>

#include "sim/DemoBootRom.h"
#include "sim/DemoMonitor.h"

namespace kestrix::sim {

// The one line the demo shows and logs after an upload.
std::string BootReport(const BootOutcome& outcome);
std::string MonitorReport(const DemoMonitor& monitor);

}  // namespace kestrix::sim
