#pragma once

#include <string>

#include "core/Raster.h"
#include "loader/LoaderContext.h"
#include "loader/LoaderImage.h"
#include "settings/Settings.h"

namespace kestrix {

// What a lettered request works with, handed over with each request.
struct ServiceContext {
  const LoaderContext& loader;
  const Settings& settings;
  LoaderImage& loaderImage;
  const Raster& logo;
  // The file name the device printed just before the request.
  const std::string& screenText;
  // What the device printed before that: the content of a file to write.
  const std::string& previousText;
  // The file chosen with Upload File's Prepare kind; empty when none.
  const std::string& preparedFile;
};

// Carries out the device's lettered requests after a chunk is decoded. The
// decoder leaves twice the letter's code; a value that names no letter is
// dropped.
class ServiceDispatcher {
 public:
  void CarryOut(int request, const ServiceContext& context);

  // "b" and "e": upload a program file from the BinPath folder (RAM or
  // EEPROM follows from its name).
  void UploadProgram(const ServiceContext& context);
  // "t": type the named text file to the device.
  void SendTextFile(const ServiceContext& context);
  // "i": start the named program or open the named document on the PC.
  void LaunchOnPc(const ServiceContext& context);
  // "f": send the named file in acknowledged blocks.
  void SendFileBlocks(const ServiceContext& context);
  // "a": the same for the prepared file.
  void SendPreparedFileBlocks(const ServiceContext& context);
  // "o": the prepared file's size.
  void SendPreparedFileSize(const ServiceContext& context);
  // "s": write the named file on the PC with the text printed before.
  void WriteFileOnPc(const ServiceContext& context);
};

}  // namespace kestrix
