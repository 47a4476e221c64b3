#pragma once

#include <string>
#include <vector>

namespace kestrix::simtool {

struct SimOptions {
  int Port = 6;  // the program's default port
  std::string Folder = ".";
  std::string Script;  // empty: play the demo
  long Rate = 11520;   // bytes per second of a script; 0: as fast as read
  bool Help = false;
};

// Reads the command line (without the program name). Returns the error
// text, empty when the arguments were good.
std::string ParseSimOptions(const std::vector<std::string>& args,
                            SimOptions& options);

std::string SimUsage();

}  // namespace kestrix::simtool
