// The invariants every successful read must leave in its records, checked after every load in
// the tests: counts equal to the sizes of their lists, every index inside the list it points
// into, parents linked exactly as their ids say, weights parallel to their vertex indices.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/node_ops.h"
#include "scene/records.h"

namespace toravel::testing {

inline void ExpectValidMesh(const MeshData& mesh, const std::string& where) {
    SCOPED_TRACE(where);
    EXPECT_EQ(static_cast<size_t>(mesh.vertexCount), mesh.positions.size());
    EXPECT_EQ(static_cast<size_t>(mesh.faceCount) * 3, mesh.faceIndices.size());
    EXPECT_EQ(static_cast<size_t>(mesh.normalCount), mesh.normals.size());
    EXPECT_EQ(static_cast<size_t>(mesh.normalFaceCount) * 3, mesh.normalFaceIndices.size());
    EXPECT_EQ(static_cast<size_t>(mesh.texCoordCount), mesh.texCoords.size());
    EXPECT_EQ(static_cast<size_t>(mesh.materialCount), mesh.materials.size());
    EXPECT_EQ(static_cast<size_t>(mesh.faceMaterialCount), mesh.faceMaterials.size());
    EXPECT_EQ(static_cast<size_t>(mesh.boneCount), mesh.boneWeights.size());
    for (const int32_t i : mesh.faceIndices) {
        EXPECT_TRUE(i >= 0 && static_cast<size_t>(i) < mesh.positions.size()) << "face index " << i;
    }
    for (const int32_t i : mesh.normalFaceIndices) {
        EXPECT_TRUE(i >= 0 && static_cast<size_t>(i) < mesh.normals.size()) << "normal index " << i;
    }
    for (const int32_t m : mesh.faceMaterials) {
        EXPECT_TRUE(m >= 0 && static_cast<size_t>(m) < mesh.materials.size()) << "material " << m;
    }
    for (const BoneWeights& bone : mesh.boneWeights) {
        EXPECT_EQ(static_cast<size_t>(bone.weightCount), bone.vertexIndices.size()) << bone.boneName;
        EXPECT_EQ(bone.vertexIndices.size(), bone.weights.size()) << bone.boneName;
        for (const int32_t v : bone.vertexIndices) {
            EXPECT_TRUE(v >= 0 && static_cast<size_t>(v) < mesh.positions.size())
                << bone.boneName << " weights vertex " << v;
        }
    }
}

// Nodes as a successful read leaves them. When `bonesNameNodes` is set, every bone of every
// mesh must name a node of the list (SMD reads guarantee it; X files may name other frames).
inline void ExpectValidScene(const NodeList& nodes, bool bonesNameNodes = true) {
    // Indexed lookups: the check runs after reads of 100,000-node chains too.
    const NodeIdIndex byId(nodes);
    const NodeNameIndex byName(nodes);
    for (size_t i = 0; i < nodes.size(); ++i) {
        const SceneNode& node = nodes[i];
        ExpectValidMesh(node.mesh, "mesh of " + node.name);
        // Each child's parent id names the first node with that id: the one it hangs under.
        for (NodeIndex c = node.firstChild; c != kNoNode; c = nodes[static_cast<size_t>(c)].nextSibling) {
            ASSERT_TRUE(c >= 0 && static_cast<size_t>(c) < nodes.size()) << "child link " << c;
            EXPECT_EQ(byId.Find(nodes[static_cast<size_t>(c)].parentId),
                      static_cast<NodeIndex>(i))
                << nodes[static_cast<size_t>(c)].name << " under " << node.name;
        }
        if (node.parentId >= 0) {
            EXPECT_NE(byId.Find(node.parentId), kNoNode) << node.name << "'s parent";
        }
        EXPECT_EQ(static_cast<size_t>(node.track.keyCount), node.track.keys.size()) << node.name;
        if (bonesNameNodes) {
            for (const BoneWeights& bone : node.mesh.boneWeights) {
                EXPECT_NE(byName.Find(bone.boneName), kNoNode) << bone.boneName;
            }
        }
    }
}

inline void ExpectValidSets(const std::vector<AnimSet>& sets) {
    for (const AnimSet& set : sets) {
        for (const NodeAnimation& animation : set.animations) {
            for (const KeyTrack& track : animation.tracks) {
                EXPECT_EQ(static_cast<size_t>(track.keyCount), track.keys.size())
                    << set.name << "/" << animation.name;
                for (const TimedKey& key : track.keys) {
                    if (!key.isMatrix) {
                        EXPECT_LE(key.values.size(), key.valueCount)
                            << set.name << "/" << animation.name;
                    }
                }
            }
        }
    }
}

}  // namespace toravel::testing
