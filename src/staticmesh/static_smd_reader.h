// Reading an SMD file as a plain static triangle mesh: only the triangles' positions,
// normals, texture coordinates and texture names are used; the skeleton and the bones are
// passed over. The header, nodes and triangles are read by the same readers, with the same
// rules, as an SMD reference file's.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/user_interaction.h"
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

// Reads the SMD file at `path` into `set` (emptied first). Shows "Invalid filename for SMD
// load" when the file cannot be opened and "Invalid SMD file format" for any violation of the
// format, both titled "Load Error", and returns false; true on success.
bool ParseStaticSmd(const std::string& path, StaticTriangleSet& set, UserInteraction& ui);

// The same for a file already in memory (the format checks and their message only).
bool ParseStaticSmd(TextInput& input, StaticTriangleSet& set, UserInteraction& ui);

}  // namespace toravel
