#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/MenuIds.h"
#include "app/Program.h"
#include "support/FakeSerialLine.h"
#include "support/FakeView.h"
#include "support/ScriptedHost.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"
#include "terminal/EmbeddedImages.h"

namespace kestrix::test {

using Lines = std::vector<std::string>;

// The program in window mode on doubles sharing one log; COM6 and COM7 exist,
// the working folder is fresh.
class ProgramRig {
 public:
  explicit ProgramRig(std::vector<std::string> args = {}) {
    auto [loaded, error] = LoadEmbeddedImages();
    EXPECT_TRUE(loaded.has_value()) << error;
    if (loaded) images = std::move(*loaded);
    port.existingPorts = {6, 7};
    program = std::make_unique<Program>(
        ProgramServices{port, clock, host, images, folder},
        ParseCommandLine(args));
  }
  void Start() {
    program->LoadStartupSettings();
    program->AttachWindow(view, view);
    program->ConnectAtStartup();
  }
  std::string PathOf(const std::string& name) const {
    return (folder / name).string();
  }
  // The device sends `bytes`; one loop turn reads and decodes them.
  void Show(const std::string& bytes) {
    port.Feed(bytes);
    program->AfterEvent(false);
  }
  // Loads an ini with these lines below "[Config]" through Load Settings.
  void LoadSettingsLines(const std::string& lines) {
    temp.Write("load.ini", "[Config]\r\n" + lines);
    host.openAnswers.push_back({PathOf("load.ini"), 0});
    Menu(kMenuLoadSettings);
  }
  // The log entries starting with `who` ("port", "host box"), without it.
  Lines Of(const std::string& who) const {
    Lines out;
    for (const auto& e : log) {
      if (e.rfind(who, 0) == 0)
        out.push_back(e.substr(std::min(e.size(), who.size() + 1)));
    }
    return out;
  }
  void Menu(int id) { program->OnMenuCommand(id); }
  Program& p() { return *program; }
  const Settings& settings() { return program->settings(); }

  Lines log;
  TempFolder temp;
  std::filesystem::path folder = temp.path();
  FakeSerialLine port{log};
  VirtualClock clock;
  ScriptedHost host{log};
  EmbeddedImages images;
  FakeView view{log};
  std::unique_ptr<Program> program;
};

// Tests on a started program, with the start-up's log cleared.
class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig_.Start();
    rig_.log.clear();
  }
  ProgramRig rig_;
};

}  // namespace kestrix::test
