#include "sim/DemoMonitor.h"

#include <algorithm>
#include <cctype>

namespace kestrix::sim {

namespace {
std::uint32_t HexOf(const std::string& digits) {
  std::uint32_t value = 0;
  for (char c : digits) {
    value = value << 4 | static_cast<std::uint32_t>(
                             std::isdigit(static_cast<unsigned char>(c))
                                 ? c - '0'
                                 : std::toupper(c) - 'A' + 10);
  }
  return value;
}
}  // namespace

std::string DemoMonitor::OnByte(std::uint8_t byte) {
  const char c = static_cast<char>(byte);
  if (std::isxdigit(byte)) {
    field_ += c;
    if (closing_) load_.start = HexOf(field_);
    return std::string(1, c);
  }
  if (c == ':') {
    address_ = HexOf(field_);
    haveAddress_ = true;
    field_.clear();
    return ":";
  }
  if (c == '+') {
    closing_ = true;
    field_.clear();
    return "+";
  }
  EndItem();
  // The window takes 10 as "set column" when it is the device's display, so
  // the echo keeps CR (its new line) and drops LF.
  if (c == '\r') return "\r";
  if (c == ' ') return " ";
  return {};
}

void DemoMonitor::EndItem() {
  if (!field_.empty() && haveAddress_ && !closing_) {
    const std::uint32_t value = HexOf(field_) & 0xFF;
    if (load_.bytes == 0) load_.first = address_;
    load_.first = std::min(load_.first, address_);
    load_.last = std::max(load_.last, address_);
    ++load_.bytes;
    load_.sum += value;
    ++address_;
  }
  field_.clear();
}

}  // namespace kestrix::sim
