// Reading an SMD file as a plain static triangle mesh: only the triangles' positions,
// normals, texture coordinates and texture names are used; the skeleton and the bones are
// passed over. The header, nodes and triangles are read by the same readers, with the same
// rules, as an SMD reference file's.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scene/read_result.h"
#include "scene/matrix.h"
#include "text/text_input.h"

namespace toravel {

struct StaticTriangle {
    // The corners in file order, converted: positions and normals as (x, z, -y), texture
    // coordinates as (u, 1 - v).
    std::array<Vector3, 3> cornerPositions;
    std::array<Vector3, 3> cornerNormals;
    std::array<Vector2, 3> cornerTexCoords;
};

struct StaticTriangleSet {
    std::vector<StaticTriangle> triangles;  // in file order
    // The distinct texture names, compared byte for byte, in the order of their first use.
    std::vector<std::string> materialNames;
    // Per triangle, the position of its texture name in `materialNames`.
    std::vector<int32_t> triangleMaterials;
};

// Reads SMD text into `set` (emptied first). Any violation of the format fails the read with
// "Invalid SMD file format" titled "Load Error", leaving the set empty.
bool ParseStaticSmd(TextInput& input, StaticTriangleSet& set, ReadReport& report);
bool ParseStaticSmd(std::string_view bytes, StaticTriangleSet& set, ReadReport& report);

}  // namespace toravel
