// A file's bytes exactly as stored: no line ends folded, nothing appended, for the readers of
// binary data.
#pragma once

#include <optional>
#include <string>

namespace toravel {

// The whole content of the file at `path`; nothing when it is no regular file or cannot be
// read.
std::optional<std::string> ReadFileBytes(const std::string& path);

}  // namespace toravel
