#pragma once

#include <optional>
#include <string>

#include "IndexedPng.h"
#include "UnifontHex.h"

namespace kestrix::tools {

inline constexpr int kLogoWidth = 210;
inline constexpr int kLogoHeight = 85;

// The mark, in the banner's pixel coordinates: a ring around three swept
// blades and a hub. The program's icons are drawn from the same shapes.
inline constexpr PaletteEntry kAmber{0xF2, 0xA1, 0x2C};
inline constexpr PaletteEntry kRust{0xB8, 0x4A, 0x1C};
inline constexpr double kMarkX = 31.5;
inline constexpr double kMarkY = 32.0;
inline constexpr double kRingOuter = 29.0;
inline constexpr double kRingInner = 26.8;
inline constexpr double kHubRadius = 6.8;
inline constexpr double kHubHoleRadius = 2.6;
inline constexpr int kBlades = 3;

// The direction of blade 0, 1 or 2; the first points up and a little right.
double BladeAngle(int blade);

// Whether (x, y) lies in the blade that points in direction `angle`.
bool InBlade(double x, double y, double angle);

// The banner shown before EEPROM uploads: a three-bladed propeller mark, the
// name "Kestrix" and an offer of customised versions, on black.
std::optional<IndexedImage> DrawLogo(const UnifontHex& font,
                                     std::string* error);

}  // namespace kestrix::tools
