// The lenient number conversions on arbitrary text: no overflow, and no
// text turns into a float that is not a number.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/Numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  kestrix::DecimalValue(text);
  kestrix::HexValue(text);
  if (std::isnan(kestrix::FloatValue(text))) std::abort();
  return 0;
}
