#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kestrix {

struct SerialAdapter {
  int comNumber;
  std::string device;
  std::string description;
  std::string serialNumber;
};

std::vector<SerialAdapter> ListSerialAdapters(
    const std::filesystem::path& workingFolder);

}  // namespace kestrix
