#pragma once

#include "core/BytePort.h"
#include "core/Clock.h"
#include "core/Host.h"
#include "core/SharedBlocks.h"
#include "core/TextOutput.h"

namespace kestrix {

// What a transfer uses of the program: the port it talks on, the clock it
// waits with, where its lines go (screen or console), the desktop it keeps
// painting while it waits, and the blocks short exchanges go through. The
// uploads, the port search, the monitor load and the device's file services
// share it; whatever else one of them needs it takes as a plain value.
struct TransferContext {
  BytePort& port;
  Clock& clock;
  TextOutput& output;
  Host& host;
  SharedBlocks& blocks;
};

}  // namespace kestrix
