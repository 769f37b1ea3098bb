// Reading SMD references and animations from memory: the failures with their messages and
// the lines where reading stopped, every prefix of a valid file, and the shapes that the
// exporters of real files write.
#include "smd/smd_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/read_expectations.h"
#include "support/scene_invariants.h"

namespace toravel {
namespace {

using testing::FailureOf;

constexpr const char* kValid =
    "version 1\n"
    "nodes\n"
    "0 \"root\" -1\n"
    "1 \"pelvis\" 0\n"
    "2 \"mesh\" -1\n"
    "end\n"
    "skeleton\n"
    "time 0\n"
    "0 0 0 0 0 0 0\n"
    "1 0 0 1 0 0 0\n"
    "2 0 0 0 0 0 0\n"
    "end\n"
    "triangles\n"
    "skin.bmp\n"
    "2 0 0 0 0 0 1 0 0 2 1 0.5 0 0.5\n"
    "2 1 0 0 0 0 1 1 0 1 1 1\n"
    "2 0 1 0 0 0 1 0 1\n"
    "end\n";

const std::vector<std::string> kProgress{
    "Checking SMD file header..",       "Loading nodes..", "Setting up relationships..",
    "Reading the skeleton structure..", "Fixing names..",  "Reading the mesh.."};

const std::string kDiscard = "Currently loaded SMD reference information will be lost.\nContinue?";
const std::string kDiscardTitle = "Discard SMD Reference Info";

// `text` with its first occurrence of `from` replaced by `to`.
std::string Edit(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// `text` up to the first occurrence of `to`.
std::string Prefix(const std::string& text, const std::string& to) {
    const size_t at = text.find(to);
    EXPECT_NE(at, std::string::npos) << to;
    return text.substr(0, at);
}

TEST(ReadSmdReference, FailuresAndTheirMessages) {
    struct Case {
        std::string file;
        std::string title;
        std::string text;
    };
    const std::string invalid = "Invalid File";
    const std::string fileEof = "Unexpected EOF in file.";
    const std::string keys = "0 0 0 0 0 0 0\n1 0 0 1 0 0 0\n2 0 0 0 0 0 0\n";
    const std::string tri = "2 0 0 0 0 0 1 0 0\n";
    const Case cases[] = {
        {Edit(kValid, "version 1", "version 2"), invalid, "Invalid SMD file header."},
        {Edit(kValid, "version 1", "version 1 "), invalid, "Invalid SMD file header."},
        {"", invalid, "Invalid SMD file header."},
        {Edit(kValid, "nodes\n", "bones\n"), invalid, "'nodes' token expected. Not found."},
        {"version 1\nnodes\n0 root -1\n", invalid, "Unexpected EOF in 'nodes' section."},
        {"version 1\nnodes\n0 root", invalid, "Unexpected EOF in 'nodes' section."},
        {Edit(kValid, "1 \"pelvis\" 0", "1 \"pelvis\" 5"), "Invalid Node Structure",
         "Node 1 (pelvis): parent id - 5 not found in nodes."},
        {Edit(kValid, "skeleton\n", "skeletons\n"), invalid,
         "Token 'skeleton' expected. Not found."},
        {Edit(kValid, "time 0\n", "frame 0\n"), invalid, "Token 'time' expected. Not found."},
        {Prefix(kValid, "time 0") + "time\n", invalid, fileEof},
        {Prefix(kValid, keys) + keys, invalid, fileEof},
        {Edit(kValid, keys, keys + "time 1\n" + keys), invalid,
         "Expected token 'time' in SMD reference file. Not found."},
        {Edit(kValid, "1 0 0 1 0 0 0\n", "1 0 0 1 0 0\n"), invalid, "Invalid timed key found."},
        {Edit(kValid, "1 0 0 1 0 0 0\n", "7 0 0 1 0 0 0\n"), invalid,
         "Timed key node (id 7) not found in nodes array."},
        {Edit(kValid, "triangles\n", "triangle\n"), invalid,
         "Token 'triangles' expected. Not found."},
        {Edit(kValid, "2 0 1 0 0 0 1 0 1\nend\n", "2 0 1 0 0 0 1 0 1\n"), invalid,
         "Unexpected EOF in 'triangles' section."},
        {Edit(kValid, "2 0 1 0 0 0 1 0 1\nend\n", ""), invalid, fileEof},
        {Edit(kValid, "2 0 1 0 0 0 1 0 1\n", "2 0 1 0 0 0 1 0\n"), invalid, fileEof},
        {Edit(kValid, "2 1 0 0 0 0 1 1 0 1 1 1\n", "2 1 0 0 0 0 1 1 0 2 1 1\n"), invalid, fileEof},
        {Edit(kValid, "2 1 0 0 0 0 1 1 0 1 1 1\n", "2 1 0 0 0 0 1 1 0 1 1\n"), invalid, fileEof},
        {Edit(kValid, "2 1 0 0 0 0 1 1 0 1 1 1\n", "# comment\n"), invalid, fileEof},
        {Edit(kValid, "2 0 1 0 0 0 1 0 1\n", "9 0 1 0 0 0 1 0 1\n"), invalid,
         "Invalid node id in 'triangles' section."},
        // The root bone owns the triangles while a second root has children: no skeleton.
        {Edit(Edit(Edit(Edit(kValid, "2 \"mesh\" -1", "2 \"mesh\" -1\n3 \"leaf\" 2"),
                        "2 0 0 0 0 0 0\n", "2 0 0 0 0 0 0\n3 0 0 0 0 0 0\n"),
                   "end\ntriangles\nskin.bmp\n2 0 0 0 0 0 1 0 0 2",
                   "end\ntriangles\nskin.bmp\n0 0 0 0 0 0 1 0 0 2"),
              "2 0 1 0 0 0 1 0 1\n", "2 0 1 0 0 0 1 0 1\nskin.bmp\n" + tri + tri + tri),
         "Incorrect node structure", "No candidates for skeleton found."},
        {Edit(Edit(kValid, "2 \"mesh\" -1", "2 \"mesh\" -1\n3 \"other\" -1\n4 \"leaf\" 3"),
              "2 0 0 0 0 0 0\n", "2 0 0 0 0 0 0\n3 0 0 0 0 0 0\n4 0 0 0 0 0 0\n"),
         "Incorrect node structure", "Multiple candidates for the skeleton.\nroot\nother"},
        {Edit(kValid, "1 \"pelvis\" 0", "1 \"\" 0"), invalid, "Node 1 has an empty name."},
        // Values that overflow on the way cannot be written back: the load names them.
        {Edit(kValid, "0 0 0 0 0 0 0\n1 0 0 1 0 0 0\n", "0 3e38 0 0 0 0 0\n1 3e38 0 0 0 0 0\n"),
         invalid,
         "A value in the bind pose of node 'pelvis' in model space is not a finite number."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + "\n" + c.file);
        const SmdReadResult read = ReadSmdReference(c.file);
        EXPECT_EQ(FailureOf(read.report), c.title + ": " + c.text);
        EXPECT_GE(read.report.failure()->position.line, 1u);
    }
}

// Every prefix of a valid file reads or fails with exactly one message.
TEST(ReadSmdReference, EveryPrefixReadsOrFailsWithOneMessage) {
    const std::string valid = kValid;
    int loads = 0;
    for (size_t n = 0; n <= valid.size(); ++n) {
        const SmdReadResult read = ReadSmdReference(valid.substr(0, n));
        EXPECT_TRUE(read.ok() || read.report.failure()->message)
            << "prefix of " << n << " characters:\n"
            << valid.substr(0, n);
        if (read.ok()) {
            testing::ExpectValidScene(read.nodes);
        }
        loads += read.ok() ? 1 : 0;
    }
    EXPECT_EQ(loads, 2) << "the whole file, with and without its final line feed";
}

// The shape decompilers write: a comment before the header, quoted names with blanks,
// indented frames, texture names with blanks, weighted links, CR LF and no final line feed.
TEST(ReadSmdReference, DecompiledFileShape) {
    const std::string file =
        "// Created by a decompiler\r\n"
        "\r\n"
        "version 1\r\n"
        "nodes\r\n"
        "  0 \"Bip01\" -1\r\n"
        "  1 \"Bip01 Pelvis\" 0\r\n"
        "  2 \"Bip01 L Thigh\" 1\r\n"
        "  3 \"grenade.body\" -1\r\n"
        "end\r\n"
        "skeleton\r\n"
        "  time 0\r\n"
        "    0 0.000000 0.000000 40.000000 0.000000 0.000000 1.570796\r\n"
        "    1 0.000000 0.000000 2.000000 -1.570796 0.000000 0.000000\r\n"
        "    2 4.000000 0.000000 0.000000 0.000000 0.200000 0.000000\r\n"
        "    3 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000\r\n"
        "  \r\n"
        "end\r\n"
        "triangles\r\n"
        "grenade s.bmp\r\n"
        "  3 1.0 2.0 3.0 0.0 0.0 1.0 0.5 0.5 2 1 0.75 2 0.25\r\n"
        "  2 1.0 2.5 3.0 0.0 0.0 1.0 0.5 0.5 1 2 1.000000\r\n"
        "  1 1.0 2.0 3.5 0.0 0.0 1.0 0.5 0.5 1 1 1.000000\r\n"
        "end";
    const SmdReadResult read = ReadSmdReference(file);
    ASSERT_TRUE(read.ok()) << FailureOf(read.report);
    testing::ExpectValidScene(read.nodes);
    const NodeList& nodes = read.nodes;
    ASSERT_EQ(nodes.size(), 4u);
    EXPECT_EQ(nodes[1].name, "Bip01_Pelvis");
    EXPECT_EQ(nodes[2].name, "Bip01_L_Thigh");
    EXPECT_EQ(nodes[3].name, "grenade_body");
    EXPECT_EQ(nodes[2].parentId, 1);
    EXPECT_EQ(nodes[2].localMatrix, EulerTransform(4, 0, 0, 0, 0.2f, 0));
    const MeshData& mesh = nodes[3].mesh;
    EXPECT_EQ(mesh.faceCount, 1);
    ASSERT_EQ(mesh.materialCount, 1);
    EXPECT_EQ(mesh.materials[0].textureFile, "grenade s.bmp");
    EXPECT_EQ(mesh.boneCount, 2);
    EXPECT_EQ(mesh.boneWeights[0].boneName, "Bip01_Pelvis");
    EXPECT_EQ(mesh.boneWeights[0].vertexIndices, (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(mesh.boneWeights[0].weights, (std::vector<float>{0.75f, 1.0f}));
    EXPECT_EQ(mesh.maxWeightsPerVertex, 2);
}

// The shape of older exporters: vertex lines without links, and the root bone owning the
// triangles.
TEST(ReadSmdReference, OlderExporterShape) {
    const std::string file =
        "version 1\n"
        "nodes\n"
        "0 \"Bone.Root\" -1\n"
        "1 \"Bone.Arm\" 0\n"
        "end\n"
        "skeleton\n"
        "time 0\n"
        "0 0 0 0 0 0 0\n"
        "1 5 0 0 0 0 0\n"
        "end\n"
        "triangles\n"
        "body.bmp\n"
        "0 0 0 0 0 0 1 0 0\n"
        "1 5 0 0 0 0 1 1 0\n"
        "0 0 1 0 0 0 1 0 1\n"
        "body.bmp\n"
        "1 5 0 0 0 0 1 1 0\n"
        "1 6 0 0 0 0 1 1 1\n"
        "1 5 1 0 0 0 1 1 1\n"
        "end\n";
    const SmdReadResult read = ReadSmdReference(file);
    ASSERT_TRUE(read.ok()) << FailureOf(read.report);
    testing::ExpectValidScene(read.nodes);
    const NodeList& nodes = read.nodes;
    EXPECT_EQ(nodes[0].name, "Bone_Root");
    const MeshData& root = nodes[0].mesh;
    EXPECT_EQ(root.faceCount, 1);
    EXPECT_EQ(root.maxWeightsPerVertex, 1);
    ASSERT_EQ(root.boneWeights.size(), 2u);
    EXPECT_EQ(root.boneWeights[0].boneName, "Bone_Root");
    EXPECT_EQ(root.boneWeights[0].vertexIndices, (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(root.boneWeights[1].boneName, "Bone_Arm");
    EXPECT_EQ(root.boneWeights[1].vertexIndices, (std::vector<int32_t>{1}));
    EXPECT_EQ(nodes[1].mesh.faceCount, 1);
    EXPECT_EQ(nodes[1].mesh.boneWeights[0].weights, (std::vector<float>{1, 1, 1}));
    // Bind pose: the arm's offset undoes its combined matrix.
    EXPECT_EQ(nodes[1].mesh.boneWeights[0].offsetMatrix, Inverse(nodes[1].combinedMatrix));
}

// Nodes 0 to 20: node 0 is the root, node 20 ("still.bone") has no key lines. Frames 0 to 9
// key nodes 0 to 19, each moved along x by its frame number.
std::string TwentyNodesTenFrames() {
    std::string text = "version 1\nnodes\n0 \"root\" -1\n";
    for (int i = 1; i < 20; ++i) {
        text += std::to_string(i) + " \"bone." + std::to_string(i) + "\" 0\n";
    }
    text += "20 \"still.bone\" 0\nend\nskeleton\n";
    for (int frame = 0; frame < 10; ++frame) {
        text += "time " + std::to_string(frame) + "\n";
        for (int i = 0; i < 20; ++i) {
            text += std::to_string(i) + " " + std::to_string(frame) + " 0 0 0 0 0\n";
        }
    }
    return text + "end\n";
}

TEST(ReadSmdAnimation, EveryPrefixReadsOrFailsWithOneMessage) {
    const std::string valid =
        "version 1\n"
        "nodes\n"
        "0 \"root\" -1\n"
        "1 \"arm\" 0\n"
        "end\n"
        "skeleton\n"
        "time 0\n"
        "0 0 0 0 0 0 0\n"
        "1 1.5 0 0 0 0.25 0\n"
        "  time 10\n"
        "1 2.5 0 0 0 0.5 0\n"
        "end\n";
    int loads = 0;
    for (size_t n = 0; n <= valid.size(); ++n) {
        const SmdReadResult read = ReadSmdAnimation(valid.substr(0, n));
        EXPECT_TRUE(read.ok() || read.report.failure()->message)
            << "prefix of " << n << " characters:\n"
            << valid.substr(0, n);
        if (read.ok()) {
            testing::ExpectValidScene(read.nodes);
        }
        loads += read.ok() ? 1 : 0;
    }
    EXPECT_EQ(loads, 2) << "the whole file, with and without its final line feed";
}

TEST(ReadSmdAnimation, EveryKeyedNodeGetsOneTrackOfMatrixKeys) {
    const SmdReadResult read = ReadSmdAnimation(TwentyNodesTenFrames());
    ASSERT_TRUE(read.ok()) << FailureOf(read.report);
    testing::ExpectValidScene(read.nodes);
    const AnimSet set = BuildAnimSet(read.nodes, "Walk");
    EXPECT_EQ(set.name, "Walk");
    ASSERT_EQ(set.animations.size(), 20u) << "the node without keys has no animation";
    EXPECT_EQ(set.animations[0].name, "root");
    EXPECT_EQ(set.animations[7].name, "bone_7");
    for (const NodeAnimation& animation : set.animations) {
        ASSERT_EQ(animation.tracks.size(), 1u);
        const KeyTrack& track = animation.tracks[0];
        EXPECT_EQ(track.keyType, 4);
        ASSERT_EQ(track.keyCount, 10);
        ASSERT_EQ(track.keys.size(), 10u);
        for (uint32_t frame = 0; frame < 10; ++frame) {
            EXPECT_EQ(track.keys[frame].time, frame * 1000);
            EXPECT_EQ(track.keys[frame].valueCount, 16u);
            EXPECT_TRUE(track.keys[frame].isMatrix);
        }
    }
    testing::ExpectValidSets({set});
    EXPECT_EQ(set.animations[3].tracks[0].keys[6].matrix, TranslationMatrix(6, 0, 0));
    EXPECT_EQ(set.animations[0].tracks[0].keys[6].matrix,
              Multiply(TranslationMatrix(6, 0, 0), RotationXMatrix(-1.570796f)));

    // Taking the set moves the same tracks out of the nodes.
    NodeList nodes = read.nodes;
    const AnimSet taken = TakeAnimSet(nodes, "Walk");
    testing::ExpectValidSets({taken});
    ASSERT_EQ(taken.animations.size(), set.animations.size());
    for (size_t i = 0; i < set.animations.size(); ++i) {
        EXPECT_EQ(taken.animations[i].name, set.animations[i].name);
        EXPECT_EQ(taken.animations[i].tracks[0].keys.size(),
                  set.animations[i].tracks[0].keys.size());
        EXPECT_EQ(taken.animations[i].tracks[0].keys.back().matrix,
                  set.animations[i].tracks[0].keys.back().matrix);
    }
    for (const SceneNode& node : nodes) {
        EXPECT_TRUE(node.track.keys.empty());
    }
}

}  // namespace
}  // namespace toravel
