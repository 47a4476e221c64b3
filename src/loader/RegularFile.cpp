#include "loader/RegularFile.h"

#include <system_error>

namespace kestrix {

bool IsRegularFile(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

}  // namespace kestrix
