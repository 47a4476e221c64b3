#pragma once

#include <optional>
#include <string>

#include "IndexedPng.h"
#include "UnifontHex.h"

namespace kestrix::tools {

inline constexpr int kLogoWidth = 210;
inline constexpr int kLogoHeight = 85;

// The banner shown before EEPROM uploads: a three-bladed propeller mark, the
// name "Kestrix" and an offer of customised versions, on black.
std::optional<IndexedImage> DrawLogo(const UnifontHex& font,
                                     std::string* error);

}  // namespace kestrix::tools
