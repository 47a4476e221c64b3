#pragma once

namespace kestrix {

// Carries out the lettered requests the device makes ("b", "t", "s", ...):
// the program runs the service, a renderer may only report it.
class RequestHandler {
 public:
  virtual ~RequestHandler() = default;
  // request: twice the letter's code; a value that names no service is
  // dropped by the handler.
  virtual void CarryOut(int request) = 0;
};

}  // namespace kestrix
