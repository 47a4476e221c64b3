#pragma once

#include <string>

#include "app/RunState.h"
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
// `line`, which the command re-clocks for uploads. Holds the loader's image.
class UploadCommands {
 public:
  UploadCommands(SerialLine& line, Engine& engine, const Raster& logo)
      : line_(line), engine_(engine), logo_(logo) {}
  UploadCommands(const UploadCommands&) = delete;
  UploadCommands& operator=(const UploadCommands&) = delete;

  // Asks for a file and hands it on by the kind chosen in the requester,
  // which the state remembers.
  void UploadFileCommand(const TransferContext& context, Settings& settings,
                         RunState& state);
  // Boots a Propeller 1 program file into the chip.
  void UploadProgram(const std::string& path, const TransferContext& context,
                     bool useRts);
  // Carries out a lettered request the decoder left (twice the letter's
  // code): `screenText` is the name the device printed, `previousText` what
  // it printed before.
  void CarryOutRequest(int request, const std::string& screenText,
                       const std::string& previousText,
                       const TransferContext& context,
                       const Settings& settings, RunState& state);

 private:
  SerialLine& line_;
  Engine& engine_;
  const Raster& logo_;
  LoaderImage image_{};
};

}  // namespace kestrix
