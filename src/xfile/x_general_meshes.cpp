// Mesh objects: vertices, faces of any number of corners (triangulated as fans), normals,
// texture coordinates, material lists with their materials in place or by reference, and
// skin weights. Every index is checked against the list it refers to.

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "xfile/x_general_parser.h"
#include "xfile/x_general_words.h"

namespace toravel {

namespace {

int32_t SizeOf(size_t size) {
    return size > static_cast<size_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(size);
}

// The largest number of bones that weight one vertex, and one triangle, for a mesh whose
// file gives no XSkinMeshHeader.
void ComputeSkinMaxima(MeshData& mesh) {
    const size_t vertices = mesh.positions.size();
    // Bones per vertex, as lists laid out one after another.
    std::vector<uint32_t> start(vertices + 1, 0);
    for (const BoneWeights& bone : mesh.boneWeights) {
        for (int32_t v : bone.vertexIndices) {
            ++start[static_cast<size_t>(v) + 1];
        }
    }
    uint32_t perVertex = 0;
    for (size_t v = 0; v < vertices; ++v) {
        perVertex = std::max(perVertex, start[v + 1]);
        start[v + 1] += start[v];
    }
    std::vector<uint32_t> bones(start[vertices]);
    std::vector<uint32_t> fill(start.begin(), start.end() - 1);
    for (size_t b = 0; b < mesh.boneWeights.size(); ++b) {
        for (int32_t v : mesh.boneWeights[b].vertexIndices) {
            bones[fill[static_cast<size_t>(v)]++] = static_cast<uint32_t>(b);
        }
    }
    size_t perFace = 0;
    std::vector<uint32_t> faceBones;
    for (size_t i = 0; i + 2 < mesh.faceIndices.size(); i += 3) {
        faceBones.clear();
        for (size_t k = 0; k < 3; ++k) {
            const auto v = static_cast<size_t>(mesh.faceIndices[i + k]);
            faceBones.insert(faceBones.end(), bones.begin() + start[v],
                             bones.begin() + start[v + 1]);
        }
        std::sort(faceBones.begin(), faceBones.end());
        perFace =
            std::max(perFace, static_cast<size_t>(std::unique(faceBones.begin(), faceBones.end()) -
                                                  faceBones.begin()));
    }
    mesh.maxWeightsPerVertex = SizeOf(perVertex);
    mesh.maxWeightsPerFace = SizeOf(perFace);
}

}  // namespace

int32_t XGeneralParser::ReadMesh(const Object& object) {
    Enter(object);
    const auto index = static_cast<int32_t>(out_.meshes.size());
    MeshData mesh;
    mesh.name = object.name;
    ReadPositions(mesh, object);
    Polygons polygons;
    ReadFaces(mesh, polygons, object);
    bool normals = false, texCoords = false, materials = false, skinHeader = false;
    for (;;) {
        const XToken token = lex_.Next();
        if (token.kind == XTokenKind::kCloseBrace) {
            break;
        }
        if (token.kind == XTokenKind::kOpenBrace) {
            ReadReference(object);
            Note("reference in Mesh", token.position);
            continue;
        }
        if (!IsIdentifier(token)) {
            Fail(token.position, "expected a data object or '}' in " + Describe(object) +
                                     ", found " + lex_.Describe(token));
        }
        const Object part = OpenObject(token);
        switch (XObjectKindOf(part.identifier)) {
            case XObjectKind::kMeshNormals:
                if (normals) {
                    SkipUnknown(part, "MeshNormals (a second set)");
                } else {
                    ReadMeshNormals(part, mesh, polygons);
                    normals = true;
                }
                break;
            case XObjectKind::kMeshTextureCoords:
                if (texCoords) {
                    SkipUnknown(part, "MeshTextureCoords (a second set)");
                } else {
                    ReadMeshTextureCoords(part, mesh);
                    texCoords = true;
                }
                break;
            case XObjectKind::kMeshMaterialList:
                if (materials) {
                    SkipUnknown(part, "MeshMaterialList (a second one)");
                } else {
                    ReadMeshMaterialList(part, mesh, index, polygons);
                    materials = true;
                }
                break;
            case XObjectKind::kXSkinMeshHeader:
                if (skinHeader) {
                    SkipUnknown(part, "XSkinMeshHeader (a second one)");
                } else {
                    ReadSkinMeshHeader(part, mesh);
                    skinHeader = true;
                }
                break;
            case XObjectKind::kSkinWeights:
                ReadSkinWeights(part, mesh);
                break;
            default:
                SkipUnknown(part);
        }
    }
    Leave();
    if (skinHeader && mesh.boneCount != SizeOf(mesh.boneWeights.size())) {
        Warn(object.position, Describe(object) + ": XSkinMeshHeader declares " +
                                  std::to_string(mesh.boneCount) + " bones, the mesh has " +
                                  std::to_string(mesh.boneWeights.size()) + " SkinWeights");
    }
    if (!skinHeader && !mesh.boneWeights.empty()) {
        ComputeSkinMaxima(mesh);
    }
    mesh.vertexCount = SizeOf(mesh.positions.size());
    mesh.faceCount = SizeOf(mesh.faceIndices.size() / 3);
    mesh.normalCount = SizeOf(mesh.normals.size());
    mesh.normalFaceCount = SizeOf(mesh.normalFaceIndices.size() / 3);
    mesh.texCoordCount = SizeOf(mesh.texCoords.size());
    mesh.materialCount = SizeOf(mesh.materials.size());
    mesh.faceMaterialCount = SizeOf(mesh.faceMaterials.size());
    mesh.boneCount = SizeOf(mesh.boneWeights.size());
    if (!mesh.name.empty()) {
        out_.meshByName.emplace(mesh.name, index);
    }
    out_.meshes.push_back(std::move(mesh));
    return index;
}

void XGeneralParser::ReadPositions(MeshData& mesh, const Object& object) {
    const int32_t count = Count(object, "the vertex count");
    Reserve(mesh.positions, static_cast<uint64_t>(count), 3);
    for (int32_t i = 0; i < count; ++i) {
        Vector3 v;
        v.x = Float(object, "a vertex coordinate");
        v.y = Float(object, "a vertex coordinate");
        v.z = Float(object, "a vertex coordinate");
        mesh.positions.push_back(v);
    }
}

void XGeneralParser::ReadFaces(MeshData& mesh, Polygons& polygons, const Object& object) {
    const int32_t count = Count(object, "the face count");
    polygons.faceCount = static_cast<uint32_t>(count);
    Reserve(mesh.faceIndices, static_cast<uint64_t>(count) * 3, 4);
    const auto vertices = static_cast<uint32_t>(mesh.positions.size());
    auto vertex = [&](int32_t face) {
        const uint32_t v = Dword(object, "a vertex index");
        if (v >= vertices) {
            Fail(lex_.Position(), "face " + std::to_string(face) + " of " + Describe(object) +
                                      " names vertex " + std::to_string(v) + ", but the mesh has " +
                                      std::to_string(vertices) + " vertices");
        }
        return static_cast<int32_t>(v);
    };
    for (int32_t f = 0; f < count; ++f) {
        const uint32_t corners = Dword(object, "the corner count of a face");
        if (corners < 3) {
            Fail(lex_.Position(), "face " + std::to_string(f) + " of " + Describe(object) +
                                      " has " + std::to_string(corners) +
                                      " corners; a face needs at least 3");
        }
        const int32_t first = vertex(f);
        int32_t previous = vertex(f);
        for (uint32_t k = 2; k < corners; ++k) {
            const int32_t next = vertex(f);
            mesh.faceIndices.insert(mesh.faceIndices.end(), {first, previous, next});
            previous = next;
        }
        if (corners != 3 && polygons.allTriangles) {
            polygons.corners.assign(static_cast<size_t>(f), 3);
            polygons.allTriangles = false;
        }
        if (!polygons.allTriangles) {
            polygons.corners.push_back(corners);
        }
    }
}

void XGeneralParser::ReadMeshNormals(const Object& object, MeshData& mesh,
                                     const Polygons& polygons) {
    Enter(object);
    const int32_t count = Count(object, "the normal count");
    Reserve(mesh.normals, static_cast<uint64_t>(count), 3);
    for (int32_t i = 0; i < count; ++i) {
        Vector3 n;
        n.x = Float(object, "a normal coordinate");
        n.y = Float(object, "a normal coordinate");
        n.z = Float(object, "a normal coordinate");
        mesh.normals.push_back(n);
    }
    const size_t at = lex_.Position();
    const int32_t faces = Count(object, "the face count");
    if (static_cast<uint32_t>(faces) != polygons.faceCount) {
        Fail(at, "MeshNormals of mesh '" + mesh.name + "' has " + std::to_string(faces) +
                     " faces, but the mesh has " + std::to_string(polygons.faceCount));
    }
    Reserve(mesh.normalFaceIndices, static_cast<uint64_t>(faces) * 3, 4);
    const auto normals = static_cast<uint32_t>(mesh.normals.size());
    auto normal = [&](int32_t face) {
        const uint32_t n = Dword(object, "a normal index");
        if (n >= normals) {
            Fail(lex_.Position(), "face " + std::to_string(face) + " of MeshNormals of mesh '" +
                                      mesh.name + "' names normal " + std::to_string(n) +
                                      ", but there are " + std::to_string(normals) + " normals");
        }
        return static_cast<int32_t>(n);
    };
    for (int32_t f = 0; f < faces; ++f) {
        const uint32_t corners = Dword(object, "the corner count of a face");
        const uint32_t expected = polygons.CornersOf(static_cast<uint32_t>(f));
        if (corners != expected) {
            Fail(lex_.Position(), "face " + std::to_string(f) + " of MeshNormals of mesh '" +
                                      mesh.name + "' has " + std::to_string(corners) +
                                      " corners, but the mesh's face has " +
                                      std::to_string(expected));
        }
        const int32_t first = normal(f);
        int32_t previous = normal(f);
        for (uint32_t k = 2; k < corners; ++k) {
            const int32_t next = normal(f);
            mesh.normalFaceIndices.insert(mesh.normalFaceIndices.end(), {first, previous, next});
            previous = next;
        }
    }
    CloseObject(object);
    Leave();
}

void XGeneralParser::ReadMeshTextureCoords(const Object& object, MeshData& mesh) {
    Enter(object);
    const int32_t count = Count(object, "the texture coordinate count");
    Reserve(mesh.texCoords, static_cast<uint64_t>(count), 2);
    for (int32_t i = 0; i < count; ++i) {
        Vector2 t;
        t.u = Float(object, "a texture coordinate");
        t.v = Float(object, "a texture coordinate");
        mesh.texCoords.push_back(t);
    }
    CloseObject(object);
    Leave();
    if (mesh.texCoords.size() != mesh.positions.size()) {
        Warn(object.position,
             "mesh '" + mesh.name + "' has " + std::to_string(mesh.texCoords.size()) +
                 " texture coordinates for " + std::to_string(mesh.positions.size()) + " vertices");
    }
}

void XGeneralParser::ReadMeshMaterialList(const Object& object, MeshData& mesh, int32_t meshIndex,
                                          const Polygons& polygons) {
    Enter(object);
    const int32_t declared = Count(object, "the material count");
    const int32_t count = Count(object, "the face material count");
    std::vector<uint32_t> perFace;
    Reserve(perFace, static_cast<uint64_t>(count), 1);
    for (int32_t i = 0; i < count; ++i) {
        perFace.push_back(Dword(object, "a face material index"));
    }
    for (;;) {
        const XToken token = lex_.Next();
        if (token.kind == XTokenKind::kCloseBrace) {
            break;
        }
        if (token.kind == XTokenKind::kOpenBrace) {
            const std::string_view name = ReadReference(object);
            if (name.empty()) {
                Fail(token.position, "a material reference in " + Describe(object) + " of mesh '" +
                                         mesh.name + "' names no material");
            }
            out_.materialRefs.push_back(
                {meshIndex, mesh.materials.size(), std::string(name), token.position});
            mesh.materials.emplace_back();
            continue;
        }
        if (!IsIdentifier(token)) {
            Fail(token.position, "expected a Material, a reference or '}' in " + Describe(object) +
                                     ", found " + lex_.Describe(token));
        }
        const Object part = OpenObject(token);
        if (XObjectKindOf(part.identifier) == XObjectKind::kMaterial) {
            mesh.materials.push_back(ReadMaterial(part));
            if (!part.name.empty()) {
                out_.materialByName.emplace(part.name, mesh.materials.back());
            }
        } else {
            SkipUnknown(part);
        }
    }
    Leave();
    const size_t materials = mesh.materials.size();
    if (materials != static_cast<size_t>(declared)) {
        Warn(object.position, "the material list of mesh '" + mesh.name + "' declares " +
                                  std::to_string(declared) + " materials and holds " +
                                  std::to_string(materials));
    }
    for (size_t f = 0; f < perFace.size(); ++f) {
        if (perFace[f] >= materials) {
            Fail(object.position, "face " + std::to_string(f) + " of mesh '" + mesh.name +
                                      "' uses material " + std::to_string(perFace[f]) +
                                      ", but its material list holds " + std::to_string(materials));
        }
    }
    // Writers may give fewer indices than faces (the last one then holds for the rest), or
    // none at all for a single material.
    const size_t faces = polygons.faceCount;
    if (perFace.size() != faces) {
        if (perFace.size() > faces) {
            perFace.resize(faces);
        } else if (!perFace.empty() || materials > 0) {
            perFace.resize(faces, perFace.empty() ? 0 : perFace.back());
        }
        Warn(object.position, "the material list of mesh '" + mesh.name + "' gives " +
                                  std::to_string(count) + " face materials for " +
                                  std::to_string(faces) + " faces");
    }
    mesh.faceMaterials.clear();
    mesh.faceMaterials.reserve(mesh.faceIndices.size() / 3);
    for (size_t f = 0; f < perFace.size(); ++f) {
        const uint32_t triangles = polygons.CornersOf(static_cast<uint32_t>(f)) - 2;
        mesh.faceMaterials.insert(mesh.faceMaterials.end(), triangles,
                                  static_cast<int32_t>(perFace[f]));
    }
}

MaterialData XGeneralParser::ReadMaterial(const Object& object) {
    Enter(object);
    MaterialData material;
    material.name = object.name;
    for (float& c : material.faceColour) {
        c = Float(object, "a face colour component");
    }
    material.power = Float(object, "the specular power");
    for (float& c : material.specularColour) {
        c = Float(object, "a specular colour component");
    }
    for (float& c : material.emissiveColour) {
        c = Float(object, "an emissive colour component");
    }
    bool texture = false;
    for (;;) {
        const XToken token = lex_.Next();
        if (token.kind == XTokenKind::kCloseBrace) {
            break;
        }
        if (token.kind == XTokenKind::kOpenBrace) {
            ReadReference(object);
            Note("reference in Material", token.position);
            continue;
        }
        if (!IsIdentifier(token)) {
            Fail(token.position, "expected a data object or '}' in " + Describe(object) +
                                     ", found " + lex_.Describe(token));
        }
        const Object part = OpenObject(token);
        if (XObjectKindOf(part.identifier) == XObjectKind::kTextureFilename && !texture) {
            Enter(part);
            material.textureFile = String(part, "the texture file name");
            CloseObject(part);
            Leave();
            texture = true;
        } else if (XObjectKindOf(part.identifier) == XObjectKind::kTextureFilename) {
            SkipUnknown(part, "TextureFilename (a second one)");
        } else {
            SkipUnknown(part);
        }
    }
    Leave();
    return material;
}

void XGeneralParser::ReadTopLevelMaterial(const Object& object) {
    MaterialData material = ReadMaterial(object);
    if (material.name.empty()) {
        Note("Material without a name at the top level", object.position);
        return;
    }
    out_.materialByName.emplace(material.name, std::move(material));
}

void XGeneralParser::ReadSkinMeshHeader(const Object& object, MeshData& mesh) {
    Enter(object);
    mesh.maxWeightsPerVertex = Count(object, "the largest number of weights per vertex");
    mesh.maxWeightsPerFace = Count(object, "the largest number of weights per face");
    mesh.boneCount = Count(object, "the bone count");
    CloseObject(object);
    Leave();
}

void XGeneralParser::ReadSkinWeights(const Object& object, MeshData& mesh) {
    Enter(object);
    BoneWeights bone;
    bone.boneName = String(object, "the name of the bone");
    const int32_t count = Count(object, "the weight count");
    const auto vertices = static_cast<uint32_t>(mesh.positions.size());
    Reserve(bone.vertexIndices, static_cast<uint64_t>(count), 1);
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t v = Dword(object, "a vertex index");
        if (v >= vertices) {
            Fail(lex_.Position(), "SkinWeights of bone '" + bone.boneName + "' names vertex " +
                                      std::to_string(v) + ", but mesh '" + mesh.name + "' has " +
                                      std::to_string(vertices) + " vertices");
        }
        bone.vertexIndices.push_back(static_cast<int32_t>(v));
    }
    Reserve(bone.weights, static_cast<uint64_t>(count), 1);
    for (int32_t i = 0; i < count; ++i) {
        bone.weights.push_back(Float(object, "a weight"));
    }
    ReadMatrix(bone.offsetMatrix, object, "an offset matrix entry");
    CloseObject(object);
    Leave();
    bone.weightCount = count;
    mesh.boneWeights.push_back(std::move(bone));
}

}  // namespace toravel
