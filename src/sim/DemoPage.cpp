#include "sim/DemoPage.h"

#include "sim/DemoScreens.h"
#include "sim/DemoStream.h"

namespace kestrix::sim {

MouseReport ParseMouseReport(const std::string& threeBytes) {
  const auto k = static_cast<std::uint8_t>(threeBytes[0]);
  return {static_cast<std::uint8_t>(threeBytes[1]) * 2 + (k >> 5 & 1),
          static_cast<std::uint8_t>(threeBytes[2]) * 2 + (k >> 4 & 1), k & 3};
}

void DemoPage::GiveUp(PageOutput& out) {
  out.Send(Status("No answer from the PC.", kRed));
}

std::string Status(const std::string& text, int colour) {
  std::string padded = text;
  padded.resize(79, ' ');
  return DemoStream()
      .At(0, kStatusRow)
      .Colour(colour)
      .Text(padded)
      .Colour(kWhite)
      .At(kParkColumn, kFooterRow)
      .bytes();
}

std::string ImmediateRequest(int x8, int y8) {
  return {5, static_cast<char>(0x81), static_cast<char>(x8),
          static_cast<char>(y8)};
}

std::uint32_t LittleEndian32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) {
    value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  }
  return value;
}

}  // namespace kestrix::sim
