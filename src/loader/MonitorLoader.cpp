#include "loader/MonitorLoader.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <system_error>

#include "loader/EventPacer.h"
#include "loader/RegularFile.h"

namespace kestrix {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int kBytesPerLine = 16;
constexpr std::size_t kReadChunk = 4096;

// Types characters one by one from the shared out block, as the monitor
// expects them. A failed write means the port is gone: the load stops.
class MonitorTyper {
 public:
  explicit MonitorTyper(const TransferContext& context) : context_(context) {}

  bool Type(const char* text, int count) {
    for (int i = 0; i < count; ++i) {
      context_.blocks.OutBlock[0] = static_cast<std::uint8_t>(text[i]);
      if (!context_.port.IsOpen() ||
          context_.port.Write(context_.blocks.OutBlock.data(), 1) < 1) {
        return false;
      }
    }
    return true;
  }

 private:
  const TransferContext& context_;
};

// An address as the monitor reads it: upper-case hex without leading zeros
// ("E80", "0" for zero), at most eight digits.
struct AddressText {
  std::array<char, 8> digits{};
  int length = 0;
};

AddressText FormatAddress(std::uint32_t address) {
  char reversed[8];
  int count = 0;
  do {
    reversed[count++] = kHexDigits[address & 0xF];
    address >>= 4;
  } while (address != 0);
  AddressText text;
  for (int i = 0; i < count; ++i) text.digits[i] = reversed[count - 1 - i];
  text.length = count;
  return text;
}

// Appends the address to `piece` at `length`; returns the new length.
int AppendAddress(std::uint32_t address, char* piece, int length) {
  const AddressText text = FormatAddress(address);
  std::copy_n(text.digits.begin(), text.length, piece + length);
  return length + text.length;
}

}  // namespace

void MonitorLoad(const std::filesystem::path& path, std::int32_t hubAddress,
                 const TransferContext& context) {
  context.port.PurgeReceive();
  // A FIFO or device would block the open or never end; only plain files
  // are object files.
  if (!IsRegularFile(path)) return;
  std::ifstream file(path, std::ios::binary);
  if (!file) return;

  EventPacer pacer(context.host, context.clock);
  MonitorTyper typer(context);

  const std::int64_t loadAddress = hubAddress;
  std::int64_t address = loadAddress;
  if (loadAddress < kLowestLoadAddress) {
    file.seekg(static_cast<std::streamoff>(kLowestLoadAddress - loadAddress));
    address = kLowestLoadAddress;
  }
  const std::int64_t startAddress = address;

  std::array<char, kReadChunk> chunk;
  // Longest piece per byte: CR LF, eight address digits, ":", two digits.
  char piece[16];
  bool portAlive = true;
  while (portAlive && file) {
    file.read(chunk.data(), chunk.size());
    const std::streamsize got = file.gcount();
    for (std::streamsize i = 0; i < got; ++i) {
      int length = 0;
      // The first item always gets an address: the monitor stores bytes
      // typed without one wherever its own pointer happens to be, so an
      // unaligned load address starts a short line of its own.
      if (address % kBytesPerLine == 0 || address == startAddress) {
        if (address > loadAddress) {
          piece[length++] = '\r';
          piece[length++] = '\n';
        }
        length = AppendAddress(static_cast<std::uint32_t>(address), piece,
                               length);
        piece[length++] = ':';
      } else {
        piece[length++] = ' ';
      }
      const auto byte = static_cast<std::uint8_t>(chunk[i]);
      piece[length++] = kHexDigits[byte >> 4];
      piece[length++] = kHexDigits[byte & 0xF];
      if (!typer.Type(piece, length)) {
        portAlive = false;
        break;
      }
      ++address;
      pacer.Tick();
    }
    if (got == 0) break;
  }
  file.close();
  if (!portAlive) return;

  int length = 0;
  piece[length++] = '\r';
  piece[length++] = '\n';
  piece[length++] = '0';
  piece[length++] = '+';
  length =
      AppendAddress(static_cast<std::uint32_t>(startAddress), piece, length);
  typer.Type(piece, length);
}

}  // namespace kestrix
