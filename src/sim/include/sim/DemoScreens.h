#pragma once

#include <string>

#include "sim/DemoStream.h"

namespace kestrix::sim {

// The demo's fixed screens. Each starts from a clear screen.
inline constexpr int kStatusRow = 23;  // answers and requests show here
inline constexpr int kFooterRow = 24;
// Where a page leaves the text cursor, so that its mark sits out of the way.
inline constexpr int kParkColumn = 79;

DemoStream PageHeader(const std::string& title);
// The title and menu, drawn so that both of the window's modes show it; a
// hint to leave normal-terminal mode shows in that mode only, at `kHintRow`.
inline constexpr int kHintRow = 5;
DemoStream TitleScreen();
DemoStream ColoursScreen();
DemoStream CursorScreen();
DemoStream GraphicsScreen();
DemoStream MouseScreen();
DemoStream KeysScreen();
DemoStream UploadScreen();

// The points the graphics page asks about, and what each shows.
struct QueryPoint {
  int x, y;
  const char* what;
};
inline constexpr QueryPoint kQueryPoints[] = {
    {60, 140, "inside the blue box"},     {100, 180, "in the inverted hole"},
    {170, 150, "centre of the red disc"}, {300, 200, "empty background"},
    {510, 510, "outside the picture"},
};

}  // namespace kestrix::sim
