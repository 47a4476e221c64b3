#include "sim/DemoScreens.h"

#include <cstdio>

#include "sim/DemoFiles.h"
#include "sim/DemoPage.h"

namespace kestrix::sim {

namespace {
constexpr const char* kColourNames[] = {"white", "cyan",  "red",    "magenta",
                                        "blue",  "green", "yellow", "grey"};
constexpr char kFooter[] = "Esc or m: menu   1-9, 0, u: the other pages";

std::string Bar(const std::string& title) {
  std::string bar = " " + title;
  bar.resize(80, ' ');
  return bar;
}
}  // namespace

DemoStream PageHeader(const std::string& title) {
  DemoStream s;
  s.Clear().Colour(kInverse + kWhite).Text(Bar(title)).Colour(kWhite);
  s.At(0, kFooterRow).Colour(kGrey).Text(kFooter);
  return s.Colour(kWhite).At(0, 2);
}

DemoStream TitleScreen() {
  // Placed with escape command 12 only, and without line ends, so that a
  // window still in normal-terminal mode shows the page and its hint too.
  DemoStream s;
  s.Clear().Place(27, 1);
  const std::string name = "K E S T R I X   D E M O";
  for (std::size_t i = 0; i < name.size(); ++i) {
    s.Colour(static_cast<int>(1 + i % 6)).Text(std::string(1, name[i]));
  }
  s.Colour(kWhite).Place(11, 3).Text(
      "A simulated Propeller is using this window as its display.");
  s.Place(6, kHintRow)
      .NormalTerminalText(
          "Options > Normal-Terminal Mode is checked: uncheck it for this "
          "demo.",
          kYellow)
      .Colour(kWhite);
  s.Place(24, 6).Colour(kGrey).Text("Press a number to choose a page.");
  const char* items[] = {"Colours and inverse video",
                         "Cursor moves and scrolling",
                         "Graphics: lines, boxes, circles, fills, queries",
                         "Draw with the mouse",
                         "Clock, time and date from the PC",
                         "Key codes",
                         "Text file from the PC (demo.txt)",
                         "Binary file from the PC (demo.bin)",
                         "Save a file on the PC (demo-saved.txt)",
                         "Prepared file: its size and blocks",
                         "Upload a program (blink.binary, .eeprom, .obj)"};
  for (int i = 0; i < 11; ++i) {
    s.Place(12, 8 + i).Colour(kYellow).Text(
        i < 10 ? std::to_string((i + 1) % 10) : "u");
    s.Colour(kWhite).Text("  ").Text(items[i]);
  }
  // A cut-corner frame around the menu.
  // x is 9 bits wide: the frame stays left of pixel 512.
  s.Colour(kBlue).Command(kMove, 11 * 8, 8 * 17 - 6);
  s.Command(kFrame, 63 * 8 + 2, 19 * 17 + 4);
  s.Place(6, 21).Colour(kGrey).Text(
      "Upload File works on any page; the demo reports what arrived.");
  return s.Colour(kWhite).Place(kParkColumn, kFooterRow);
}

DemoStream ColoursScreen() {
  DemoStream s = PageHeader("1  Colours and inverse video (code 12, colour)");
  s.Line("Code 12 with 0 to 7 picks a palette colour; 16 + n shows the cell");
  s.Line("inverted: the complement of colour n on white.");
  for (int i = 0; i < 8; ++i) {
    char line[40];
    std::snprintf(line, sizeof line, " %2d  %-8s", i, kColourNames[i]);
    s.Colour(i).Text(line);
    // The inverse sample carries no words of its own: pale complements
    // on white are hard to read, so its name stays in plain white.
    std::snprintf(line, sizeof line, "   %2d  inverse %-8s ", kInverse + i,
                  kColourNames[i]);
    s.Colour(kWhite).Text(line).Colour(kInverse + i).Text(" ########## ");
    s.Colour(kWhite).Text("\n");
  }
  s.Text("\n").Line(
      "Above 8 any value is inverse video of the value modulo 8:");
  s.Colour(8).Text(" 8 ").Colour(9).Text(" 9 ").Colour(kWhite);
  s.Text(" (8 is white again, 9 inverse cyan)\n\n");
  s.Text("The palette comes from the settings file, pal_0 to pal_7.");
  return s.At(kParkColumn, kFooterRow);
}

DemoStream CursorScreen() {
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
  s.At(0, 0)
      .Colour(kInverse + kWhite)
      .Text(Bar("2  Cursor moves and scrolling"));
  return s.Colour(kWhite).At(kParkColumn, kFooterRow);
}

DemoStream GraphicsScreen() {
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
      "Drawn above: a box, an inverted box, two discs, lines, two cut-corner\n"
      "frames, a fill, a bit pattern, the mouse pointer. Pixel queries "
      "answer:");
  return s;
}

DemoStream MouseScreen() {
  DemoStream s = PageHeader("4  Draw with the mouse");
  s.Line("Hold the left button and move: the device gets 5, buttons, x/2, y/2");
  s.Line("and draws lines there. The right button clears the picture.");
  return s.At(kParkColumn, kFooterRow);
}

DemoStream KeysScreen() {
  DemoStream s = PageHeader("6  Key codes");
  s.Line("Press keys: each byte the window sends is shown. Esc twice: menu.");
  return s.At(kParkColumn, kFooterRow);
}

DemoStream UploadScreen() {
  DemoStream s = PageHeader("u  Upload a program");
  s.Line("The simulator put a sample of every kind into its folder:");
  s.Text("\n");
  const char* rows[][2] = {
      {kBlinkBinaryName, "Propeller 1 image, loaded into RAM"},
      {kBlinkEepromName, "the same program as a full EEPROM image"},
      {kBlinkObjName, "typed into the Propeller 2 monitor (hub address E80)"},
      {kDemoTextName, "typed to the device line by line"}};
  for (const auto& row : rows) {
    char line[90];
    std::snprintf(line, sizeof line, "  %-14s %s\n", row[0], row[1]);
    s.Text(line);
  }
  s.Text("\n").Colour(kYellow).Line("File > Upload File, pick blink.binary");
  s.Colour(kWhite).Text(
      "with the type Propeller(.binary) chosen in the requester's list. The\n"
      "demo resets, takes the image through the boot protocol, reports its\n"
      "size and byte sum, and starts again. OBJ file(.obj) types blink.obj\n"
      "into the Propeller 2 monitor; Text(.txt) types demo.txt right here.\n"
      "Edited samples are kept: the simulator writes only missing ones.");
  // Keys are typed text here, so that a .txt upload shows as it arrives.
  std::string footer = "Esc: menu (other keys show below)";
  footer.resize(sizeof kFooter, ' ');
  s.At(0, kFooterRow).Colour(kGrey).Text(footer);
  s.At(0, 17).Text("Text typed to the device:").Colour(kWhite);
  return s.At(0, 18);
}

}  // namespace kestrix::sim
