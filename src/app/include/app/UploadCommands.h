#pragma once

#include <cstdint>
#include <string>

#include "core/Raster.h"
#include "core/SerialLine.h"
#include "loader/LoaderContext.h"
#include "loader/LoaderImage.h"
#include "settings/Settings.h"

namespace kestrix {

// The Upload File command and the uploads of program files it shares with
// start-up's autoload. The context's port is `line`, which the command
// re-clocks for uploads.
class UploadCommands {
 public:
  UploadCommands(SerialLine& line, const LoaderContext& context,
                 Settings& settings, LoaderImage& image, const Raster& logo)
      : line_(line),
        context_(context),
        settings_(settings),
        image_(image),
        logo_(logo) {}

  // Asks for a file and hands it on by the kind chosen in the requester.
  void UploadFileCommand();
  // Boots a Propeller 1 program file into the chip.
  void UploadProgram(const std::string& path);

  // The kind the requester preselects next time.
  int PatternIndex() const { return patternIndex_; }
  // The file the device reads by request, chosen with "Prepare".
  const std::string& PreparedFile() const { return preparedFile_; }

 private:
  // Types an object file into a Propeller 2's monitor from hubAddress on.
  void MonitorLoad(const std::string& path, std::int32_t hubAddress);
  // Types a text file to the device line by line.
  void SendTextFile(const std::string& path);

  SerialLine& line_;
  LoaderContext context_;
  Settings& settings_;
  LoaderImage& image_;
  const Raster& logo_;
  std::string preparedFile_;
  int patternIndex_ = 3;
};

}  // namespace kestrix
