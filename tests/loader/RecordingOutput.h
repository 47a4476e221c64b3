#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "terminal/TextOutput.h"

namespace kestrix::test {

// Collects what the loader shows. Lines keep the "line:" / "text:" kind so a
// test can tell a PrintLine from a PrintText of the same words.
class RecordingOutput : public TextOutput {
 public:
  std::vector<std::string> calls;

  void PrintText(std::string_view text) override {
    calls.push_back("text:" + std::string(text));
  }
  void PrintLine(std::string_view text) override {
    calls.push_back("line:" + std::string(text));
  }

  // Just the PrintLine texts, in order.
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    for (const auto& c : calls) {
      if (c.rfind("line:", 0) == 0) lines.push_back(c.substr(5));
    }
    return lines;
  }
};

}  // namespace kestrix::test
