// The texts of the two dump questions of an X load, which name the files they write in the
// working folder.
#pragma once

#include <filesystem>
#include <string>

namespace toravel::testing {

inline std::string DumpTreeText() {
    return "Dump heirarchy to " + std::filesystem::absolute("dump.txt").string() + "?";
}

inline std::string QuickDumpText() {
    return "Quick Dump to " + std::filesystem::absolute("dump.x").string() + "?";
}

}  // namespace toravel::testing
