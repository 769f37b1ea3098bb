#include "smd/smd_triangles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "scene/node_ops.h"
#include "smd/smd_reader.h"
#include "support/many_meshes.h"
#include "support/read_expectations.h"
#include "support/scene_invariants.h"

namespace toravel {
namespace {

using testing::FailureOf;
using testing::WarningsOf;

TEST(ParseVertexLine, LayoutsAndMissingNumbers) {
    struct Case {
        const char* line;
        bool ok;
        int32_t linkCount;
    };
    const Case cases[] = {
        {"0 1 2 3 0 0 1 0.5 0.25", true, 0},       // older layout: no links
        {"0 1 2 3 0 0 1 0.5 0.25 0", true, 0},     // explicit zero links
        {"0 1 2 3 0 0 1 0.5 0.25 -3", true, 0},    // a negative count: none
        {"0 1 2 3 0 0 1 0.5 0.25 word", true, 0},  // not a count: ignored
        {"\t0  1 2 3 0 0 1 0.5 0.25 1 4 1.0", true, 1},
        {"0 1 2 3 0 0 1 0.5 0.25 2 4 0.75 5 0.25 9 9 9", true, 2},  // surplus ignored
        {"0 1 2 3 0 0 1 0.5", false, 0},                            // v missing
        {"0 1 2 3 0 0 1 0.5 x", false, 0},
        {"bone 1 2 3 0 0 1 0.5 0.25", false, 0},
        {"", false, 0},
        {"0 1 2 3 0 0 1 0.5 0.25 2 4 0.75", false, 0},  // second link missing
        {"0 1 2 3 0 0 1 0.5 0.25 1 4", false, 0},       // weight missing
        {"0 1 2 3 0 0 1 0.5 0.25 300 1 1", false, 0},   // more links than a line holds
        {"0 1 2 3 0 0 1 0.5 0.25 99999999999", false, 0},
    };
    for (const Case& c : cases) {
        SmdVertex v;
        EXPECT_EQ(ParseVertexLine(c.line, v), c.ok) << c.line;
        if (c.ok) {
            EXPECT_EQ(v.linkCount, c.linkCount) << c.line;
            EXPECT_EQ(v.position, (Vector3{1, 2, 3})) << c.line;
            EXPECT_EQ(v.texCoord, (Vector2{0.5f, 0.25f})) << c.line;
        }
    }
    SmdVertex v;
    ASSERT_TRUE(ParseVertexLine("7 1 2 3 4 5 6 7 8 2 4 0.75 5 0.25", v));
    EXPECT_EQ(v.boneId, 7);
    EXPECT_EQ(v.normal, (Vector3{4, 5, 6}));
    EXPECT_EQ(v.links[0].boneId, 4);
    EXPECT_EQ(v.links[0].weight, 0.75f);
    EXPECT_EQ(v.links[1].boneId, 5);
    EXPECT_EQ(v.links[1].weight, 0.25f);
}

TEST(FindOrAddMaterial, OneMaterialPerTextureWithSmdDefaults) {
    MeshData mesh;
    EXPECT_EQ(FindOrAddMaterial(mesh, "a.bmp"), 0);
    EXPECT_EQ(FindOrAddMaterial(mesh, "b.bmp"), 1);
    EXPECT_EQ(FindOrAddMaterial(mesh, "a.bmp"), 0);
    EXPECT_EQ(FindOrAddMaterial(mesh, "A.bmp"), 2) << "names compare case-sensitively";
    EXPECT_EQ(mesh.materialCount, 3);
    const MaterialData& m = mesh.materials[1];
    EXPECT_EQ(m.name, "");
    EXPECT_EQ(m.textureFile, "b.bmp");
    EXPECT_EQ(m.faceColour[0], 0.8f);
    EXPECT_EQ(m.faceColour[1], 0.8f);
    EXPECT_EQ(m.faceColour[2], 0.8f);
    EXPECT_EQ(m.faceColour[3], 1.0f);
    EXPECT_EQ(m.power, 50.0f);
    EXPECT_EQ(m.specularColour[0], 1.0f);
    EXPECT_EQ(m.specularColour[2], 1.0f);
    EXPECT_EQ(m.emissiveColour[1], 0.0f);
}

TEST(ComputeOffsets, UnknownBoneIsAnInternalError) {
    NodeList list(1);
    list[0].name = "root";
    MeshData mesh;
    mesh.boneWeights.resize(2);
    mesh.boneWeights[0].boneName = "root";
    mesh.boneWeights[1].boneName = "ghost";
    ReadReport report;
    EXPECT_FALSE(ComputeOffsets(mesh, list, report));
    EXPECT_EQ(FailureOf(report),
              "*** Internal Error ***: Bone Weight ghost not found in nodes array.");
}

// A skeleton root "root" (0) with child "pelvis" (1, child of the node numbered 0), its child
// "spine" (2), and a separate root "mesh" (3) without children.
const char* const kHead =
    "version 1\n"
    "nodes\n"
    "0 root -1\n"
    "1 pelvis 0\n"
    "2 spine 1\n"
    "3 mesh -1\n"
    "end\n"
    "skeleton\n"
    "time 0\n"
    "0 1 2 3 0.1 0.2 0.3\n"
    "1 0 4 0 0.5 -0.25 1.0\n"
    "2 0 0 6 -0.7 0.3 0.2\n"
    "3 10 0 0 0 0 0.4\n"
    "end\n";

NodeList LoadOk(const std::string& text) {
    SmdReadResult read = ReadSmdReference(text);
    EXPECT_TRUE(read.ok()) << FailureOf(read.report);
    EXPECT_TRUE(read.report.warnings().empty());
    testing::ExpectValidScene(read.nodes);
    return std::move(read.nodes);
}

const BoneWeights* FindWeights(const MeshData& mesh, std::string_view bone) {
    for (const BoneWeights& w : mesh.boneWeights) {
        if (w.boneName == bone) {
            return &w;
        }
    }
    return nullptr;
}

TEST(ReadTriangles, VertexConversionAndMaterialsPerTexture) {
    const NodeList nodes = LoadOk(std::string(kHead) +
                                  "triangles\n"
                                  "a.bmp\n"
                                  "3 1 2 3 0 1 0 0.25 0.75 1 3 1\n"
                                  "3 0 0 0 0 0 1 0 0 1 3 1\n"
                                  "3 0 0 0 0 0 1 0 0 1 3 1\n"
                                  "a.bmp\n"
                                  "3 0 0 0 0 0 1 0 0 1 3 1\n"
                                  "3 0 0 0 0 0 1 0 0 1 3 1\n"
                                  "3 0 0 0 0 0 1 0 0 1 3 1\n"
                                  "grenade s.bmp  \t\n"
                                  "3 0 0 0 0 0 1 0 0 1 3 1\n"
                                  "3 0 0 0 0 0 1 0 0 1 3 1\n"
                                  "3 0 0 0 0 0 1 0 0 1 3 1\n"
                                  "end\n");
    const MeshData& mesh = nodes[3].mesh;
    EXPECT_EQ(mesh.positions[0], (Vector3{1, 3, -2}));
    EXPECT_EQ(mesh.normals[0], (Vector3{0, 0, -1}));
    EXPECT_EQ(mesh.texCoords[0], (Vector2{0.25f, 0.25f}));
    EXPECT_EQ(mesh.vertexCount, 9);
    EXPECT_EQ(mesh.normalCount, 9);
    EXPECT_EQ(mesh.texCoordCount, 9);
    EXPECT_EQ(mesh.faceCount, 3);
    EXPECT_EQ(mesh.normalFaceCount, 3);
    EXPECT_EQ(mesh.faceIndices, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(mesh.normalFaceIndices, mesh.faceIndices);
    EXPECT_EQ(mesh.faceMaterials, (std::vector<int32_t>{0, 0, 1}));
    EXPECT_EQ(mesh.faceMaterialCount, 3);
    ASSERT_EQ(mesh.materialCount, 2);
    EXPECT_EQ(mesh.materials[1].textureFile, "grenade s.bmp");
    EXPECT_FALSE(nodes[0].mesh.HasMesh());
}

TEST(ReadTriangles, WeightsLinksAndVerticesWithoutLinks) {
    const NodeList nodes = LoadOk(std::string(kHead) +
                                  "triangles\n"
                                  "skin.bmp\n"
                                  "3 0 0 0 0 0 1 0 0 3 0 0.5 1 0.3 2 0.3\n"
                                  "3 0 0 0 0 0 1 0 0\n"
                                  "3 0 0 0 0 0 1 0 0 0\n"
                                  "end\n");
    const MeshData& mesh = nodes[3].mesh;
    EXPECT_EQ(mesh.maxWeightsPerVertex, 3);
    EXPECT_EQ(mesh.maxWeightsPerFace, 9);
    EXPECT_EQ(mesh.boneCount, 4);
    ASSERT_EQ(mesh.boneWeights.size(), 4u);
    const BoneWeights* root = FindWeights(mesh, "root");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->vertexIndices, (std::vector<int32_t>{0}));
    EXPECT_EQ(root->weights, (std::vector<float>{0.5f}));
    const BoneWeights* spine = FindWeights(mesh, "spine");
    ASSERT_NE(spine, nullptr);
    EXPECT_EQ(spine->weights, (std::vector<float>{0.3f})) << "weights are stored as read";
    // Both vertices without links belong wholly to their owning bone.
    const BoneWeights* own = FindWeights(mesh, "mesh");
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->weightCount, 2);
    EXPECT_EQ(own->vertexIndices, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(own->weights, (std::vector<float>{1.0f, 1.0f}));
}

TEST(ReadTriangles, UnlinkedVerticesCountAsOneWeight) {
    const NodeList nodes = LoadOk(std::string(kHead) +
                                  "triangles\nskin.bmp\n"
                                  "3 0 0 0 0 0 1 0 0\n3 0 0 0 0 0 1 0 0\n3 0 0 0 0 0 1 0 0\n"
                                  "end\n");
    EXPECT_EQ(nodes[3].mesh.maxWeightsPerVertex, 1);
    EXPECT_EQ(nodes[3].mesh.maxWeightsPerFace, 3);
}

TEST(ReadTriangles, TriangleWithSeveralOwnersGoesToItsFirstVertexNode) {
    const NodeList nodes = LoadOk(std::string(kHead) +
                                  "triangles\nskin.bmp\n"
                                  "2 0 0 0 0 0 1 0 0\n"
                                  "1 0 0 0 0 0 1 0 0\n"
                                  "3 0 0 0 0 0 1 0 0 1 0 1\n"
                                  "end\n");
    const MeshData& mesh = nodes[2].mesh;
    EXPECT_EQ(mesh.vertexCount, 3);
    EXPECT_FALSE(nodes[1].mesh.HasMesh());
    EXPECT_FALSE(nodes[3].mesh.HasMesh());
    ASSERT_NE(FindWeights(mesh, "spine"), nullptr);
    EXPECT_EQ(FindWeights(mesh, "spine")->vertexIndices, (std::vector<int32_t>{0}));
    EXPECT_EQ(FindWeights(mesh, "pelvis")->vertexIndices, (std::vector<int32_t>{1}));
    EXPECT_EQ(FindWeights(mesh, "root")->vertexIndices, (std::vector<int32_t>{2}));
}

TEST(ReadTriangles, BlankAndCommentLinesAreSkipped) {
    const NodeList nodes = LoadOk(std::string(kHead) +
                                  "triangles\n"
                                  "\n// first triangle\n  # still a comment\n"
                                  "  skin.bmp\n"
                                  "\n"
                                  "3 0 0 0 0 0 1 0 0\n"
                                  " \t \n"
                                  "3 0 0 0 0 0 1 0 0\n"
                                  "3 0 0 0 0 0 1 0 0\n"
                                  "\n"
                                  "  end\n");
    EXPECT_EQ(nodes[3].mesh.faceCount, 1);
    EXPECT_EQ(nodes[3].mesh.materials[0].textureFile, "skin.bmp");
}

TEST(ReadTriangles, UnknownLinkBoneReportsAndLoadGoesOn) {
    const SmdReadResult read = ReadSmdReference(std::string(kHead) +
                                                "triangles\nskin.bmp\n"
                                                "3 0 0 0 0 0 1 0 0 2 1 0.5 42 0.5\n"
                                                "3 0 0 0 0 0 1 0 0\n"
                                                "3 0 0 0 0 0 1 0 0\n"
                                                "end\n");
    ASSERT_TRUE(read.ok()) << FailureOf(read.report);
    EXPECT_EQ(WarningsOf(read.report),
              (std::vector<std::string>{"Invalid File: Unknown bone id for bone weight.",
                                        "Invalid File: Invalid bone id for vertex weight."}));
    testing::ExpectValidScene(read.nodes);
    const MeshData& mesh = read.nodes[3].mesh;
    // The link before the unknown one stays; the vertex does not raise the maximum.
    EXPECT_EQ(FindWeights(mesh, "pelvis")->vertexIndices, (std::vector<int32_t>{0}));
    EXPECT_EQ(mesh.maxWeightsPerVertex, 1);
}

TEST(ReadTriangles, BrokenTriangleLeavesNoVertices) {
    const SmdReadResult read =
        ReadSmdReference(std::string(kHead) +
                         "triangles\nskin.bmp\n"
                         "3 0 0 0 0 0 1 0 0\n3 0 0 0 0 0 1 0 0\n3 0 0 0 0 0 1 0 0\n"
                         "other.bmp\n"
                         "3 1 0 0 0 0 1 0 0 1 1 1\n3 0 0 0 0 0 1 0 0\n3 0 0 0 0 0 1 0 x\n"
                         "end\n");
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(FailureOf(read.report), "Invalid File: Unexpected EOF in file.");
    EXPECT_EQ(read.report.failure()->position.line, 23u) << "the broken vertex line";
    const MeshData& mesh = read.nodes[3].mesh;
    EXPECT_EQ(mesh.vertexCount, 3);
    EXPECT_EQ(mesh.positions.size(), 3u);
    EXPECT_EQ(mesh.faceCount, 1);
    EXPECT_EQ(mesh.materialCount, 1);
    EXPECT_EQ(mesh.boneWeights.size(), 1u) << "the broken vertex's link added no bone";
}

// At the bind pose every bone's offset undoes its combined matrix: a vertex times offset
// times combined is the vertex again, also for roots, for children of the node numbered 0
// and for bones outside the skeleton root's subtree.
TEST(ReadTriangles, OffsetsInvertTheBindPose) {
    const NodeList nodes = LoadOk(std::string(kHead) +
                                  "triangles\nskin.bmp\n"
                                  "3 1 2 3 0 0 1 0 0 4 0 0.25 1 0.25 2 0.25 3 0.25\n"
                                  "3 -4 5 0.5 0 0 1 0 0 2 0 0.5 2 0.5\n"
                                  "3 7 -1 2 0 0 1 0 0 1 1 1\n"
                                  "end\n");
    const MeshData& mesh = nodes[3].mesh;
    ASSERT_EQ(mesh.boneWeights.size(), 4u);
    for (const BoneWeights& bone : mesh.boneWeights) {
        const NodeIndex node = FindNodeByName(nodes, bone.boneName);
        ASSERT_NE(node, kNoNode);
        const Matrix& combined = nodes[static_cast<size_t>(node)].combinedMatrix;
        EXPECT_NE(combined, IdentityMatrix()) << bone.boneName;
        for (const int32_t v : bone.vertexIndices) {
            const Vector3 p = mesh.positions[static_cast<size_t>(v)];
            const Vector3 back = TransformPoint(TransformPoint(p, bone.offsetMatrix), combined);
            EXPECT_NEAR(back.x, p.x, 1e-4) << bone.boneName;
            EXPECT_NEAR(back.y, p.y, 1e-4) << bone.boneName;
            EXPECT_NEAR(back.z, p.z, 1e-4) << bone.boneName;
        }
    }
}

TEST(ReadTriangles, EveryRootGetsItsCombinedMatrix) {
    const NodeList nodes = LoadOk(std::string(kHead) +
                                  "triangles\nskin.bmp\n"
                                  "3 0 0 0 0 0 1 0 0\n3 0 0 0 0 0 1 0 0\n3 0 0 0 0 0 1 0 0\n"
                                  "end\n");
    EXPECT_EQ(nodes[3].combinedMatrix, nodes[3].localMatrix);
    EXPECT_EQ(nodes[2].combinedMatrix,
              Multiply(nodes[2].localMatrix, Multiply(nodes[1].localMatrix, nodes[0].localMatrix)));
}

// Memory stays in proportion to the file: a small file of long names that every mesh repeats
// is refused with a message, while the same shape with short names loads.
TEST(ReadTriangles, MeshListsThatOutgrowTheFileAreRefused) {
    const std::string hostile = testing::ManyMeshesManyBones(1000, 140, 990);
    ASSERT_LT(hostile.size(), 4u << 20);
    const SmdReadResult refused = ReadSmdReference(hostile);
    EXPECT_EQ(FailureOf(refused.report),
              "Invalid File: The meshes need more materials and bone weight lists than a file of "
              "this size may give them: each mesh repeats the names of the textures and bones it "
              "uses, and here that would take more than 64 MB plus 4 times the file's size.");

    const SmdReadResult loaded = ReadSmdReference(testing::ManyMeshesManyBones(1000, 100, 8));
    ASSERT_TRUE(loaded.ok()) << FailureOf(loaded.report);
    EXPECT_EQ(loaded.nodes[5].mesh.boneWeights.size(), 100u * 3);
}

TEST(ReadTriangles, HundredThousandNodesInAChainOrAFan) {
    constexpr int kCount = 100000;
    for (const bool chain : {true, false}) {
        std::string text = "version 1\nnodes\n";
        for (int i = 0; i < kCount; ++i) {
            text += std::to_string(i) + " n" + std::to_string(i) + " " +
                    std::to_string(i == 0 ? -1 : (chain ? i - 1 : 0)) + "\n";
        }
        text += "end\nskeleton\ntime 0\n";
        for (int i = 0; i < kCount; ++i) {
            text += std::to_string(i) + " 1 0 0 0 0 0\n";
        }
        const std::string last = std::to_string(kCount - 1);
        text += "end\ntriangles\nskin.bmp\n";
        for (int k = 0; k < 3; ++k) {
            text += last + " 0 0 0 0 0 1 0 0 1 " + last + " 1\n";
        }
        text += "end\n";
        const NodeList nodes = LoadOk(text);
        ASSERT_EQ(nodes.size(), static_cast<size_t>(kCount));
        const SceneNode& leaf = nodes.back();
        EXPECT_EQ(leaf.mesh.faceCount, 1);
        EXPECT_EQ(leaf.combinedMatrix(3, 0), chain ? static_cast<float>(kCount) : 2.0f);
    }
}

}  // namespace
}  // namespace toravel
