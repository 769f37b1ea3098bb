// The static mesh export without a window: an SMD file in, a text X file out, through the
// portable mesh layer and the same commands as the menu.
#pragma once

#include <ostream>
#include <string>

namespace toravel {

// Loads `in` as a static mesh and exports it to `out` (when empty: `in` with the extension
// ".x"). An existing output is replaced only when `force` is set. Every message goes to
// `messages` in the command line's form, and, unless `quiet`, a summary line after success.
// Returns 0 when the file was written, 2 when the output is the input itself (nothing is
// read then), 1 otherwise.
int RunStaticExport(const std::string& in, const std::string& out, bool force,
                    std::ostream& messages, bool quiet = false);

}  // namespace toravel
