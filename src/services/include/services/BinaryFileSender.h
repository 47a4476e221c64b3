#pragma once

#include <cstdint>
#include <string>

#include "loader/TransferContext.h"

namespace kestrix {

// Largest file whose length fits the 4-byte length the device reads first.
inline constexpr std::uintmax_t kMaxTransferBytes = 0xFFFFFFFFu;

// Sends a file to the device: its length as 4 bytes little-endian, then
// blocks of 16 bytes, each after the device's go-ahead (any bytes). A missing
// go-ahead (about 2 s) prints "TimeOut Error" and ends the transfer. The name
// "*.*" asks the user for the file, starting in `binPath`. The progress bar
// is shown for the duration and hidden on every exit. A file that is not a plain file sends nothing; one too
// large for the length is refused with a line on the terminal; a port that
// fails ends the transfer at once.
void SendBinaryFile(std::string name, const std::string& binPath,
                    const TransferContext& context);

}  // namespace kestrix
