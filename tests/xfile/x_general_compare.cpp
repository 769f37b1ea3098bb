// Field-by-field comparison of what the general X reader produces.
#include <sstream>
#include <string>

#include "xfile/x_general_fixtures.h"

namespace toravel::testing {

namespace {

class Differ {
  public:
    std::string result;

    template <typename T>
    bool Same(const T& a, const T& b, const std::string& path) {
        if (!result.empty()) {
            return false;
        }
        if (!(a == b)) {
            std::ostringstream text;
            text << path;
            if constexpr (std::is_arithmetic_v<T> || std::is_same_v<T, std::string>) {
                text << ": " << a << " vs " << b;
            }
            result = text.str();
            return false;
        }
        return true;
    }

    template <typename T, typename F>
    void List(const std::vector<T>& a, const std::vector<T>& b, const std::string& path, F each) {
        if (!Same(a.size(), b.size(), path + ".size")) {
            return;
        }
        for (size_t i = 0; i < a.size() && result.empty(); ++i) {
            each(a[i], b[i], path + "[" + std::to_string(i) + "]");
        }
    }

    void Vector(const Vector3& a, const Vector3& b, const std::string& path) {
        Same(a.x, b.x, path + ".x");
        Same(a.y, b.y, path + ".y");
        Same(a.z, b.z, path + ".z");
    }

    void Matrix(const toravel::Matrix& a, const toravel::Matrix& b, const std::string& path) {
        for (size_t i = 0; i < 16; ++i) {
            Same(a.m[i], b.m[i], path + ".m[" + std::to_string(i) + "]");
        }
    }

    void Material(const MaterialData& a, const MaterialData& b, const std::string& p) {
        Same(a.name, b.name, p + ".name");
        for (size_t i = 0; i < 4; ++i) {
            Same(a.faceColour[i], b.faceColour[i], p + ".faceColour");
        }
        Same(a.power, b.power, p + ".power");
        for (size_t i = 0; i < 3; ++i) {
            Same(a.specularColour[i], b.specularColour[i], p + ".specularColour");
            Same(a.emissiveColour[i], b.emissiveColour[i], p + ".emissiveColour");
        }
        Same(a.textureFile, b.textureFile, p + ".textureFile");
    }

    void Mesh(const MeshData& a, const MeshData& b, const std::string& p) {
        Same(a.name, b.name, p + ".name");
        Same(a.vertexCount, b.vertexCount, p + ".vertexCount");
        Same(a.faceCount, b.faceCount, p + ".faceCount");
        Same(a.normalCount, b.normalCount, p + ".normalCount");
        Same(a.normalFaceCount, b.normalFaceCount, p + ".normalFaceCount");
        Same(a.texCoordCount, b.texCoordCount, p + ".texCoordCount");
        Same(a.materialCount, b.materialCount, p + ".materialCount");
        Same(a.faceMaterialCount, b.faceMaterialCount, p + ".faceMaterialCount");
        Same(a.maxWeightsPerVertex, b.maxWeightsPerVertex, p + ".maxWeightsPerVertex");
        Same(a.maxWeightsPerFace, b.maxWeightsPerFace, p + ".maxWeightsPerFace");
        Same(a.boneCount, b.boneCount, p + ".boneCount");
        List(a.positions, b.positions, p + ".positions",
             [&](auto& x, auto& y, auto q) { Vector(x, y, q); });
        Same(a.faceIndices, b.faceIndices, p + ".faceIndices");
        Same(a.normalFaceIndices, b.normalFaceIndices, p + ".normalFaceIndices");
        List(a.normals, b.normals, p + ".normals",
             [&](auto& x, auto& y, auto q) { Vector(x, y, q); });
        List(a.texCoords, b.texCoords, p + ".texCoords", [&](auto& x, auto& y, auto q) {
            Same(x.u, y.u, q + ".u");
            Same(x.v, y.v, q + ".v");
        });
        Same(a.faceMaterials, b.faceMaterials, p + ".faceMaterials");
        List(a.materials, b.materials, p + ".materials",
             [&](auto& x, auto& y, auto q) { Material(x, y, q); });
        List(a.boneWeights, b.boneWeights, p + ".boneWeights", [&](auto& x, auto& y, auto q) {
            Same(x.boneName, y.boneName, q + ".boneName");
            Same(x.weightCount, y.weightCount, q + ".weightCount");
            Same(x.vertexIndices, y.vertexIndices, q + ".vertexIndices");
            Same(x.weights, y.weights, q + ".weights");
            Matrix(x.offsetMatrix, y.offsetMatrix, q + ".offsetMatrix");
        });
    }

