// The "triangles" section of an SMD reference file and the skin computations that follow it:
// materials per texture name, vertices with their bone weights, and the bone offset matrices.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scene/read_result.h"
#include "scene/records.h"
#include "text/line_tokenizer.h"
#include "text/text_input.h"

namespace toravel {

// One vertex line as written in the file, before any conversion.
struct SmdVertex {
    // A line of at most 1022 characters holds fewer than 256 links.
    static constexpr int32_t kMaxLinks = 256;
    struct Link {
        int32_t boneId = 0;
        float weight = 0;
    };

    int32_t boneId = 0;  // the owning bone: its node's mesh receives the triangle
    Vector3 position;
    Vector3 normal;
    Vector2 texCoord;
    int32_t linkCount = 0;      // 0 when the line has none
    bool tooManyLinks = false;  // the line asked for more than kMaxLinks: it cannot be read
    std::array<Link, kMaxLinks> links;
};

// The bytes that the materials and bone weight lists of all meshes (with their copies of the
// names) may take for an input of `inputBytes`, before the read fails.
int64_t SmdMeshListBudget(size_t inputBytes);

// Parses one vertex line: bone id, position, normal, u, v, then an optional link count and its
// (bone id, weight) pairs. A line that ends after v has no links; anything after the last link
// is ignored. False when one of the first nine numbers or a link is missing.
bool ParseVertexLine(std::string_view line, SmdVertex& vertex);

// Reads the next vertex line, skipping blank lines. False at the end of the input or when the
// line cannot be parsed.
bool ReadVertexLine(TextInput& input, SmdVertex& vertex);

// From the file's z-up space into the y-up space of the X file: (x, y, z) becomes (x, z, -y),
// and texture coordinates count v from the top.
inline Vector3 ToYUp(const Vector3& v) {
    return {v.x, v.z, -v.y};
}
inline Vector2 ToXTexCoord(const Vector2& t) {
    return {t.u, 1.0f - t.v};
}

// One triangle of the "triangles" section as written: its texture name, which is the rest of
// its line without surrounding blanks, and its three vertex lines.
struct SmdTriangle {
    std::string_view texture;
    SmdVertex vertices[3];
};

// What reading the next triangle found.
enum class TriangleRead {
    kTriangle,   // a whole triangle
    kEnd,        // the section's "end"
    kNoToken,    // the input ended or failed where a texture name should start
    kBadVertex,  // a vertex line is missing or cannot be parsed
};

// Reads the next triangle of the section, or its "end". The texture name is a view into the
// input's text. Every reader of triangles goes through here, so all read them alike.
TriangleRead ReadSmdTriangle(TextInput& input, LineTokenizer& tokenizer, SmdTriangle& triangle);

// The index of the first material of `mesh` with this texture file, appending a material with
// the SMD defaults when there is none.
int32_t FindOrAddMaterial(MeshData& mesh, std::string_view textureFile);

// Sets every bone's offsetMatrix to the inverse of its node's combinedMatrix, so that a vertex
// at the bind pose times offset times combined comes back to itself. Fails with a message
// titled "*** Internal Error ***" when a bone names no node.
bool ComputeOffsets(MeshData& mesh, const NodeList& list, ReadReport& report);

// How the "triangles" section of a large reference may be read on threads; the meshes, the
// warnings and any failure are the same whatever the settings.
struct TriangleThreads {
    unsigned threads = 1;
    size_t minBytes = size_t{4} << 20;  // a smaller rest of the file is read on one thread
};

// The "triangles" section up to its "end": each triangle goes into the mesh of the node that
// owns its first vertex. Then selects the skeleton root (the load requires one), computes the
// combined matrices from every root and the offsets of every mesh. Expects linked parents and
// fixed names. A link to an unknown bone is a warning, and the load goes on.
bool ReadTriangles(TextInput& input, LineTokenizer& tokenizer, NodeList& list, ReadReport& report,
                   const TriangleThreads& threads = {});

}  // namespace toravel
