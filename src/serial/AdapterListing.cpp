#include "serial/AdapterListing.h"

#include <algorithm>

namespace kestrix {

std::string AdapterListing(const std::vector<SerialAdapter>& adapters) {
  if (adapters.empty()) {
#ifdef _WIN32
    return "No serial adapter found: plug one in.";
#else
    return "No serial adapter found: plug one in, or link one in the "
           "working folder (ln -s /dev/ttyUSB0 COM6).";
#endif
  }
  std::string text = "Serial adapters present:";
  for (const SerialAdapter& a : adapters) {
    std::string number =
        a.comNumber > 0 ? "COM" + std::to_string(a.comNumber) : "-";
    number.resize(std::max<std::size_t>(number.size(), 6), ' ');
    text += "\n" + number + "  " + a.device;
    if (!a.description.empty()) text += "  " + a.description;
    if (!a.serialNumber.empty()) text += "  serial " + a.serialNumber;
  }
  return text;
}

}  // namespace kestrix
