#include "serial/MakeSerialLine.h"

#include <utility>

#ifdef _WIN32
#include "serial/Win32SerialLine.h"
#else
#include "serial/ComPort.h"
#endif

namespace kestrix {

std::unique_ptr<SerialLine> MakeSerialLine(
    const std::filesystem::path& workingFolder, std::function<void()> onLost) {
#ifdef _WIN32
  auto line = std::make_unique<Win32SerialLine>(workingFolder);
#else
  auto line = std::make_unique<ComPort>(workingFolder);
#endif
  line->SetOnLost(std::move(onLost));
  return line;
}

}  // namespace kestrix
