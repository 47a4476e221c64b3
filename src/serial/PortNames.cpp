#include "serial/PortNames.h"

#include <system_error>

namespace kestrix {
namespace {

// Port numbers are small; nine digits keep the value inside an int.
constexpr std::size_t kMaxNumberDigits = 9;

// The fixed table of rule 2: first COM number, device stem, device count.
struct DeviceRange {
  int firstNumber;
  const char* stem;
  int count;
};
constexpr DeviceRange kDeviceRanges[] = {
    {1, "/dev/ttyUSB", 16},
    {17, "/dev/ttyACM", 16},
    {33, "/dev/ttyS", 31},
};

// The value of a plain port number, or 0 when the text is not one.
int PlainPortNumber(const std::string& text) {
  if (text.empty() || text.size() > kMaxNumberDigits || text[0] == '0') {
    return 0;
  }
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

std::string WindowsPortName(const std::string& numberText) {
  return "\\\\.\\COM" + numberText;
}

std::string UnixPortName(const std::string& numberText,
                         const std::filesystem::path& workingFolder) {
  const int number = PlainPortNumber(numberText);
  if (number <= 0) return {};

  std::error_code error;
  const std::filesystem::path link = workingFolder / ("COM" + numberText);
  if (std::filesystem::exists(std::filesystem::symlink_status(link, error))) {
    // Absolute, because a relative port name is taken to live in /dev.
    std::filesystem::path absolute = std::filesystem::absolute(link, error);
    return error ? link.string() : absolute.string();
  }

  for (const DeviceRange& range : kDeviceRanges) {
    if (number >= range.firstNumber &&
        number < range.firstNumber + range.count) {
      return range.stem + std::to_string(number - range.firstNumber);
    }
  }
  return {};
}

std::string PortDeviceName(const std::string& numberText,
                           const std::filesystem::path& workingFolder) {
#ifdef _WIN32
  // The same plain numbers as elsewhere: the text ends up in a device path,
  // so "6\\..\\x" or "06" must not reach the system.
  (void)workingFolder;
  return PlainPortNumber(numberText) > 0 ? WindowsPortName(numberText)
                                         : std::string();
#else
  return UnixPortName(numberText, workingFolder);
#endif
}

}  // namespace kestrix
