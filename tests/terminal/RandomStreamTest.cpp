// Long random streams in both modes: the decoder must never crash, never
// leave the cursor outside the grid, and never change the image's size.
// Run under the sanitizer build this also proves nothing is drawn outside.
#include <gtest/gtest.h>

#include <random>

#include "EngineHarness.h"

namespace kestrix::test {
namespace {

void Soak(bool device, int cols, int rows, unsigned seed) {
  SCOPED_TRACE(testing::Message()
               << device << " " << cols << "x" << rows << " seed " << seed);
  Engine e(device, cols, rows);
  std::mt19937 rng(seed);
  const int w = e.screen.image.width(), h = e.screen.image.height();
  std::uniform_int_distribution<int> byte(0, 255), small(0, 15), len(1, 1024);
  for (int chunk = 0; chunk < 150; ++chunk) {
    Bytes bytes(static_cast<std::size_t>(len(rng)));
    for (auto& b : bytes) {
      // Bias towards control codes and escapes so every path is hit.
      const int r = small(rng);
      b = static_cast<std::uint8_t>(r < 6 ? small(rng) : byte(rng));
    }
    if (chunk % 7 == 0) e.port.Feed(Bytes{5, 0x81, 128});
    e.Feed(bytes);
    e.decoder.ServiceRequest = 0;
    e.decoder.graphics.ReplyByte = 0;
    ASSERT_TRUE(e.screen.CursorColumn >= 0 && e.screen.CursorColumn < cols);
    ASSERT_TRUE(e.screen.CursorRow >= 0 && e.screen.CursorRow < rows);
    ASSERT_EQ(e.screen.image.width(), w);
    ASSERT_EQ(e.screen.image.height(), h);
    ASSERT_LE(e.decoder.CarryCount(), 3);
  }
}

TEST(RandomStreams, BothModesAndOddGridSizes) {
  for (bool device : {true, false}) {
    for (unsigned seed = 1; seed <= 6; ++seed)
      Soak(device, 80, 25, seed + 10 * !device);
    Soak(device, 1, 1, 99);
    Soak(device, 3, 200, 7);
    Soak(device, 300, 2, 8);
  }
}

}  // namespace
}  // namespace kestrix::test
