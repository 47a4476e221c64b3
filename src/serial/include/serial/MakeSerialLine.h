#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "core/SerialLine.h"

namespace kestrix {

// The program's serial line on the system it runs on: QSerialPort on Linux
// and macOS, the Win32 calls on Windows. `workingFolder` is where "COM<n>"
// links are looked for (see PortNames.h); `onLost` runs once each time an
// open port is found gone (adapter pulled), after the line closed it.
std::unique_ptr<SerialLine> MakeSerialLine(
    const std::filesystem::path& workingFolder, std::function<void()> onLost);

}  // namespace kestrix
