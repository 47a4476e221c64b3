#include "loader/FileNames.h"

namespace kestrix {

namespace {
#ifdef _WIN32
// A drive letter's colon ends a folder part too: "C:prog.binary" is a file
// in drive C's current folder, and its folder part "C:" keeps it there.
constexpr char kSeparators[] = "\\/:";
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
