#include <windows.h>
// windows.h first: setupapi.h builds on it.
#include <setupapi.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "serial/PortNames.h"
#include "serial/SerialAdapters.h"

namespace kestrix {
namespace {

// The device setup class of COM and LPT ports.
constexpr GUID kPortsClass = {0x4d36e978,
                              0xe325,
                              0x11ce,
                              {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

// The number of a name "COM<digits>" (any case), 0 for any other name.
int ComNumber(const std::string& name) {
  if (name.size() < 4 || name.size() > 12) return 0;
  if (_strnicmp(name.c_str(), "COM", 3) != 0 || name[3] == '0') return 0;
  int number = 0;
  for (std::size_t i = 3; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    number = number * 10 + (name[i] - '0');
  }
  return number;
}

// A USB device's instance ID ends with its serial number
// ("USB\VID_0403&PID_6001\A700XYZ"); one without a serial number gets a
// generated ID there, which contains '&'.
std::string SerialFromInstanceId(const std::string& id) {
  if (_strnicmp(id.c_str(), "USB\\", 4) != 0) return {};
  const std::size_t slash = id.rfind('\\');
  if (slash == 3) return {};
  std::string tail = id.substr(slash + 1);
  return tail.find('&') == std::string::npos ? tail : std::string();
}

std::string RegistryText(HKEY key, const char* name) {
  char text[256] = {};
  DWORD size = sizeof(text) - 1;
  DWORD type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text),
                       &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  return std::string(text);
}

// Ports that Plug and Play knows, with their names and serial numbers.
std::vector<SerialAdapter> InstalledPorts() {
  std::vector<SerialAdapter> adapters;
  HDEVINFO devices =
      SetupDiGetClassDevsA(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT);
  if (devices == INVALID_HANDLE_VALUE) return adapters;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof(device);
  for (DWORD i = 0; SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
    HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0,
                                    DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) continue;
    const int number = ComNumber(RegistryText(key, "PortName"));
    RegCloseKey(key);
    if (number <= 0) continue;

    char text[512] = {};
    std::string description;
    if (SetupDiGetDeviceRegistryPropertyA(
            devices, &device, SPDRP_FRIENDLYNAME, nullptr,
            reinterpret_cast<BYTE*>(text), sizeof(text) - 1, nullptr)) {
      description = text;
    }
    std::string serialNumber;
    if (SetupDiGetDeviceInstanceIdA(devices, &device, text, sizeof(text) - 1,
                                    nullptr)) {
      serialNumber = SerialFromInstanceId(text);
    }
    adapters.push_back({number, WindowsPortName(std::to_string(number)),
                        description, serialNumber});
  }
  SetupDiDestroyDeviceInfoList(devices);
  return adapters;
}

// The serial device map names the port of every serial driver that runs,
// virtual ones included.
std::vector<int> DeviceMapNumbers() {
  std::vector<int> numbers;
  HKEY map = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0,
                    KEY_READ, &map) != ERROR_SUCCESS) {
    return numbers;
  }
  for (DWORD i = 0;; ++i) {
    char name[256] = {};
    DWORD nameSize = sizeof(name);
    char port[64] = {};
    DWORD portSize = sizeof(port) - 1;
    DWORD type = 0;
    const LONG result = RegEnumValueA(map, i, name, &nameSize, nullptr, &type,
                                      reinterpret_cast<BYTE*>(port), &portSize);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS || type != REG_SZ) continue;
    const int number = ComNumber(port);
    if (number > 0) numbers.push_back(number);
  }
  RegCloseKey(map);
  return numbers;
}

// Every COM name the system resolves.
std::vector<int> DosDeviceNumbers() {
  std::vector<int> numbers;
  std::vector<char> names(16 * 1024);
  for (;;) {
    const DWORD length = QueryDosDeviceA(nullptr, names.data(),
                                         static_cast<DWORD>(names.size()));
    if (length != 0) {
      names.resize(length);
      break;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER ||
        names.size() >= 4 * 1024 * 1024) {
      return numbers;
    }
    names.resize(names.size() * 2);
  }
  for (std::size_t at = 0; at < names.size() && names[at] != '\0';) {
    const std::string name(names.data() + at);
    const int number = ComNumber(name);
    if (number > 0) numbers.push_back(number);
    at += name.size() + 1;
  }
  return numbers;
}

}  // namespace

std::vector<SerialAdapter> ListSerialAdapters(
    const std::filesystem::path& workingFolder) {
  // Windows names its ports itself; the working folder plays no part.
  (void)workingFolder;
  // Plug and Play entries come first, so that a port listed there keeps its
  // name and serial number when the other lists name it too.
  std::vector<SerialAdapter> adapters = InstalledPorts();
  std::vector<int> numbers = DeviceMapNumbers();
  const std::vector<int> dosNumbers = DosDeviceNumbers();
  numbers.insert(numbers.end(), dosNumbers.begin(), dosNumbers.end());
  for (int number : numbers) {
    adapters.push_back(
        {number, WindowsPortName(std::to_string(number)), {}, {}});
  }
  std::stable_sort(adapters.begin(), adapters.end(),
                   [](const SerialAdapter& a, const SerialAdapter& b) {
                     return a.comNumber < b.comNumber;
                   });
  adapters.erase(
      std::unique(adapters.begin(), adapters.end(),
                  [](const SerialAdapter& a, const SerialAdapter& b) {
                    return a.comNumber == b.comNumber;
                  }),
      adapters.end());
  return adapters;
}

}  // namespace kestrix
