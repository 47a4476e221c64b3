#include "LogoArt.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "CoverageCanvas.h"

namespace kestrix::tools {
namespace {

constexpr int kSamples = 6;
constexpr double kPi = std::numbers::pi;

constexpr PaletteEntry kName{0xF6, 0xF1, 0xE6};
constexpr PaletteEntry kTagline{0x9C, 0xB4, 0xC4};

}  // namespace

bool InBlade(double x, double y, double angle) {
  // Blade coordinates: u along the blade, v across it.
  const double dx = x - kMarkX;
  const double dy = y - kMarkY;
  const double u = dx * std::cos(angle) + dy * std::sin(angle);
  double v = -dx * std::sin(angle) + dy * std::cos(angle);
  // Sweep the blade back as it leaves the hub, like a propeller in motion.
  v -= 0.02 * (u - 4.0) * (u - 4.0);
  const double a = (u - 13.5) / 11.5;
  // Full width towards the hub, narrowing to a rounded tip.
  const double halfWidth = 7.0 - 1.8 * std::max(0.0, a);
  const double b = v / halfWidth;
  return u > 2.0 && a * a + b * b <= 1.0;
}

double BladeAngle(int blade) { return -kPi / 2 + blade * 2 * kPi / 3 + 0.35; }

std::optional<IndexedImage> DrawLogo(const UnifontHex& font,
                                     std::string* error) {
  if (font.Find('K') == nullptr) {
    *error = "the font has no ASCII letters";
    return std::nullopt;
  }
  CoverageCanvas canvas(kLogoWidth, kLogoHeight, kSamples);
  const int amber = canvas.AddLayer(kAmber);
  const int rust = canvas.AddLayer(kRust);
  const int name = canvas.AddLayer(kName);
  const int tagline = canvas.AddLayer(kTagline);

  const double boxLeft = kMarkX - kRingOuter - 1;
  const double boxTop = kMarkY - kRingOuter - 1;
  const double boxRight = kMarkX + kRingOuter + 1;
  const double boxBottom = kMarkY + kRingOuter + 1;
  canvas.PaintShape(
      rust,
      [](double x, double y) {
        const double r = std::hypot(x - kMarkX, y - kMarkY);
        return r <= kRingOuter && r >= kRingInner;
      },
      boxLeft, boxTop, boxRight, boxBottom);
  for (int blade = 0; blade < kBlades; ++blade) {
    const double angle = BladeAngle(blade);
    canvas.PaintShape(
        amber, [angle](double x, double y) { return InBlade(x, y, angle); },
        boxLeft, boxTop, boxRight, boxBottom);
  }
  canvas.PaintShape(
      amber,
      [](double x, double y) {
        return std::hypot(x - kMarkX, y - kMarkY) <= kHubRadius;
      },
      boxLeft, boxTop, boxRight, boxBottom);
  canvas.ClearShape(
      [](double x, double y) {
        return std::hypot(x - kMarkX, y - kMarkY) <= kHubHoleRadius;
      },
      boxLeft, boxTop, boxRight, boxBottom);

  // The name in Unifont at three times its size, centred right of the mark.
  constexpr int kNameScale = 3;
  const char* const kProduct = "Kestrix";
  const int nameLeftMin = 66;
  const int nameWidth =
      canvas.DrawText(name, font, kProduct, 0, 0, kNameScale, true);
  const int nameLeft =
      nameLeftMin + (kLogoWidth - 3 - nameLeftMin - nameWidth) / 2;
  // Unifont capitals start on font row 4; put their tops at y 9.
  canvas.DrawText(name, font, kProduct, nameLeft, 9 - 4 * kNameScale,
                  kNameScale);

  // A rule under the name that tapers off to the right.
  canvas.PaintShape(
      rust,
      [nameLeft, nameWidth](double x, double y) {
        const double t = (x - nameLeft) / nameWidth;
        const double half = 1.3 * (1.0 - t);
        return t >= 0 && t <= 1 && std::abs(y - 49.0) <= half;
      },
      nameLeft, 46, nameLeft + nameWidth, 52);

  const char* const kOffer = "Customised versions on request";
  const int offerWidth = canvas.DrawText(tagline, font, kOffer, 0, 0, 1, true);
  // Font rows 4..15 hold the letters; put them near the bottom edge.
  canvas.DrawText(tagline, font, kOffer, (kLogoWidth - offerWidth) / 2,
                  kLogoHeight - 18, 1);
  return canvas.Resolve();
}

}  // namespace kestrix::tools
