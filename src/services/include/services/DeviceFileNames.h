#pragma once

#include <string_view>

namespace kestrix {

// A file name the device printed is used as given (relative to the working
// folder), unless it is empty or holds control characters: those come from
// a garbled screen, not from a name.
bool IsUsableDeviceName(std::string_view name);

}  // namespace kestrix
