#include "sim/DemoFiles.h"

namespace kestrix::sim {

namespace {
constexpr std::size_t kEepromBytes = 32768;
// What the chip puts below the data area after a RAM load: two longs
// 0xFFF9FFFF, the stack frame the main method returns into.
constexpr std::uint8_t kStackFrame[] = {0xFF, 0xFF, 0xF9, 0xFF,
                                        0xFF, 0xFF, 0xF9, 0xFF};
constexpr std::size_t kChecksumAt = 5;
constexpr std::uint16_t kDataBase = 0x28;

void PutWord(std::string& bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>(value >> 8);
}

std::uint8_t FrameSum() {
  std::uint32_t sum = 0;
  for (std::uint8_t b : kStackFrame) sum += b;
  return static_cast<std::uint8_t>(sum);
}
}  // namespace

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

std::string BlinkBinaryContent() {
  std::string image(0x20, '\0');
  // Clock: 12 MHz, mode 0 (the internal RCFAST oscillator), which needs no
  // crystal on the board.
  const std::uint32_t clock = 12'000'000;
  for (int i = 0; i < 4; ++i) {
    image[static_cast<std::size_t>(i)] =
        static_cast<char>(clock >> (8 * i) & 0xFF);
  }
  PutWord(image, 6, 0x10);                 // object base
  PutWord(image, 8, 0x20);                 // variables: none, end of code
  PutWord(image, 10, kDataBase);           // data, after the stack frame
  PutWord(image, 12, 0x18);                // first byte code of main
  PutWord(image, 14, kDataBase + 4);       // stack pointer
  PutWord(image, 0x10, 0x10);              // object length
  image[0x12] = 2;                         // one method (count + 1)
  PutWord(image, 0x14, 0x08);              // main: code at object + 8
  const char code[] = {0x04, 0x7E, 0x32};  // jump back 2 (repeat), return
  image.replace(0x18, sizeof code, code, sizeof code);
  image[kChecksumAt] = static_cast<char>(
      static_cast<std::uint8_t>(0x100 - P1ImageChecksum(image)) & 0xFF);
  return image;
}

std::string BlinkEepromContent() {
  std::string image = BlinkBinaryContent();
  image.resize(kEepromBytes, '\0');
  image.replace(kDataBase - sizeof kStackFrame, sizeof kStackFrame,
                reinterpret_cast<const char*>(kStackFrame), sizeof kStackFrame);
  return image;
}

std::string BlinkObjContent() {
  // 40 bytes: two full monitor lines and a short one.
  std::string bytes;
  for (int i = 0; i < 40; ++i) bytes += static_cast<char>(i * 9 + 1);
  return bytes;
}

std::uint8_t P1ImageChecksum(const std::string& image) {
  std::uint32_t sum = ByteSum(image);
  if (image.size() < kEepromBytes) sum += FrameSum();
  return static_cast<std::uint8_t>(sum);
}

std::uint32_t ByteSum(const std::string& bytes) {
  std::uint32_t sum = 0;
  for (char c : bytes) sum += static_cast<unsigned char>(c);
  return sum;
}

}  // namespace kestrix::sim
