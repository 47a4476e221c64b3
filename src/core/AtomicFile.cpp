#include "core/AtomicFile.h"

#include <fstream>
#include <system_error>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace kestrix {

namespace fs = std::filesystem;

namespace {

// Link chains longer than this are loops (the system's own limit is 40).
constexpr int kMaxLinks = 40;

bool SystemLetsUsWrite(const fs::path& target) {
#if defined(_WIN32)
  return ::_waccess(target.c_str(), 2) == 0;
#else
  return ::access(target.c_str(), W_OK) == 0;
#endif
}

}  // namespace

fs::path SaveTarget(const fs::path& path) {
  fs::path target = path;
  std::error_code error;
  for (int hops = 0; hops < kMaxLinks && fs::is_symlink(target, error);
       ++hops) {
    const fs::path next = fs::read_symlink(target, error);
    if (error) break;
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  return target;
}

bool MayReplace(const fs::path& target) {
  std::error_code error;
  const fs::file_status status = fs::status(target, error);
  if (status.type() == fs::file_type::not_found) return true;
  if (error) return false;
  constexpr fs::perms kAnyWrite =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  if ((status.permissions() & kAnyWrite) == fs::perms::none) return false;
  return SystemLetsUsWrite(target);
}

bool WriteFileAtomically(const fs::path& path, std::string_view bytes) {
  const fs::path target = SaveTarget(path);
  if (target.filename().empty() || !MayReplace(target)) return false;
  // Beside the target, so the rename stays on one file system and replaces
  // the target in one step.
  fs::path temporary = target;
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
  const fs::file_status oldStatus = fs::status(target, error);
  if (!error && fs::is_regular_file(oldStatus)) {
    fs::permissions(temporary, oldStatus.permissions(), error);
  }
  error.clear();
  fs::rename(temporary, target, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return false;
  }
  return true;
}

}  // namespace kestrix
