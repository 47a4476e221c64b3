#pragma once

#include <filesystem>
#include <string>

namespace kestrix {

// Device names for a COM port number given as text ("6"). An empty result
// means that no device belongs to the number, so the open fails.

// Windows: "\\.\COM" followed by the text, which the system resolves.
std::string WindowsPortName(const std::string& numberText);

// Linux and macOS have no COM names. Two rules, in order:
//  1. An entry named "COM<number>" in the working folder (usually a symbolic
//     link such as `ln -s /dev/ttyUSB0 COM6`) names the port. It wins even
//     when it dangles, so that the open fails instead of silently taking a
//     different device.
//  2. Otherwise COM1-COM16 are /dev/ttyUSB0-15, COM17-COM32 /dev/ttyACM0-15
//     and COM33-COM63 /dev/ttyS0-30. macOS uses the same table; its USB
//     adapters carry serial numbers in their names, so there the link is the
//     way to name a port.
// The number must be plain decimal digits without a leading zero and at
// least 1; anything else ("0", "-3", " 6", "6a", a path) has no device.
std::string UnixPortName(const std::string& numberText,
                         const std::filesystem::path& workingFolder);

// The rule of the system the program runs on. Both take plain numbers only
// (as rule 2 above), so no other text reaches a device path.
std::string PortDeviceName(const std::string& numberText,
                           const std::filesystem::path& workingFolder);

}  // namespace kestrix