    void Track(const KeyTrack& a, const KeyTrack& b, const std::string& p) {
        Same(a.keyType, b.keyType, p + ".keyType");
        Same(a.keyCount, b.keyCount, p + ".keyCount");
        List(a.keys, b.keys, p + ".keys", [&](auto& x, auto& y, auto q) {
            Same(x.time, y.time, q + ".time");
            Same(x.valueCount, y.valueCount, q + ".valueCount");
            Same(x.values, y.values, q + ".values");
            Same(x.isMatrix, y.isMatrix, q + ".isMatrix");
            Matrix(x.matrix, y.matrix, q + ".matrix");
        });
    }

    void Sets(const std::vector<AnimSet>& a, const std::vector<AnimSet>& b) {
        List(a, b, "animSets", [&](auto& x, auto& y, auto q) {
            Same(x.name, y.name, q + ".name");
            List(x.animations, y.animations, q + ".animations", [&](auto& s, auto& t, auto r) {
                Same(s.name, t.name, r + ".name");
                List(s.tracks, t.tracks, r + ".tracks",
                     [&](auto& u, auto& v, auto w) { Track(u, v, w); });
            });
        });
    }

    void Nodes(const NodeList& a, const NodeList& b) {
        List(a, b, "frames", [&](auto& x, auto& y, auto p) {
            Same(x.id, y.id, p + ".id");
            Same(x.parentId, y.parentId, p + ".parentId");
            Same(x.name, y.name, p + ".name");
            Matrix(x.localMatrix, y.localMatrix, p + ".localMatrix");
            Same(x.firstChild, y.firstChild, p + ".firstChild");
            Same(x.nextSibling, y.nextSibling, p + ".nextSibling");
            Mesh(x.mesh, y.mesh, p + ".mesh");
            Track(x.track, y.track, p + ".track");
        });
    }
};

}  // namespace

XCounts CountsOf(const XGeneralContent& content) {
    XCounts counts;
    counts.frames = content.frames.size();
    for (const SceneNode& node : content.frames) {
        counts.triangles += static_cast<size_t>(node.mesh.faceCount);
        counts.bones += node.mesh.boneWeights.size();
    }
    counts.sets = content.animSets.size();
    return counts;
}

std::string FirstDifference(const XGeneralContent& a, const XGeneralContent& b) {
    Differ d;
    d.Nodes(a.frames, b.frames);
    d.Sets(a.animSets, b.animSets);
    d.Same(a.ticksPerSecond, b.ticksPerSecond, "ticksPerSecond");
    d.List(a.skipped, b.skipped, "skipped", [&](auto& x, auto& y, auto p) {
        d.Same(x.kind, y.kind, p + ".kind");
        d.Same(x.count, y.count, p + ".count");
    });
    return d.result;
}

std::string FirstDifference(const NodeList& a, const NodeList& b) {
    Differ d;
    d.Nodes(a, b);
    return d.result;
}

std::string FirstDifference(const std::vector<AnimSet>& a, const std::vector<AnimSet>& b) {
    Differ d;
    d.Sets(a, b);
    return d.result;
}

}  // namespace toravel::testing
