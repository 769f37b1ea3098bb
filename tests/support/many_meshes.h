// A generated SMD reference for the tests of the mesh-list limit: `owners` nodes each own one
// triangle linked to `links` bones whose names are `nameLength` bytes long, so that every
// mesh gets a weight list per bone, each with a copy of the bone's name.
#pragma once

#include <cstddef>
#include <string>

namespace toravel::testing {

// Built by appending piece by piece: GCC 12 warns falsely about "literal" + std::string.
inline std::string ManyMeshesManyBones(int owners, int links, size_t nameLength) {
    std::string text = "version 1\nnodes\n";
    for (int i = 0; i < owners; ++i) {
        std::string name = "b";
        name += std::to_string(i);
        name += '_';
        name.resize(nameLength, 'n');
        text += std::to_string(i);
        text += " \"";
        text += name;
        text += "\" ";
        text += std::to_string(i - 1);
        text += '\n';
    }
    text += "end\nskeleton\ntime 0\n";
    for (int i = 0; i < owners; ++i) {
        text += std::to_string(i);
        text += " 0 0 1 0 0 0\n";
    }
    text += "end\ntriangles\n";
    for (int t = 0; t < owners; ++t) {
        text += "t.bmp\n";
        for (int v = 0; v < 3; ++v) {
            text += std::to_string(t);
            text += " 0 ";
            text += std::to_string(v);
            text += " 0 0 0 1 0 0 ";
            text += std::to_string(links);
            for (int l = 0; l < links; ++l) {
                text += ' ';
                text += std::to_string((t + v * links + l) % owners);
                text += " 0";
            }
            text += '\n';
        }
    }
    text += "end\n";
    return text;
}

}  // namespace toravel::testing
