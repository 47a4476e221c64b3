#pragma once

#include <cstdint>
#include <string>

namespace kestrix {

// The transfers that the Upload File command and the device's lettered
// requests hand off: typing into a Propeller 2 monitor, typing a text file,
// and the device's file services. They live outside the program's own logic
// so that they can be supplied (and replaced in tests) without touching the
// dispatch that calls them.
class LaterTransfers {
 public:
  virtual ~LaterTransfers() = default;
  // Loads an object file into a Propeller 2 through its monitor, from hub
  // address `hubAddress` on.
  virtual void MonitorLoad(const std::string& path,
                           std::int32_t hubAddress) = 0;
  // Types a text file to the device line by line.
  virtual void SendTextFile(const std::string& path) = 0;
  // A lettered request other than the uploads ("b", "e"): the value the
  // decoder left, twice the letter's code. Values that name no service are
  // to be dropped.
  virtual void CarryOutServiceRequest(int request) = 0;
};

// Until the transfers are supplied, their commands do nothing.
class NoLaterTransfers : public LaterTransfers {
 public:
  void MonitorLoad(const std::string&, std::int32_t) override {}
  void SendTextFile(const std::string&) override {}
  void CarryOutServiceRequest(int) override {}
};

}  // namespace kestrix
