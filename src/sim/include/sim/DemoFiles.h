#pragma once

#include <cstdint>
#include <string>

namespace kestrix::sim {

// The files the simulator puts into its folder: the ones the demo's file
// requests ask for, and a sample for every kind of Upload File.
inline constexpr const char* kDemoTextName = "demo.txt";
inline constexpr const char* kDemoBinaryName = "demo.bin";
inline constexpr const char* kDemoSavedName = "demo-saved.txt";
inline constexpr const char* kBlinkBinaryName = "blink.binary";
inline constexpr const char* kBlinkEepromName = "blink.eeprom";
inline constexpr const char* kBlinkObjName = "blink.obj";

std::string DemoTextContent();
std::string DemoBinaryContent();

// A Propeller 1 program as the Spin tool writes it: the 16-byte header
// (clock, clock mode, checksum byte, the five memory pointers), one object
// whose main method loops forever, no variables.
std::string BlinkBinaryContent();
// The same program as a full 32 KB EEPROM image: zeros up to the data area,
// where the boot stack frame lies, so that all bytes sum to 0 modulo 256.
std::string BlinkEepromContent();
// A few longs of Propeller 2 code for the monitor load.
std::string BlinkObjContent();

// The checksum a Propeller 1 checks after a load: the bytes of the image
// plus those of the boot stack frame the chip adds, modulo 256; 0 when good.
std::uint8_t P1ImageChecksum(const std::string& image);

// The 32-bit sum of the bytes, each taken unsigned: what the demo shows for
// a file or an image so that it can be compared with the PC's copy.
std::uint32_t ByteSum(const std::string& bytes);

}  // namespace kestrix::sim
