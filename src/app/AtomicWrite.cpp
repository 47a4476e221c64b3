#include "app/AtomicWrite.h"

#include <fstream>
#include <system_error>

namespace kestrix {

namespace fs = std::filesystem;

bool WriteFileAtomically(const fs::path& path, std::string_view bytes) {
  // Beside the target, so the rename stays on one file system.
  fs::path temporary = path;
  temporary += ".kestrix-tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      fs::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code error;
  fs::rename(temporary, path, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return false;
  }
  return true;
}

}  // namespace kestrix
