#include "services/DeviceFileNames.h"

#include <system_error>

namespace kestrix {

bool IsUsableDeviceName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x20 || code == 0x7F) return false;
  }
  return true;
}

bool IsRegularFile(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

}  // namespace kestrix
