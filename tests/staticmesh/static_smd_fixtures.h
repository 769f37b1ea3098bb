// Static SMD files for the static mesh tests.
#pragma once

#include <string>
#include <vector>

namespace toravel::testing {

inline const std::string kStaticSmdHeader =
    "version 1\nnodes\n0 \"root\" -1\nend\nskeleton\ntime 0\n0 0 0 0 0 0 0\nend\ntriangles\n";

// A static SMD file of `count` triangles; triangle j uses texture j modulo the number of
// textures and lies apart from every other triangle.
inline std::string MakeStaticSmd(size_t count, const std::vector<std::string>& textures) {
    std::string text = kStaticSmdHeader;
    text.reserve(text.size() + count * 120);
    for (size_t j = 0; j < count; ++j) {
        text += textures[j % textures.size()];
        text += '\n';
        const std::string x = std::to_string(j % 200 * 3);
        const std::string y = std::to_string(j / 200 * 3);
        text += "0 " + x + " " + y + " 0 0 0 1 0 0\n";
        text += "0 " + x + ".5 " + y + " 0 0 0 1 1 0\n";
        text += "0 " + x + " " + y + ".5 0 0 0 1 0 1\n";
    }
    text += "end\n";
    return text;
}

}  // namespace toravel::testing
