#pragma once

#include <string>

namespace kestrix {

// Where a file's own name starts in a path: after the last separator of this
// platform (a backslash is part of a name on Linux), 0 when there is none.
std::size_t FileNameStart(const std::string& path);

// The folder part of a path, up to and including the last separator; empty
// when there is none.
std::string FolderPart(const std::string& path);

}  // namespace kestrix
