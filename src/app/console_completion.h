// Completion for the shell's line editor: command names at the command prompt, file paths at
// the file prompts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace toravel {

// The short names and session words ("menu", "status", "help") that start with `prefix`,
// sorted.
std::vector<std::string> CompleteCommandName(std::string_view prefix);

// The entries of the folder that `prefix` names up to its last '/' whose names start with the
// rest, sorted, each as `prefix`'s folder part plus the name, with '/' after a folder. Hidden
// entries only when the rest starts with '.'.
std::vector<std::string> CompletePath(std::string_view prefix);

}  // namespace toravel
