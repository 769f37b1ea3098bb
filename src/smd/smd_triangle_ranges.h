// The "triangles" section of a large reference read on several threads: the section is cut
// into ranges at texture lines, each range is parsed on its own into plain records, and the
// records are handed out one range at a time in file order, so that the meshes can be filled
// exactly as one pass over the file fills them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "scene/node_ops.h"
#include "smd/smd_triangles.h"

namespace toravel {

// A link with its bone found: kNoNode for an unknown bone id.
struct RangeLink {
    NodeIndex bone = kNoNode;
    float weight = 0;
};

// One vertex line, parsed, with its owning node found; its links lie in the range's list of
// links, after those of the vertices before it.
struct RangeVertex {
    NodeIndex owner = kNoNode;
    Vector3 position;
    Vector3 normal;
    Vector2 texCoord;
    int32_t linkCount = 0;
};

struct RangeTriangle {
    std::string_view texture;
    RangeVertex vertices[3];
};

// The triangles of one range of the section, in file order.
struct TriangleRange {
    size_t begin = 0;  // where the range starts in the text: the start of a line
    std::vector<RangeTriangle> triangles;
    std::vector<RangeLink> links;
};

// Reads the section that starts at `begin` (the line after "triangles") of `text`, which ends
// with a line feed, on `threads` threads, finding the nodes of bone ids in `ids`, and calls `join`
// on the calling thread for every range in order. True with `endLine` at the start of the line of
// the section's "end" when every range parsed as one pass would parse it and every `join` returned
// true. False as soon as anything is uncertain or broken: the caller then reads the section again
// in one pass, which finds the exact message and place of any fault.
bool ReadTriangleRanges(std::string_view text, size_t begin, unsigned threads,
                        const NodeIdIndex& ids,
                        const std::function<bool(const TriangleRange&)>& join, size_t& endLine);

}  // namespace toravel
