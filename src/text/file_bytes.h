// A file's bytes exactly as stored: no line ends folded, nothing appended, for the readers of
// binary data.
#pragma once

#include <optional>
#include <string>

namespace toravel {

// The whole content of the file at `path`; nothing when it is no regular file or cannot be
// read.
std::optional<std::string> ReadFileBytes(const std::string& path);

// Why the file at `path` cannot be opened for reading, in the system's words ("No such file
// or directory"), or that it is a folder; empty when it seems readable after all.
std::string OpenForReadingProblem(const std::string& path);

// Why a file cannot be created at `path`: a folder on the way is missing or is no folder, the
// folder cannot be written to, or the system's reason; empty when nothing stands in the way.
std::string CreateProblem(const std::string& path);

// The system's words for an errno value ("File too large", "No space left on device").
std::string SystemReason(int error);

}  // namespace toravel
