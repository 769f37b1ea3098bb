// Mesh blocks: the vertex and face lists, normals, texture coordinates and vertex
// duplication indices, and the dispatch of the material and skin blocks.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xfile/x_reader.h"

namespace toravel {

namespace {

// Makes every count equal to the size of its list, so that a mesh whose blocks repeat or
// whose header promised more than followed still writes a consistent file.
void MatchCountsToLists(MeshData& mesh) {
    mesh.vertexCount = CountOf(mesh.positions.size());
    mesh.faceCount = CountOf(mesh.faceIndices.size() / 3);
    mesh.normalCount = CountOf(mesh.normals.size());
    mesh.normalFaceCount = CountOf(mesh.normalFaceIndices.size() / 3);
    mesh.texCoordCount = CountOf(mesh.texCoords.size());
    mesh.materialCount = CountOf(mesh.materials.size());
    mesh.faceMaterialCount = CountOf(mesh.faceMaterials.size());
    mesh.boneCount = CountOf(mesh.boneWeights.size());
    for (BoneWeights& bone : mesh.boneWeights) {
        bone.weightCount = CountOf(bone.vertexIndices.size());
    }
}

std::string MeshName(const MeshData& mesh) {
    return mesh.name.empty() ? std::string("the unnamed mesh") : "mesh '" + mesh.name + "'";
}

struct OutOfRange {
    size_t at;  // the face, or the entry for lists of one per entry
    int32_t index;
};

std::optional<OutOfRange> FirstOutOfRange(const std::vector<int32_t>& indices, size_t size,
                                          size_t perEntry) {
    for (size_t i = 0; i < indices.size(); ++i) {
        if (indices[i] < 0 || static_cast<size_t>(indices[i]) >= size) {
            return OutOfRange{i / perEntry, indices[i]};
        }
    }
    return std::nullopt;
}

// Every index of the mesh against the list it points into, once the whole mesh block is
// read: a reference outside its list would be copied to the output, which no reader takes.
std::optional<std::string> CheckMeshIndices(const MeshData& mesh) {
    const std::string name = MeshName(mesh);
    // "Face 3 of mesh 'Body' names vertex 7, but mesh 'Body' has 4 vertices."
    auto text = [&name](std::string_view entry, const OutOfRange& bad, std::string_view where,
                        std::string_view item, std::string_view items, size_t size) {
        return std::string(entry) + " " + std::to_string(bad.at) + " of " + std::string(where) +
               " names " + std::string(item) + " " + std::to_string(bad.index) + ", but " + name +
               " has " + std::to_string(size) + " " + std::string(size == 1 ? item : items) + ".";
    };
    if (auto bad = FirstOutOfRange(mesh.faceIndices, mesh.positions.size(), 3)) {
        return text("Face", *bad, name, "vertex", "vertices", mesh.positions.size());
    }
    if (auto bad = FirstOutOfRange(mesh.normalFaceIndices, mesh.normals.size(), 3)) {
        return text("Face", *bad, "the MeshNormals of " + name, "normal", "normals",
                    mesh.normals.size());
    }
    if (auto bad = FirstOutOfRange(mesh.faceMaterials, mesh.materials.size(), 1)) {
        return text("Face", *bad, "the MeshMaterialList of " + name, "material", "materials",
                    mesh.materials.size());
    }
    for (const BoneWeights& bone : mesh.boneWeights) {
        if (auto bad = FirstOutOfRange(bone.vertexIndices, mesh.positions.size(), 1)) {
            return text("Weight", *bad, "the SkinWeights of bone '" + bone.boneName + "'", "vertex",
                        "vertices", mesh.positions.size());
        }
    }
    return std::nullopt;
}

}  // namespace

bool XReader::ReadMesh(MeshData& mesh) {
    std::string_view token = NextToken();
    if (token != "{") {
        mesh.name = token;
        token = NextToken();
    }
    if (token != "{") {
        return ReportExpectedOpen(token);
    }
    if (!ReadMeshLists(mesh)) {
        return false;
    }
    for (;;) {
        if (!input_.good()) {
            return false;  // the input ended inside the mesh: silent by design
        }
        size_t mark;
        token = PeekToken(mark);
        bool read = true;
        if (token == "}") {
            MatchCountsToLists(mesh);
            if (const std::optional<std::string> problem = CheckMeshIndices(mesh)) {
                return Fail(*problem);
            }
            return true;
        } else if (token == "MeshNormals") {
            HandBack(mark);
            read = ReadMeshNormals(mesh);
        } else if (token == "MeshTextureCoords") {
            HandBack(mark);
            read = ReadMeshTextureCoords(mesh);
        } else if (token == "MeshMaterialList") {
            HandBack(mark);
            read = ReadMeshMaterialList(mesh);
        } else if (token == "VertexDuplicationIndices") {
            HandBack(mark);
            read = ReadVertexDuplicationIndices();
        } else if (token == "XSkinMeshHeader") {
            HandBack(mark);
            read = ReadSkinMeshHeader(mesh);
        } else if (token == "SkinWeights") {
            HandBack(mark);
            read = ReadSkinWeights(mesh);
        }
        // Any other token is skipped.
        if (!read) {
            return false;
        }
    }
}

bool XReader::ReadVectorList(int32_t& count, std::vector<Vector3>& list, std::string_view what) {
    if (!ReadCount(count, what) || !ExpectWord(";", " semicolon following num vertices in mesh")) {
        return false;
    }
    for (int32_t i = 0; i < count; ++i) {
        Vector3 v;
        char separator;
        input_.ReadFloat(v.x);
        input_.ReadSeparator(separator);
        input_.ReadFloat(v.y);
        input_.ReadSeparator(separator);
        input_.ReadFloat(v.z);
        input_.ReadSeparator(separator);
        if (!ExpectListWord(i, count, "';' at end of vertices in mesh",
                            "',' at end of vertex in mesh")) {
            return false;
        }
        list.push_back(v);
    }
    return true;
}

bool XReader::ReadFaceList(int32_t& count, std::vector<int32_t>& indices, std::string_view what) {
    if (!ReadCount(count, what) || !ExpectWord(";", " semicolon following num faces in mesh")) {
        return false;
    }
    for (int32_t j = 0; j < count; ++j) {
        // The index count in front of each face is read and not used: faces are triangles.
        int32_t n = 0, a = 0, b = 0, c = 0;
        char separator;
        input_.ReadInt(n);
        input_.ReadSeparator(separator);
        input_.ReadInt(a);
        input_.ReadSeparator(separator);
        input_.ReadInt(b);
        input_.ReadSeparator(separator);
        input_.ReadInt(c);
        input_.ReadSeparator(separator);
        if (!ExpectListWord(j, count, "';' at end of face indices in mesh",
                            "',' at end of face indices in mesh")) {
            return false;
        }
        indices.insert(indices.end(), {a, b, c});
    }
    return true;
}

bool XReader::ReadMeshLists(MeshData& mesh) {
    return ReadVectorList(mesh.vertexCount, mesh.positions, "vertex count %d in mesh.") &&
           ReadFaceList(mesh.faceCount, mesh.faceIndices, "face count %d in mesh.");
}

bool XReader::ReadMeshNormals(MeshData& mesh) {
    if (!OpenBlock("MeshNormals", "MeshNormals token")) {
        return false;
    }
    if (!ReadVectorList(mesh.normalCount, mesh.normals, "normal count %d in mesh normals.") ||
        !ReadFaceList(mesh.normalFaceCount, mesh.normalFaceIndices,
                      "normal face count %d in mesh normals.")) {
        return false;
    }
    return CloseBlock();
}

bool XReader::ReadMeshTextureCoords(MeshData& mesh) {
    if (!OpenBlock("MeshTextureCoords", "MeshTextureCoords")) {
        return false;
    }
    if (!ReadCount(mesh.texCoordCount, "texture coordinate count %d in mesh.") ||
        !ExpectWord(";", "';' after num texture coords")) {
        return false;
    }
    for (int32_t i = 0; i < mesh.texCoordCount; ++i) {
        Vector2 t;
        char separator;
        input_.ReadFloat(t.u);
        input_.ReadSeparator(separator);
        input_.ReadFloat(t.v);
        input_.ReadSeparator(separator);
        if (!ExpectListWord(i, mesh.texCoordCount, "';' at end of tex coords",
                            "',' at end of tex coord")) {
            return false;
        }
        mesh.texCoords.push_back(t);
    }
    return CloseBlock();
}

bool XReader::ReadVertexDuplicationIndices() {
    if (!OpenBlock("VertexDuplicationIndices", "VertexDuplicationIndices")) {
        return false;
    }
    // The values are checked and not kept.
    uint32_t count = 0, originalVertices = 0;
    if (!ReadUnsignedCount(count, "index count %d in VertexDuplicationIndices.") ||
        !ExpectWord(";", "semicolon following nIndices in VertexDuplicationIndices") ||
        !ReadUnsignedCount(originalVertices,
                           "original vertex count %d in VertexDuplicationIndices.") ||
        !ExpectWord(";", "semicolon following nOriginalVertices in VertexDuplicationIndices")) {
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t index = 0;
        input_.ReadUnsigned(index);
        std::string_view word;
        input_.ReadWord(word);
        if (word != ";" && word != ",") {
            return ReportExpected("semicolon or comma in vertex duplication indices", word);
        }
    }
    return CloseBlock();
}

}  // namespace toravel
