#include "sim/DemoReports.h"

#include "sim/DemoFiles.h"
#include "sim/DemoStream.h"

namespace kestrix::sim {

std::string BootReport(const BootOutcome& outcome) {
  if (outcome.accepted && (outcome.command == 1 || outcome.command == 3)) {
    const std::string bytes(outcome.image.begin(), outcome.image.end());
    return std::string("Propeller 1 upload into ") +
           (outcome.command == 1 ? "RAM" : "EEPROM") + ": " +
           std::to_string(bytes.size()) + " bytes, byte sum 0x" +
           Hex(ByteSum(bytes), 8);
  }
  if (outcome.command == 0) {
    return "Propeller 1: the loader asked only for the version.";
  }
  return "Propeller 1 upload rejected by the boot ROM.";
}

std::string MonitorReport(const DemoMonitor& monitor) {
  const DemoMonitor::Load load = monitor.Result();
  if (!monitor.Closing()) {
    return "Propeller 2 monitor: the load stopped before \"0+\".";
  }
  if (load.bytes == 0) {
    return "Propeller 2 monitor: nothing loaded, start at " +
           Hex(load.start, 1);
  }
  return "Propeller 2 monitor: " + Hex(load.first, 1) + ".." +
         Hex(load.last, 1) + ", " + std::to_string(load.bytes) +
         " bytes, byte sum 0x" + Hex(load.sum, 8) + ", start " +
         Hex(load.start, 1);
}

}  // namespace kestrix::sim
