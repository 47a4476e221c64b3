#pragma once

#include <filesystem>
#include <string_view>

namespace kestrix {

// The file a save really writes: a symbolic link is followed (link by link,
// also when its target does not exist yet), so the link stays and its target
// gets the new contents.
std::filesystem::path SaveTarget(const std::filesystem::path& path);

// Whether a save may replace `target`: a file that does not exist yet may be
// created; an existing one must be writable for us. A file whose write
// permission bits are all off counts as protected even for a user the system
// would let write it (root), since the user protected it on purpose.
bool MayReplace(const std::filesystem::path& target);

// Writes `bytes` to `path`, replacing the file. The bytes go to a temporary
// file beside the real target first, which is then renamed over it (keeping
// the old file's access rights), so a failed write leaves any old file whole.
// A protected target is left alone. Returns false when nothing was replaced.
bool WriteFileAtomically(const std::filesystem::path& path,
                         std::string_view bytes);

}  // namespace kestrix
