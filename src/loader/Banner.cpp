#include "loader/Banner.h"

#include <string>

#include "terminal/Painter.h"
#include "terminal/TerminalScreen.h"

namespace kestrix {

namespace {

constexpr int kBannerPauseMs = 2000;

// The first text row below the 85-pixel logo.
constexpr int kRowBelowLogo = 5;
// Device display mode: code 11 sets the cursor row.
constexpr char kSetRowBelowLogo[] = {11, kRowBelowLogo};
// A code both modes ignore: decoding it only shows the screen.
constexpr char kNoOperation[] = {2};

constexpr char kCreditLine[] =
    "Kestrix - terminal and loader for the Propeller";
constexpr char kOfferLine[] = "Ask for a customized version";
constexpr char kProductLine[] = "for your commercial product!";

}  // namespace

void ShowBanner(Decoder& decoder, const Raster& logo, const Settings& settings,
                Clock& clock) {
  if (decoder.HasWindow()) {
    // The cursor goes below the logo before the logo is drawn: the decoder
    // erases the cursor mark where the cursor stands, and at home that would
    // cut dots into the picture. The logo covers the mark left at home.
    TerminalScreen& screen = decoder.screen();
    screen.CursorColumn = 0;
    screen.CursorRow = kRowBelowLogo % screen.Rows;
    Painter painter(screen.image);
    painter.SetMode(DrawMode::kCopy);
    painter.Blit(logo, 0, 0, logo.width(), logo.height(), 0, 0);
    // Showing the screen takes a decoded byte. Normal-terminal mode has no
    // cursor addressing: 11 is ignored there and 5 would start an escape
    // command that takes its parameters from the port.
    if (settings.NormalTerminalFlag != 0) {
      decoder.PrintText(std::string_view(kNoOperation, 1));
    } else {
      decoder.PrintText(std::string_view(kSetRowBelowLogo, 2));
    }
  } else {
    const std::string lineEnd = settings.NormalTerminalFlag != 0 ? "\n" : "";
    decoder.PrintText(std::string(kCreditLine) + "\r" + lineEnd);
    decoder.PrintText(std::string(kOfferLine) + "\r" + lineEnd);
    decoder.PrintText(std::string(kProductLine) + "\r\r" + lineEnd);
  }
  clock.SleepMs(kBannerPauseMs);
}

}  // namespace kestrix
