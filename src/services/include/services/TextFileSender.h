#pragma once

#include <filesystem>

#include "services/ServiceContext.h"

namespace kestrix {

// Types a text file to the device line by line: each line's characters, then
// one CR (no LF). CR, LF, CR LF, NUL and the end of the file end a line; a
// final line end adds no empty line. The device gets time per line (100 ms
// with the text cursor on, else 10 ms) and, while the OBJ kind is
// preselected, 1 ms per character. A file that cannot be opened, or is not
// a plain file, sends nothing; a port that fails ends the typing.
void SendTextFile(const std::filesystem::path& path, ServiceContext& context);

}  // namespace kestrix
