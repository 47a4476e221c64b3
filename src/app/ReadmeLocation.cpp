#include "app/ReadmeLocation.h"

#include <system_error>
#include <vector>

namespace kestrix {

namespace {
constexpr char kReadme[] = "README.md";
}  // namespace

std::filesystem::path FindReadme(const std::filesystem::path& programFolder) {
  std::error_code error;
  std::filesystem::path folder =
      std::filesystem::weakly_canonical(programFolder, error);
  if (error) folder = programFolder;

  std::vector<std::filesystem::path> candidates = {
      folder / kReadme,
      folder.parent_path() / "share" / "doc" / "kestrix" / kReadme};
  for (std::filesystem::path up = folder.parent_path();
       !up.empty() && up != up.parent_path(); up = up.parent_path()) {
    candidates.push_back(up / kReadme);
  }
  for (const std::filesystem::path& candidate : candidates) {
    if (std::filesystem::is_regular_file(candidate, error)) return candidate;
  }
  return {};
}

}  // namespace kestrix
