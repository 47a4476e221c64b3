#include "SimOptions.h"

#include <cerrno>
#include <cstdlib>

namespace kestrix::simtool {

namespace {
bool WholeNumber(const std::string& text, long low, long high, long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtol(text.c_str(), &end, 10);
  return errno == 0 && *end == '\0' && value >= low && value <= high;
}
}  // namespace

std::string ParseSimOptions(const std::vector<std::string>& args,
                            SimOptions& options) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      continue;
    }
    if (arg != "--port" && arg != "--folder" && arg != "--script" &&
        arg != "--rate") {
      return "unknown argument \"" + arg + "\" (see --help)";
    }
    if (i + 1 >= args.size()) return arg + " needs a value";
    const std::string& value = args[++i];
    long number = 0;
    if (arg == "--port") {
      if (!WholeNumber(value, 1, 255, number)) {
        return "--port takes a number from 1 to 255, not \"" + value + "\"";
      }
      options.port = static_cast<int>(number);
    } else if (arg == "--rate") {
      if (!WholeNumber(value, 0, 100'000'000, number)) {
        return "--rate takes bytes per second (0 or more), not \"" + value +
               "\"";
      }
      options.rate = number;
    } else if (value.empty()) {
      return arg + " needs a non-empty value";
    } else if (arg == "--folder") {
      options.folder = value;
    } else {
      options.script = value;
    }
  }
  return {};
}

std::string SimUsage() {
  return "usage: kestrix-sim [--port N] [--folder DIR] [--script FILE "
         "[--rate BYTES_PER_SECOND]]\n"
         "\n"
         "A simulated Propeller for trying Kestrix without a board. It links\n"
         "a pseudo-terminal as COM<N> in the folder, where Kestrix opens its\n"
         "port, and plays a demo program that uses the window as its display.\n"
         "Start Kestrix in the same folder; Ctrl+C stops the simulator.\n"
         "\n"
         "  --port N       the COM number to link (1 to 255, default 6)\n"
         "  --folder DIR   where to link it and put the demo files (default:\n"
         "                 the current folder): demo.txt, demo.bin and the\n"
         "                 upload samples blink.binary, blink.eeprom and\n"
         "                 blink.obj. A file that is there already is kept.\n"
         "  --script FILE  instead of the demo, send this byte stream (for\n"
         "                 example a capture) to the window\n"
         "  --rate N       bytes per second for --script (default 11520, the\n"
         "                 pace of 115200 baud; 0: as fast as the window "
         "reads)\n"
         "  --help         this text\n"
         "\n"
         "The demo accepts uploads at any time: Propeller 1 .binary and\n"
         ".eeprom images through the boot protocol, and .obj files typed into\n"
         "the Propeller 2 monitor (its page u names the samples). Options >\n"
         "Normal-Terminal Mode must be unchecked for the demo's pages.\n";
}

}  // namespace kestrix::simtool
