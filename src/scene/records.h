// The records that hold a skeletal model in memory. They mirror the templates of the text
// X format so that every record can be written field by field in X order. All records are
// plain values: copies are deep, and a copied NodeList links to its own nodes because links
// are indices into the owning list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene/matrix.h"

namespace toravel {

// A link to another node of the same NodeList: its index, or kNoNode.
using NodeIndex = int32_t;
inline constexpr NodeIndex kNoNode = -1;

struct TimedKey {
    uint32_t time = 0;          // ticks; SMD keys carry the frame number times 1000
    uint32_t valueCount = 0;    // numbers in the key (16 for a matrix key)
    std::vector<float> values;  // used when isMatrix is false
    bool isMatrix = false;
    Matrix matrix;
};

struct KeyTrack {
    int32_t keyType = 0;  // 4: matrix keys
    int32_t keyCount = 0;
    std::vector<TimedKey> keys;
};

struct NodeAnimation {
    std::string name;  // the animated frame
    std::vector<KeyTrack> tracks;
};

struct AnimSet {
    std::string name;
    std::vector<NodeAnimation> animations;
};

struct MaterialData {
    std::string name;
    float faceColour[4] = {0, 0, 0, 0};  // red, green, blue, alpha
    float power = 0;
    float specularColour[3] = {0, 0, 0};
    float emissiveColour[3] = {0, 0, 0};
    std::string textureFile;
};

struct BoneWeights {
    std::string boneName;
    int32_t weightCount = 0;
    std::vector<int32_t> vertexIndices;
    std::vector<float> weights;  // parallel to vertexIndices, stored as read
    Matrix offsetMatrix;         // mesh space to bone space
};

struct MeshData {
    std::string name;
    int32_t vertexCount = 0;
    int32_t faceCount = 0;
    int32_t normalCount = 0;
    int32_t normalFaceCount = 0;
    int32_t texCoordCount = 0;
    int32_t materialCount = 0;
    int32_t faceMaterialCount = 0;
    int32_t maxWeightsPerVertex = 0;
    int32_t maxWeightsPerFace = 0;
    int32_t boneCount = 0;
    std::vector<Vector3> positions;
    std::vector<int32_t> faceIndices;        // three per face
    std::vector<int32_t> normalFaceIndices;  // three per face
    std::vector<Vector3> normals;
    std::vector<Vector2> texCoords;
    std::vector<int32_t> faceMaterials;
    std::vector<MaterialData> materials;
    std::vector<BoneWeights> boneWeights;

    bool HasMesh() const { return vertexCount > 0; }
};

struct SceneNode {
    int32_t id = -1;
    int32_t parentId = -2;  // -1: a root as read from the file; any negative value: no parent
    std::string name;
    Matrix localMatrix;     // bind pose relative to the parent
    Matrix combinedMatrix;  // model space: local times the ancestors' matrices
    NodeIndex nextSibling = kNoNode;
    NodeIndex firstChild = kNoNode;
    MeshData mesh;
    KeyTrack track;  // keys read from an SMD animation

    void Reset() { *this = SceneNode{}; }
};

using NodeList = std::vector<SceneNode>;

}  // namespace toravel
