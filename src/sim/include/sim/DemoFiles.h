#pragma once

#include <cstdint>
#include <string>

namespace kestrix::sim {

// The files the simulator puts into the working folder for the demo's file
// requests, and the names it asks for.
inline constexpr const char* kDemoTextName = "demo.txt";
inline constexpr const char* kDemoBinaryName = "demo.bin";
inline constexpr const char* kDemoSavedName = "demo-saved.txt";

std::string DemoTextContent();
std::string DemoBinaryContent();

// The 32-bit sum of the bytes, each taken unsigned: what the demo shows for
// a file or an image so that it can be compared with the PC's copy.
std::uint32_t ByteSum(const std::string& bytes);

}  // namespace kestrix::sim
