#include "loader/Banner.h"

#include <string>

namespace kestrix {

namespace {

constexpr int kBannerPauseMs = 2000;

// The first text row below the 85-pixel logo.
constexpr int kRowBelowLogo = 5;

constexpr char kCreditLine[] =
    "Kestrix - terminal and loader for the Propeller";
constexpr char kOfferLine[] = "Ask for a customized version";
constexpr char kProductLine[] = "for your commercial product!";

}  // namespace

void ShowBanner(TextOutput& output, const Raster& logo, Clock& clock) {
  if (output.HasScreen()) {
    output.ShowPicture(logo, kRowBelowLogo);
  } else {
    // Each line in one piece, so a console shows it as one line.
    const std::string lineEnd(output.LineFeed());
    output.PrintText(std::string(kCreditLine) + "\r" + lineEnd);
    output.PrintText(std::string(kOfferLine) + "\r" + lineEnd);
    output.PrintText(std::string(kProductLine) + "\r\r" + lineEnd);
  }
  clock.SleepMs(kBannerPauseMs);
}

}  // namespace kestrix
