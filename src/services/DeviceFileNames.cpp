#include "services/DeviceFileNames.h"


namespace kestrix {

bool IsUsableDeviceName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x20 || code == 0x7F) return false;
  }
  return true;
}

}  // namespace kestrix
