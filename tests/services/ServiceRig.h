#pragma once

#include <string>
#include <vector>

#include "core/SharedBlocks.h"
#include "loader/RecordingOutput.h"
#include "services/LetteredRequests.h"
#include "sim/DeviceClient.h"
#include "support/ScriptedHost.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"
#include "support/WirePort.h"

namespace kestrix::test {

// One device client on a wire port, with the program's side of a request.
struct ServiceRig {
  explicit ServiceRig(std::vector<sim::ClientRequest> program,
                      sim::Acknowledge ack = sim::Acknowledge::kAtOnce,
                      int lateMs = 0)
      : client(std::move(program), ack, lateMs), port(client, clock) {
    port.DrainRequest();
  }

  char Request(std::int32_t request, const std::string& name,
               const std::string& previous = "") {
    const RequestNames names{name, previous, binPath, preparedFile};
    return RunLetteredRequest(
        request, names, pace, context,
        [this](const std::string& path) { log.push_back("upload " + path); });
  }
  char Run(char letter, const std::string& name,
           const std::string& previous = "") {
    return Request(2 * letter, name, previous);
  }
  std::string Sent() const { return port.WrittenText(); }

  TempFolder folder;
  VirtualClock clock;
  sim::DeviceClient client;
  WirePort port;
  std::vector<std::string> log;
  ScriptedHost host{log};
  RecordingOutput output;
  SharedBlocks blocks;
  std::string binPath = "bins/";
  std::string preparedFile;
  TypingPace pace = DevicePace(false, false);
  TransferContext context{port, clock, output, host, blocks};
};

}  // namespace kestrix::test
