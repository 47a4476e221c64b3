#pragma once

#include <filesystem>

namespace kestrix {

// The project's README for the Website command, looked for beside the
// program, in the documentation folder of an installation
// (<prefix>/share/doc/kestrix beside <prefix>/bin), then in each folder above
// the program's (a build inside the source tree). Empty when none exists.
std::filesystem::path FindReadme(const std::filesystem::path& programFolder);

}  // namespace kestrix
