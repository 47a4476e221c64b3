#pragma once

#include <string>
#include <vector>

#include "serial/SerialAdapters.h"

namespace kestrix {

// The adapters as lines for the Com-Port requester: "COM<n>", the device,
// the adapter's description and serial number; "-" for no number. Says so
// when there is none, and how to name a port then.
std::string AdapterListing(const std::vector<SerialAdapter>& adapters);

}  // namespace kestrix
