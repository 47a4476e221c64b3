#include "sim/DemoPages.h"

#include <cstdio>

namespace kestrix::sim {

namespace {
constexpr const char* kColourNames[] = {"white", "cyan",  "red",    "magenta",
                                        "blue",  "green", "yellow", "grey"};
constexpr int kWhite = 0, kCyan = 1, kRed = 2, kMagenta = 3, kBlue = 4,
              kGreen = 5, kYellow = 6, kGrey = 7;
}  // namespace

DemoStream PageHeader(const std::string& title) {
  DemoStream s;
  std::string bar = " " + title;
  bar.resize(80, ' ');
  s.Clear().Colour(kInverse + kWhite).Text(bar).Colour(kWhite);
  s.At(0, kFooterRow)
      .Colour(kGrey)
      .Text("Esc or m: menu   1-9, 0: the other pages");
  return s.Colour(kWhite).At(0, 2);
}

DemoStream TitlePage(int keyMode) {
  DemoStream s;
  s.Clear().At(27, 1);
  const std::string name = "K E S T R I X   D E M O";
  for (std::size_t i = 0; i < name.size(); ++i) {
    s.Colour(static_cast<int>(1 + i % 6)).Text(std::string(1, name[i]));
  }
  s.Colour(kWhite).At(14, 3).Text(
      "A simulated Propeller is using this window as its display.");
  s.At(8, 5)
      .Colour(kInverse + kYellow)
      .Text(" Options > Normal-Terminal Mode must be unchecked for this demo. ")
      .Colour(kWhite);
  s.At(8, 6);
  if (keyMode > 0) {
    s.Colour(kGreen).Text("Your keys show: it is unchecked. Good.");
  } else if (keyMode < 0) {
    s.Colour(kRed).Text(
        "Your keys show Normal-Terminal Mode: uncheck it, then press m.");
  } else {
    s.Colour(kGrey).Text("Press a number to choose a page.");
  }
  const char* items[] = {"Colours and inverse video",
                         "Cursor moves and scrolling",
                         "Graphics: lines, boxes, circles, fills, queries",
                         "Draw with the mouse",
                         "Clock, time and date from the PC",
                         "Key codes",
                         "Text file from the PC (demo.txt)",
                         "Binary file from the PC (demo.bin)",
                         "Save a file on the PC (demo-saved.txt)"};
  for (int i = 0; i < 10; ++i) {
    s.At(12, 8 + i).Colour(kYellow).Text(std::to_string((i + 1) % 10));
    s.Colour(kWhite).Text("  ").Text(
        i < 9 ? items[i] : "Prepared file: its size and blocks");
  }
  // A cut-corner frame around the menu.
  // x is 9 bits wide: the frame stays left of pixel 512.
  s.Colour(kBlue).Command(kMove, 11 * 8, 8 * 17 - 6);
  s.Command(kFrame, 63 * 8 + 2, 18 * 17 + 4);
  s.At(4, 20).Colour(kGrey).Text(
      "Upload File sends a program at any time: .binary or .eeprom as a");
  s.At(4, 21).Text(
      "Propeller 1, .obj through the Propeller 2 monitor; the demo answers.");
  return s.Colour(kWhite);
}

DemoStream ColoursPage() {
  DemoStream s = PageHeader("1  Colours and inverse video (code 12, colour)");
  s.Line("Code 12 with 0 to 7 picks a palette colour, 16 + n its inverse:");
  s.Text("\n");
  for (int i = 0; i < 8; ++i) {
    char line[40];
    std::snprintf(line, sizeof line, " %2d  %-8s", i, kColourNames[i]);
    s.Colour(i).Text(line);
    std::snprintf(line, sizeof line, " %2d  inverse %-8s ", kInverse + i,
                  kColourNames[i]);
    s.Colour(kWhite).Text("   ").Colour(kInverse + i).Text(line);
    s.Colour(kWhite).Text("\n");
  }
  s.Text("\n").Line(
      "Above 8 any value is inverse video of the value modulo 8:");
  s.Colour(8).Text(" 8 ").Colour(9).Text(" 9 ").Colour(kWhite);
  s.Text(" (8 is white again, 9 inverse cyan)\n\n");
  s.Text("The palette comes from the settings file, pal_0 to pal_7.");
  return s;
}

DemoStream CursorPage() {
  DemoStream s = PageHeader("2  Cursor moves and scrolling");
  // Thirty numbered lines from the bottom row: the screen scrolls up.
  s.At(0, 22);
  for (int i = 1; i <= 30; ++i) {
    s.Colour(i % 2 ? kGrey : kWhite)
        .Text("\nline " + std::to_string(i) + " scrolls up");
  }
  // Then text placed anywhere by code 10 (column) and 11 (row).
  for (int i = 0; i < 11; ++i) {
    s.At(40 + i * 3, 2 + i)
        .Colour(1 + i % 6)
        .Text("*(" + std::to_string(40 + i * 3) + "," + std::to_string(2 + i) +
              ")");
  }
  s.At(30, 16)
      .Colour(kInverse + kMagenta)
      .Text(" 10 col, 11 row: anywhere ")
      .Colour(kWhite);
  s.At(30, 17).Text("Backspace: ABCX");
  s.Raw("\x08").Text("D");
  s.At(30, 18).Text("Tab:").Raw("\t").Text("to 40").Raw("\t").Text("to 48");
  s.At(0, kStatusRow)
      .Colour(kYellow)
      .Text(
          "Press + to scroll the picture up by 3 pixels (escape command 11).");
  std::string bar = " 2  Cursor moves and scrolling";
  bar.resize(80, ' ');
  s.At(0, 0).Colour(kInverse + kWhite).Text(bar).Colour(kWhite);
  return s;
}

DemoStream GraphicsPage() {
  DemoStream s =
      PageHeader("3  Graphics: 4-byte escape commands 5, op, x/2, y/2");
  s.Colour(kBlue).Command(kMove, 30, 110).Command(kBox, 130, 200);
  s.Command(kMove, 80, 150).Command(kInvertBox, 120, 190);
  s.Colour(kRed).Command(kMove, 150, 150).Command(kCircle, 180, 150);
  s.Colour(kGreen).Command(kMove, 215, 150).Command(kCircle, 240, 150);
  s.Colour(kCyan);
  for (int k = 0; k < 60; k += 6) {
    s.Command(kMove, 270, 200).Command(kLine, 270 + k * 2, 110 + k);
  }
  s.Colour(kYellow).Command(kMove, 420, 110).Command(kFrame, 500, 200);
  s.Colour(kMagenta).Command(kMove, 430, 120).Command(kFrame, 490, 190);
  s.Command(kFill, 460, 150);
  s.Colour(kWhite).Command(kMove, 30, 230);
  const int heart[] = {0x0C, 0x1E, 0x3E, 0x7C, 0x7C, 0x3E, 0x1E, 0x0C};
  for (int i = 0; i < 8; i += 2) {
    s.Command(kPattern, heart[i] * 2, heart[i + 1] * 2);
  }
  s.Colour(kGrey);
  for (int i = 0; i < 200; i += 4) {
    s.Command(kMove, 60 + i, 230).Command(kLine, 60 + i, 230 + i % 40);
  }
  s.Command(kPointer, 330, 240);
  s.Colour(kWhite).At(0, 17).Text(
      "box, inverted box, discs, lines, cut-corner frames, fill, a bit\n"
      "pattern, the mouse pointer. Pixel queries (command 9) answer:");
  return s;
}

DemoStream MousePage() {
  DemoStream s = PageHeader("4  Draw with the mouse");
  s.Line("Hold the left button and move: the device gets 5, buttons, x/2, y/2");
  s.Line("and draws lines there. The right button clears the picture.");
  return s;
}

DemoStream KeysPage() {
  DemoStream s = PageHeader("6  Key codes");
  s.Line("Press keys: each byte the window sends is shown. Esc twice: menu.");
  return s;
}

}  // namespace kestrix::sim
