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
  const double half_width = 7.0 - 1.8 * std::max(0.0, a);
  const double b = v / half_width;
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

  const double box_left = kMarkX - kRingOuter - 1;
  const double box_top = kMarkY - kRingOuter - 1;
  const double box_right = kMarkX + kRingOuter + 1;
  const double box_bottom = kMarkY + kRingOuter + 1;
  canvas.PaintShape(
      rust,
      [](double x, double y) {
        const double r = std::hypot(x - kMarkX, y - kMarkY);
        return r <= kRingOuter && r >= kRingInner;
      },
      box_left, box_top, box_right, box_bottom);
  for (int blade = 0; blade < kBlades; ++blade) {
    const double angle = BladeAngle(blade);
    canvas.PaintShape(
        amber, [angle](double x, double y) { return InBlade(x, y, angle); },
        box_left, box_top, box_right, box_bottom);
  }
  canvas.PaintShape(
      amber,
      [](double x, double y) {
        return std::hypot(x - kMarkX, y - kMarkY) <= kHubRadius;
      },
      box_left, box_top, box_right, box_bottom);
  canvas.ClearShape(
      [](double x, double y) {
        return std::hypot(x - kMarkX, y - kMarkY) <= kHubHoleRadius;
      },
      box_left, box_top, box_right, box_bottom);

  // The name in Unifont at three times its size, centred right of the mark.
  constexpr int kNameScale = 3;
  const char* const kProduct = "Kestrix";
  const int name_left_min = 66;
  const int name_width =
      canvas.DrawText(name, font, kProduct, 0, 0, kNameScale, true);
  const int name_left =
      name_left_min + (kLogoWidth - 3 - name_left_min - name_width) / 2;
  // Unifont capitals start on font row 4; put their tops at y 9.
  canvas.DrawText(name, font, kProduct, name_left, 9 - 4 * kNameScale,
                  kNameScale);

  // A rule under the name that tapers off to the right.
  canvas.PaintShape(
      rust,
      [name_left, name_width](double x, double y) {
        const double t = (x - name_left) / name_width;
        const double half = 1.3 * (1.0 - t);
        return t >= 0 && t <= 1 && std::abs(y - 49.0) <= half;
      },
      name_left, 46, name_left + name_width, 52);

  const char* const kOffer = "Customised versions on request";
  const int offer_width = canvas.DrawText(tagline, font, kOffer, 0, 0, 1, true);
  // Font rows 4..15 hold the letters; put them near the bottom edge.
  canvas.DrawText(tagline, font, kOffer, (kLogoWidth - offer_width) / 2,
                  kLogoHeight - 18, 1);
  return canvas.Resolve();
}

}  // namespace kestrix::tools
