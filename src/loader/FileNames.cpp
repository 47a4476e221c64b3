#include "loader/FileNames.h"

namespace kestrix {

namespace {
#ifdef _WIN32
constexpr char kSeparators[] = "\\/";
#else
constexpr char kSeparators[] = "/";
#endif
}  // namespace

std::size_t FileNameStart(const std::string& path) {
  const std::size_t at = path.find_last_of(kSeparators);
  return at == std::string::npos ? 0 : at + 1;
}

std::string FolderPart(const std::string& path) {
  return path.substr(0, FileNameStart(path));
}

}  // namespace kestrix
