#include "settings/SettingsFile.h"

#include <charconv>
#include <cstddef>
#include <fstream>
#include <optional>
#include <string_view>
#include <system_error>

#include "core/AtomicFile.h"
#include "settings/IniFile.h"
#include "settings/Numbers.h"

namespace kestrix {
namespace {

constexpr std::string_view kBanner = "/* Kestrix Settings v0.5 */'";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kConfigGroup = "Config";
constexpr std::string_view kColorsGroup = "Colors";
constexpr std::string_view kColourKeyPrefix = "pal_";
constexpr std::size_t kColourDigits = 6;

std::string ColourKey(std::size_t index) {
  return std::string(kColourKeyPrefix) + std::to_string(index);
}

// Upper-case hexadecimal padded on the left to six digits; longer values keep
// their leading six digits.
std::string ColourDigits(std::uint32_t colour) {
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, colour, 16);
  std::string digits(buffer, result.ptr);
  for (char& c : digits) {
    if (c >= 'a' && c <= 'f') c -= 'a' - 'A';
  }
  if (digits.size() < kColourDigits) {
    digits.insert(0, kColourDigits - digits.size(), '0');
  }
  return digits.substr(0, kColourDigits);
}

// Six decimals as "%f" writes them, with a point whatever the locale.
std::string FixedSix(float value) {
  char buffer[400];  // "%f" of the largest double needs 316 characters
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                    std::chars_format::fixed, 6);
  return std::string(buffer, result.ptr);
}

// A CR, LF or NUL inside a text value would end its line early and let the
// rest be read as further keys; the reader could only ever return the part
// before it, so only that part is written.
std::string_view FirstLine(std::string_view text) {
  return text.substr(0, text.find_first_of(std::string_view("\r\n\0", 3)));
}

// A flag is on for any value but 0, so every reader of it agrees.
bool ReadFlag(const IniGroup& group, std::string_view key, bool absent) {
  return group.ReadInteger(key, absent ? 1 : 0) != 0;
}

}  // namespace

void LoadSettings(const std::filesystem::path& path, Settings& settings) {
  const std::optional<IniFile> file = IniFile::Load(path);
  if (!file) return;

  const IniGroup config = file->Group(kConfigGroup);
  settings.ComNr = config.ReadInteger("ComNr", settings.ComNr);
  settings.FT232R = ReadFlag(config, "FT232R", true);
  settings.UseRTS = ReadFlag(config, "UseRTS", false);
  settings.BinPath = config.ReadText("BinPath", settings.BinPath);
  settings.AutoDis = ReadFlag(config, "AutoDis", false);
  settings.VKeys = ReadFlag(config, "VKeys", false);
  settings.TxtCurs = ReadFlag(config, "TxtCurs", true);
  settings.MsMoveOff = ReadFlag(config, "MsMoveOff", true);
  settings.BaudRate = config.ReadInteger("BaudRate", 1);
  settings.CRmode = ReadFlag(config, "CRmode", false);
  settings.Rows = config.ReadInteger("Rows", 25);
  settings.Cols = config.ReadInteger("Cols", 80);
  settings.Autoload = config.ReadText("Autoload", "");
  settings.InversScreenshot = ReadFlag(config, "InversScreenshot", false);
  settings.WindowScale = config.ReadFloat("WindowScale", 1.0f);

  const IniGroup colours = file->Group(kColorsGroup);
  for (std::size_t i = 0; i < settings.palette.size(); ++i) {
    const std::string text = colours.ReadText(ColourKey(i), "");
    if (text.empty()) continue;
    // The first character is the writer's "#" and is dropped unseen.
    settings.palette[i] =
        static_cast<std::uint32_t>(HexValue(std::string_view(text).substr(1)));
  }
}

std::string FormatSettings(const Settings& settings) {
  std::string out;
  const auto line = [&out](std::string_view a, std::string_view b = {}) {
    out.append(a).append(b).append(kLineEnd);
  };
  const auto number = [&line](std::string_view key, int value) {
    line(key, std::to_string(value));
  };
  const auto flag = [&number](std::string_view key, bool on) {
    number(key, on ? 1 : 0);
  };
  line(kBanner);
  line("[" + std::string(kConfigGroup) + "]");
  number("ComNr=", settings.ComNr);
  flag("FT232R=", settings.FT232R);
  flag("UseRTS=", settings.UseRTS);
  line("BinPath=", FirstLine(settings.BinPath));
  flag("AutoDis=", settings.AutoDis);
  flag("VKeys=", settings.VKeys);
  flag("TxtCurs=", settings.TxtCurs);
  flag("MsMoveOff=", settings.MsMoveOff);
  number("BaudRate=", settings.BaudRate);
  flag("CRmode=", settings.CRmode);
  number("Rows=", settings.Rows);
  number("Cols=", settings.Cols);
  line("Autoload=");
  flag("InversScreenshot=", settings.InversScreenshot);
  line("WindowScale=", FixedSix(settings.WindowScale));
  line("[" + std::string(kColorsGroup) + "]");
  for (std::size_t i = 0; i < settings.palette.size(); ++i) {
    line(ColourKey(i) + "=#", ColourDigits(settings.palette[i]));
  }
  return out;
}

bool SaveSettings(const std::filesystem::path& path,
                  const Settings& settings) {
  return WriteFileAtomically(path, FormatSettings(settings));
}

}  // namespace kestrix
