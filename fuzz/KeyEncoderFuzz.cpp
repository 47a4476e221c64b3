// The key encoder on arbitrary sequences of key-down, key-up and character
// events in every mode: each three input bytes are one event.
#include <cstddef>
#include <cstdint>

#include "core/BytePort.h"
#include "terminal/KeyEncoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  kestrix::SilentPort port;
  kestrix::SharedBlocks blocks;
  kestrix::KeyEncoder keys(port, blocks);
  for (std::size_t i = 0; i + 3 <= size; i += 3) {
    const kestrix::KeyModes modes{((data[i] >> 2) & 1) != 0,
                                  ((data[i] >> 3) & 1) != 0};
    // Codes beyond a byte and negative ones come from the window too.
    const int code = static_cast<std::int8_t>(data[i + 1]) * 256 + data[i + 2];
    switch (data[i] & 3) {
      case 0:
        keys.OnKeyDown(code, modes);
        break;
      case 1:
        keys.OnKeyUp(code, modes);
        break;
      default:
        keys.OnCharacter(code, modes);
        break;
    }
  }
  return 0;
}
