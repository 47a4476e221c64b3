#include "loader/Banner.h"

#include <string>

#include "terminal/TerminalScreen.h"

namespace kestrix {

namespace {

constexpr int kBannerPauseMs = 2000;

// Device display mode: code 11 sets the cursor row; row 5 is the first text
// row below the 85-pixel logo.
constexpr char kSetRowBelowLogo[] = {11, 5};
// Normal-terminal mode has no cursor addressing (11 is ignored there and 5
// would start an escape command that reads its parameters from the port), so
// five line feeds from the home position reach the same row.
constexpr char kFeedsBelowLogo[] = "\n\n\n\n\n";

constexpr char kCreditLine[] =
    "Kestrix - terminal and loader for the Propeller";
constexpr char kOfferLine[] = "Ask for a customized version";
constexpr char kProductLine[] = "for your commercial product!";

}  // namespace

void ShowBanner(Decoder& decoder, const Raster& logo, const Settings& settings,
                Clock& clock) {
  if (decoder.HasWindow()) {
    Painter painter(decoder.screen().image);
    painter.SetMode(DrawMode::kCopy);
    painter.Blit(logo, 0, 0, logo.width(), logo.height(), 0, 0);
    if (settings.NormalTerminalFlag != 0) {
      decoder.PrintText(kFeedsBelowLogo);
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
