#pragma once

namespace kestrix {

// The rates offered for the port, in the order the menu lists them. The index
// is what the settings store.
inline constexpr int kBaudRates[] = {115200, 57600, 38400, 19200,
                                     9600,   4800,  2400,  1200};
inline constexpr int kBaudRateCount =
    static_cast<int>(sizeof(kBaudRates) / sizeof(kBaudRates[0]));

// Any index outside the table runs at the fastest rate, so a damaged setting
// still talks to a Propeller at its boot-loader speed.
constexpr int BaudRateForIndex(int index) {
  return index >= 0 && index < kBaudRateCount ? kBaudRates[index]
                                              : kBaudRates[0];
}

// Two stop bits for index 0 and below, one otherwise. The rule follows the
// index, not the rate: index 8 runs at 115200 with one stop bit.
constexpr int StopBitsForIndex(int index) { return index <= 0 ? 2 : 1; }

}  // namespace kestrix
