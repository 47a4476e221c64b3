#pragma once

#include <cstdint>
#include <filesystem>

#include "loader/TransferContext.h"

namespace kestrix {

// The lowest hub address the monitor may be typed into: below it lies the
// monitor's own workspace.
inline constexpr std::int32_t kLowestLoadAddress = 0xE80;

// Types a Propeller 2 object file into the chip's ROM monitor as hex lines
// of 16 bytes, "ADDR:HH HH ..", then starts it with "0+ADDR". Lines start at
// multiples of 16; an unaligned load address gets a short first line. File byte k is
// meant for hub address hubAddress + k; bytes that would land below 0xE80
// are skipped. Anything but a regular file is refused without opening it,
// and a port that fails under the load ends it at once. Nothing is reported:
// the monitor's echo shows on the terminal afterwards.
void MonitorLoad(const std::filesystem::path& path, std::int32_t hubAddress,
                 const TransferContext& context);

}  // namespace kestrix
