#include "sim/DemoReports.h"

#include "sim/DemoFiles.h"
#include "sim/DemoStream.h"

namespace kestrix::sim {

std::string BootReport(const BootOutcome& outcome) {
  if (outcome.Accepted && (outcome.Command == 1 || outcome.Command == 3)) {
    const std::string bytes(outcome.Image.begin(), outcome.Image.end());
    return std::string("Propeller 1 upload into ") +
           (outcome.Command == 1 ? "RAM" : "EEPROM") + ": " +
           std::to_string(bytes.size()) + " bytes, byte sum 0x" +
           Hex(ByteSum(bytes), 8);
  }
  if (outcome.Command == 0) {
    return "Propeller 1: the loader asked only for the version.";
  }
  return "Propeller 1 upload rejected by the boot ROM.";
}

std::string MonitorReport(const DemoMonitor& monitor) {
  const DemoMonitor::Load load = monitor.Result();
  if (!monitor.Closing()) {
    return "Propeller 2 monitor: the load stopped before \"0+\".";
  }
  if (load.Bytes == 0) {
    return "Propeller 2 monitor: nothing loaded, start at " +
           Hex(load.Start, 1);
  }
  return "Propeller 2 monitor: " + Hex(load.First, 1) + ".." +
         Hex(load.Last, 1) + ", " + std::to_string(load.Bytes) +
         " bytes, byte sum 0x" + Hex(load.Sum, 8) + ", start " +
         Hex(load.Start, 1);
}

}  // namespace kestrix::sim
