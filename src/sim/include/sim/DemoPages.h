#pragma once

#include <string>

#include "sim/DemoStream.h"

namespace kestrix::sim {

// The demo's fixed screens. Each starts from a clear screen.
inline constexpr int kStatusRow = 23;  // answers and requests show here
inline constexpr int kFooterRow = 24;

DemoStream PageHeader(const std::string& title);
// keyMode: 1 device display seen, -1 normal terminal seen, 0 not yet known.
DemoStream TitlePage(int keyMode);
DemoStream ColoursPage();
DemoStream CursorPage();
DemoStream GraphicsPage();
DemoStream MousePage();
DemoStream KeysPage();

// The points the graphics page asks about, and what each shows.
struct QueryPoint {
  int X, Y;
  const char* What;
};
inline constexpr QueryPoint kQueryPoints[] = {
    {60, 140, "inside the blue box"},     {100, 180, "in the inverted hole"},
    {170, 150, "centre of the red disc"}, {300, 200, "empty background"},
    {510, 510, "outside the picture"},
};

}  // namespace kestrix::sim
