#include "smd/smd_reference.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/recording_interaction.h"
#include "support/scripted_interaction.h"
#include "support/temp_dir.h"

namespace toravel {
namespace {

using testing::RecordingInteraction;
using testing::ScriptedInteraction;
using testing::TempDir;

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

struct Session {
    ScriptedInteraction ui;
    StatusLog log{ui};
    LineTokenizer tokenizer;
    SmdReference doc;

    bool Load() { return LoadSmdReference(doc, tokenizer, ui, log); }
};

TEST(LoadSmdReference, LoadsWithProgressLinesAndEndsWithEmptyLog) {
    TempDir dir;
    Session s;
    const std::string path = dir.Write("ref.smd", kValid);
    s.ui.ExpectOpenFile(path);
    ASSERT_TRUE(s.Load());
    EXPECT_EQ(s.ui.lastFilter.size(), 2u);
    EXPECT_EQ(s.ui.lastFilter[0].description, "SMD Files (*.smd)");
    EXPECT_EQ(s.ui.lastFilter[0].pattern, "*.smd");
    EXPECT_EQ(s.ui.lastFilter[1].description, "All files (*.*)");
    EXPECT_EQ(s.ui.lastFilter[1].pattern, "*.*");
    EXPECT_EQ(s.ui.statusLines, kProgress);
    EXPECT_TRUE(s.log.Lines().empty());
    EXPECT_EQ(s.ui.repaints, 1);
    EXPECT_TRUE(s.doc.loaded);
    EXPECT_EQ(s.doc.fileName, "ref.smd");
    EXPECT_EQ(s.doc.filePath, path);
    ASSERT_EQ(s.doc.nodes.size(), 3u);
    EXPECT_EQ(s.doc.nodes[2].mesh.faceCount, 1);
    EXPECT_EQ(s.doc.nodes[0].firstChild, 1);
}

TEST(LoadSmdReference, CancelledDialogChangesNothing) {
    Session s;
    s.doc.loaded = true;
    s.doc.fileName = "old.smd";
    s.log.AddStatusLine("left over");
    s.ui.ExpectOpenFile(std::nullopt);
    EXPECT_FALSE(s.Load());
    EXPECT_TRUE(s.log.Lines().empty());
    EXPECT_TRUE(s.doc.loaded);
    EXPECT_EQ(s.doc.fileName, "old.smd");
    EXPECT_EQ(s.ui.repaints, 1);
    EXPECT_EQ(s.ui.statusLines, std::vector<std::string>{"left over"});
}

TEST(LoadSmdReference, OpenFailureMentionsRetainedDocument) {
    TempDir dir;
    for (const bool loaded : {false, true}) {
        Session s;
        s.doc.loaded = loaded;
        s.doc.fileName = "old.smd";
        s.ui.ExpectOpenFile(dir.File("missing.smd"))
            .ExpectMessage(std::string("Failed to open for input:\nmissing.smd") +
                               (loaded ? "\nCurrently loaded SMD reference information will be "
                                         "retained."
                                       : ""),
                           "Open Failure");
        EXPECT_FALSE(s.Load());
        EXPECT_EQ(s.doc.loaded, loaded);
        EXPECT_EQ(s.doc.fileName, "old.smd");
        EXPECT_EQ(s.ui.repaints, 1);
    }
}

TEST(LoadSmdReference, AsksBeforeDiscardingALoadedReference) {
    TempDir dir;
    const std::string first = dir.Write("first.smd", kValid);
    const std::string second = dir.Write("second.smd", Edit(kValid, "pelvis", "hips"));
    Session s;
    s.ui.ExpectOpenFile(first);
    ASSERT_TRUE(s.Load());

    s.ui.ExpectOpenFile(second).ExpectYesNo(kDiscard, kDiscardTitle, false, false);
    EXPECT_FALSE(s.Load());
    EXPECT_TRUE(s.doc.loaded);
    EXPECT_EQ(s.doc.fileName, "first.smd");
    EXPECT_EQ(s.doc.nodes[1].name, "pelvis");

    s.ui.ExpectOpenFile(second).ExpectYesNo(kDiscard, kDiscardTitle, false, true);
    EXPECT_TRUE(s.Load());
    EXPECT_EQ(s.doc.fileName, "second.smd");
    EXPECT_EQ(s.doc.nodes[1].name, "hips");
    EXPECT_EQ(s.ui.repaints, 3);
}

TEST(LoadSmdReference, FailuresShowOneMessageAndLeaveNothingLoaded) {
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
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + "\n" + c.file);
        Session s;
        s.ui.ExpectOpenFile(dir.Write("bad.smd", c.file)).ExpectMessage(c.text, c.title);
        EXPECT_FALSE(s.Load());
        EXPECT_FALSE(s.doc.loaded);
        EXPECT_TRUE(s.doc.fileName.empty());
        EXPECT_TRUE(s.log.Lines().empty());
        EXPECT_EQ(s.ui.repaints, 1);
        s.ui.ExpectDone();
    }
}

// Every prefix of a valid file loads or fails with exactly one message.
TEST(LoadSmdReference, EveryPrefixLoadsOrFailsWithOneMessage) {
    const std::string valid = kValid;
    int loads = 0;
    for (size_t n = 0; n <= valid.size(); ++n) {
        TextInput input(valid.substr(0, n));
        LineTokenizer tokenizer;
        NodeList nodes;
        RecordingInteraction ui;
        const bool ok = ReadSmdReference(input, tokenizer, nodes, &ui, nullptr);
        EXPECT_EQ(ui.messages.size(), ok ? 0u : 1u)
            << "prefix of " << n << " characters:\n"
            << valid.substr(0, n) << "\nmessages: " << (ui.messages.empty() ? "" : ui.messages[0]);
        loads += ok ? 1 : 0;
    }
    EXPECT_EQ(loads, 2) << "the whole file, with and without its final line feed";
}

// The shape decompilers write: a comment before the header, quoted names with blanks,
// indented frames, texture names with blanks, weighted links, CR LF and no final line feed.
TEST(LoadSmdReference, DecompiledFileShape) {
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
    TempDir dir;
    Session s;
    s.ui.ExpectOpenFile(dir.Write("decompiled.smd", file));
    ASSERT_TRUE(s.Load());
    const NodeList& nodes = s.doc.nodes;
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
TEST(LoadSmdReference, OlderExporterShape) {
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
    TempDir dir;
    Session s;
    s.ui.ExpectOpenFile(dir.Write("old.smd", file));
    ASSERT_TRUE(s.Load());
    const NodeList& nodes = s.doc.nodes;
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

}  // namespace
}  // namespace toravel
