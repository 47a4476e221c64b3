#include "core/AtomicFile.h"

#include <fstream>
#include <system_error>

namespace kestrix {

namespace fs = std::filesystem;

bool WriteFileAtomically(const fs::path& path, std::string_view bytes) {
  if (path.filename().empty()) return false;
  // Beside the target, so the rename stays on one file system and replaces
  // the target in one step.
  fs::path temporary = path;
  temporary += ".kestrix-tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      fs::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code error;
  const fs::file_status oldStatus = fs::status(path, error);
  if (!error && fs::is_regular_file(oldStatus)) {
    fs::permissions(temporary, oldStatus.permissions(), error);
  }
  error.clear();
  fs::rename(temporary, path, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return false;
  }
  return true;
}

}  // namespace kestrix
