#pragma once

#include <cstdint>
#include <string>

#include "core/Raster.h"
#include "core/SerialLine.h"
#include "loader/LoaderImage.h"
#include "loader/TransferContext.h"
#include "settings/Settings.h"
#include "terminal/Engine.h"

namespace kestrix {

// The Upload File command, the uploads of program files it shares with
// start-up's autoload, and the device's lettered requests, which use the
// same files: the BinPath folder, the prepared file (kept by the engine,
// whose block reads use it) and the remembered kind. The context's port is
// `line`, which the command re-clocks for uploads.
class UploadCommands {
 public:
  UploadCommands(SerialLine& line, const TransferContext& context,
                 Settings& settings, LoaderImage& image, const Raster& logo,
                 Engine& engine);
  UploadCommands(const UploadCommands&) = delete;
  UploadCommands& operator=(const UploadCommands&) = delete;

  // Asks for a file and hands it on by the kind chosen in the requester.
  void UploadFileCommand();
  // Boots a Propeller 1 program file into the chip.
  void UploadProgram(const std::string& path);
  // Carries out a lettered request the decoder left (twice the letter's
  // code): `screenText` is the name the device printed, `previousText` what
  // it printed before.
  void CarryOutRequest(int request, const std::string& screenText,
                       const std::string& previousText);

  // The kind the requester preselects next time.
  int PatternIndex() const { return patternIndex_; }

 private:
  // Mouse reports stay held back while a transfer owns the line, so that
  // none interleaves with its bytes, and then follow the Normal-Terminal
  // Mode state again.
  void HoldBackMouseReports() { settings_.MsMoveOff = true; }
  void GiveBackMouseReports() {
    settings_.MsMoveOff = settings_.NormalTerminalFlag;
  }

  SerialLine& line_;
  TransferContext context_;
  Settings& settings_;
  LoaderImage& image_;
  const Raster& logo_;
  Engine& engine_;
  int patternIndex_ = 3;
};

}  // namespace kestrix
