// A file's bytes exactly as stored: no line ends folded, nothing appended, for the readers of
// binary data.
#pragma once

#include <optional>
#include <string>

namespace toravel {

// The largest file that Toravel reads: the readers keep a whole input in memory.
constexpr unsigned long long kMaxInputBytes = 1ull << 31;

// The whole content of the file at `path`; nothing when it is no regular file, is larger than
// kMaxInputBytes or cannot be read. The file is opened once without waiting (a FIFO without a
// writer cannot hang the read) and checked through the open descriptor, so what is read is
// the regular file that was checked; a file that shrinks or grows meanwhile gives what could
// be read, within the limit. `spare` more bytes of room are reserved after the content, for a
// caller that appends to it.
std::optional<std::string> ReadFileBytes(const std::string& path, size_t spare = 0);

// Whether the file at `path` exists and can be opened for reading, without waiting on a FIFO.
bool OpensForReading(const std::string& path);

// Why the file at `path` cannot be opened for reading, in the system's words ("No such file
// or directory"), that it is a folder or no regular file, or that it is larger than
// kMaxInputBytes; empty when it seems readable after all.
std::string OpenForReadingProblem(const std::string& path);

// Why a file cannot be created at `path`: a folder on the way is missing or is no folder, the
// folder cannot be written to, or the system's reason; empty when nothing stands in the way.
std::string CreateProblem(const std::string& path);

// The system's words for an errno value ("File too large", "No space left on device").
std::string SystemReason(int error);

}  // namespace toravel
