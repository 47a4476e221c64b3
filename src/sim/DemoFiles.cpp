#include "sim/DemoFiles.h"

namespace kestrix::sim {

std::string DemoTextContent() {
  return "This text lives in demo.txt in the simulator's working folder.\r\n"
         "The PC typed it line by line after the request \"t\",\r\n"
         "each line ending with CR alone.\r\n"
         "Edit the file and press 7 again to see your own text.\r\n";
}

std::string DemoBinaryContent() {
  // 1000 bytes of a simple generator: not a multiple of the 16-byte blocks,
  // and every byte value occurs.
  std::string bytes;
  std::uint32_t x = 12345;
  for (int i = 0; i < 1000; ++i) {
    x = x * 1103515245u + 12345u;
    bytes += static_cast<char>((x >> 16) & 0xFF);
  }
  return bytes;
}

std::uint32_t ByteSum(const std::string& bytes) {
  std::uint32_t sum = 0;
  for (char c : bytes) sum += static_cast<unsigned char>(c);
  return sum;
}

}  // namespace kestrix::sim
