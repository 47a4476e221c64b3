#pragma once

#include <filesystem>

namespace kestrix {

// Whether `path` names a plain file. Uploads, the monitor load and the
// device's transfers open nothing else: a FIFO or a device would block the
// open or the read for as long as nobody writes to it, or never end.
bool IsRegularFile(const std::filesystem::path& path);

}  // namespace kestrix
