#pragma once

#include <string>
#include <vector>

namespace kestrix::simtool {

struct SimOptions {
  int port = 6;  // the program's default port
  std::string folder = ".";
  std::string script;  // empty: play the demo
  long rate = 11520;   // bytes per second of a script; 0: as fast as read
  bool help = false;
};

// Reads the command line (without the program name). Returns the error
// text, empty when the arguments were good.
std::string ParseSimOptions(const std::vector<std::string>& args,
                            SimOptions& options);

std::string SimUsage();

}  // namespace kestrix::simtool
