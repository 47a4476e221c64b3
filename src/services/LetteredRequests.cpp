#include "services/LetteredRequests.h"

#include <system_error>

#include "core/AtomicFile.h"
#include "services/BinaryFileSender.h"
#include "services/DeviceFileNames.h"
#include "services/TextFileSender.h"

namespace kestrix {
namespace {

constexpr std::int32_t kNoFile = -1;
constexpr std::int32_t kFolder = -2;

bool Is(std::int32_t request, char letter) { return request == 2 * letter; }

}  // namespace

std::int32_t PreparedFileSizeAnswer(const std::string& preparedFile) {
  if (preparedFile.empty()) return kNoFile;
  std::error_code error;
  const auto status = std::filesystem::status(preparedFile, error);
  if (error) return kNoFile;
  if (std::filesystem::is_directory(status)) return kFolder;
  if (!std::filesystem::is_regular_file(status)) return kNoFile;
  const std::uintmax_t size = std::filesystem::file_size(preparedFile, error);
  // Sizes from 4 GiB on would arrive as their low 32 bits, a wrong size.
  if (error || size > kMaxTransferBytes) return kNoFile;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(size));
}

void SendPreparedFileSize(const std::string& preparedFile,
                          const TransferContext& context) {
  context.blocks.PutLong(
      static_cast<std::uint32_t>(PreparedFileSizeAnswer(preparedFile)));
  WriteRaw(context.port, context.blocks.OutBlock.data(), 4);
}

bool WriteDeviceFile(const std::string& name, const std::string& text) {
  return WriteFileAtomically(name, text);
}

char RunLetteredRequest(std::int32_t request, const RequestNames& names,
                        TypingPace pace, const TransferContext& context,
                        const UploadProgram& uploadProgram) {
  const std::string& name = names.ScreenText;
  const bool usable = IsUsableDeviceName(name);
  if (Is(request, 'b') || Is(request, 'e')) {
    if (uploadProgram) uploadProgram(names.BinPath + name);
    return static_cast<char>(request / 2);
  }
  if (Is(request, 't')) {
    if (!usable) return 0;
    SendTextFile(name, pace, context);
    return 't';
  }
  if (Is(request, 'i')) {
    if (!usable) return 0;
    // Handed to the desktop as one document name, never to a shell.
    context.host.OpenDocument(name);
    return 'i';
  }
  if (Is(request, 'f')) {
    if (!usable) return 0;
    SendBinaryFile(name, names.BinPath, context);
    return 'f';
  }
  if (Is(request, 'a')) {
    if (names.PreparedFile.empty()) return 0;
    SendBinaryFile(names.PreparedFile, names.BinPath, context);
    return 'a';
  }
  if (Is(request, 'o')) {
    SendPreparedFileSize(names.PreparedFile, context);
    return 'o';
  }
  if (Is(request, 's')) {
    if (!usable) return 0;
    WriteDeviceFile(name, names.PreviousText);
    return 's';
  }
  return 0;
}

}  // namespace kestrix
