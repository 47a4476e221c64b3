#pragma once

#include "core/BytePort.h"
#include "core/Clock.h"
#include "core/Host.h"
#include "core/SharedBlocks.h"
#include "core/TextOutput.h"
#include "loader/TransferGuards.h"

namespace kestrix {

// What the device's file services use of the program.
struct ServiceContext {
  BytePort& port;
  Clock& clock;
  Host& host;
  TextOutput& output;
  SharedBlocks& blocks;
  MouseReports mouse;
  // Text cursor on: the device needs longer per typed line.
  const bool& TxtCurs;
  // The Upload File kind the requester preselects; 3 (OBJ) paces typed text
  // by character as well.
  const int& UploadPatternIndex;
};

}  // namespace kestrix
