// Writing a file without ever destroying the one it replaces: the output goes to a temporary
// file beside the target, which is renamed over the target once it is complete.
#pragma once

#include <string>
#include <system_error>

namespace toravel {

// 0 when `path` does not exist or may be replaced (opening it for appending changes nothing
// in it); otherwise the errno of that open, never 0.
int ReplaceError(const std::string& path);

// A name beside `target` that no other file has.
std::string TemporaryPathFor(const std::string& target);

// Whether both paths name one existing file, compared by identity (device and inode, or the
// platform's equivalent), however each is spelt: through links, "./" or another folder.
bool IsSameFile(const std::string& a, const std::string& b);

// Renames the complete `temporary` over `target`; on failure removes `temporary` and returns
// the error.
std::error_code ReplaceWith(const std::string& temporary, const std::string& target);

}  // namespace toravel
