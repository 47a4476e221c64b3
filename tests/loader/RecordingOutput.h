#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/TextOutput.h"

namespace kestrix::test {

// Collects what the loader shows, in order; PrintText calls marked "text:".
class RecordingOutput : public TextOutput {
 public:
  std::vector<std::string> lines;

  void PrintText(std::string_view text) override {
    lines.push_back("text:" + std::string(text));
  }
  void PrintLine(std::string_view text) override { lines.emplace_back(text); }
  std::string_view LineFeed() const override { return "\n"; }

  bool HasScreen() const override { return false; }
  void ClearScreen() override {}
  void ShowPicture(const Raster&, int) override {}
};

}  // namespace kestrix::test
