#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "loader/TransferContext.h"
#include "services/TextFileSender.h"

namespace kestrix {

// The texts a lettered request refers to.
struct RequestNames {
  std::string ScreenText;    // the name the device printed
  std::string PreviousText;  // what it printed before (for "s")
  std::string BinPath;       // folder of program uploads
  std::string PreparedFile;  // empty until one is prepared
};

// Uploads a program file ("b", "e") through the program's upload driver.
using UploadProgram = std::function<void(const std::string& path)>;

// "o": the 4-byte answer for the prepared file: its size, -1 when there is
// none or it is missing (or unusable: not a plain file, 4 GiB or more), -2
// when it is a folder.
std::int32_t PreparedFileSizeAnswer(const std::string& preparedFile);

// "o": sends that answer, least significant byte first, in one write.
void SendPreparedFileSize(const std::string& preparedFile,
                          const TransferContext& context);

// "s": replaces the named file with exactly `text`; the old file stays whole
// when the new one cannot be written. Returns whether it was written.
bool WriteDeviceFile(const std::string& name, const std::string& text);

// Carries out the request whose value is twice a letter's code: "b" or "e",
// "t" (typed at `pace`), "i", "f", "a", "o", "s", tested in that order. Names that are empty
// or hold control characters are refused for "t", "i", "f" and "s". Returns
// the letter carried out, or 0 when the value names no letter or the request
// was refused.
char RunLetteredRequest(std::int32_t request, const RequestNames& names,
                        TypingPace pace, const TransferContext& context,
                        const UploadProgram& uploadProgram);

}  // namespace kestrix
