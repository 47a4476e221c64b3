#pragma once

#include <filesystem>
#include <string_view>

namespace kestrix {

// Writes `bytes` to `path`, replacing the file. The bytes go to a temporary
// file beside it first, which is then renamed over the target (keeping the
// old file's access rights), so a failed write leaves any old file whole.
// Returns false when nothing was replaced.
bool WriteFileAtomically(const std::filesystem::path& path,
                         std::string_view bytes);

}  // namespace kestrix
