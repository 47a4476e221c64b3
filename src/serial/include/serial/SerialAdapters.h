#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kestrix {

// A serial adapter present on this machine, with the COM number that names
// it for the program (0 when no number does).
struct SerialAdapter {
  int comNumber;
  std::string device;
  std::string description;
  std::string serialNumber;
};

// The serial adapters the system reports, and the COM links in the working
// folder, ordered by COM number (those without one last).
std::vector<SerialAdapter> ListSerialAdapters(
    const std::filesystem::path& workingFolder);

}  // namespace kestrix
