// The strict X reader's accepted input, read from memory: the frame structure, the peek rule,
// mesh, material, skin and animation details, and the sound handling of bad counts and deep
// nesting.

#include "xfile/x_strict_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/dump_questions.h"
#include "support/read_expectations.h"
#include "support/scene_invariants.h"
#include "xfile/x_writer.h"
#include "xfile/xreader_test_util.h"

namespace toravel {
namespace {

using testing::FailureOf;
using testing::kXAnimation;
using testing::kXHeader;
using testing::kXMatrix;
using testing::kXTriangleLists;
using testing::TempDir;
using testing::XAnimFile;
using testing::XFrame;
using testing::XMeshFile;
using testing::XRoot;

const std::string kDumpTree = testing::DumpTreeText();
const std::string kQuickDump = testing::QuickDumpText();

// Reads `text`, which must read without warnings.
XModel LoadGood(const std::string& text) {
    XReadResult read = ReadXFile(text);
    EXPECT_TRUE(read.ok()) << FailureOf(read.report);
    EXPECT_TRUE(read.report.warnings().empty());
    testing::ExpectValidScene(read.model.frames, false);
    testing::ExpectValidSets(read.model.animSets);
    return std::move(read.model);
}

// Reads `text`, which must fail with exactly this message titled "Invalid File".
XModel LoadBad(const std::string& text, const std::string& message, bool = false) {
    XReadResult read = ReadXFile(text);
    EXPECT_EQ(FailureOf(read.report), "Invalid File: " + message);
    return std::move(read.model);
}

// --- Header, templates and frames ----------------------------------------------------------

TEST(XReaderFrames, IdsArePreOrderPositionsWithParentIds) {
    const XModel doc =
        LoadGood(XRoot(XFrame("A", XFrame("A1")) + "Frame {\n" + kXMatrix + XFrame("B1") + "}\n"));
    ASSERT_EQ(doc.frames.size(), 5u);
    const std::vector<std::string> names = {"Scene_Root", "A", "A1", "", "B1"};
    const std::vector<int32_t> parents = {-1, 0, 1, 0, 3};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(doc.frames[i].id, static_cast<int32_t>(i));
        EXPECT_EQ(doc.frames[i].name, names[i]);
        EXPECT_EQ(doc.frames[i].parentId, parents[i]);
    }
    // Linked: Scene_Root's children are A and the unnamed frame, in file order.
    EXPECT_EQ(doc.frames[0].firstChild, 1);
    EXPECT_EQ(doc.frames[1].nextSibling, 3);
    EXPECT_TRUE(doc.animSets.empty());
    EXPECT_FALSE(doc.ticksPerSecond.has_value());
}

TEST(XReaderFrames, MatrixValuesMayBeSpreadOverLines) {
    const XModel doc = LoadGood(XRoot(
        "Frame Bip01 {\nFrameTransformMatrix {\n 1,0,0,0,\n 0,1,0,0,\n 0,0,1,0,\n 2.5,-3,4e1,1;\n "
        ";\n}\n}\n"));
    EXPECT_EQ(doc.frames[1].localMatrix, TranslationMatrix(2.5f, -3, 40));
}

TEST(XReaderFrames, SceneRootWithoutMatrixWarnsAndContinues) {
    const XReadResult read = ReadXFile(kXHeader + "Frame Scene_Root {\n" + XFrame("Bip01") + "}\n");
    ASSERT_TRUE(read.ok()) << FailureOf(read.report);
    EXPECT_EQ(testing::WarningsOf(read.report),
              std::vector<std::string>{
                  "Possible Error: Transform Matrix NOT found for Scene_Root. Continuing."});
    EXPECT_EQ(read.model.frames[0].localMatrix, IdentityMatrix());
    EXPECT_EQ(read.model.frames.size(), 2u);
}

TEST(XReaderFrames, TemplatesAndTicksBeforeTheFramesAreSkipped) {
    // Declarations as an export writes them, options in brackets included.
    const std::string templates = R"(template Vector {
 <3D82AB5E-62DA-11cf-AB39-0020AF71E433>
 FLOAT x;
 FLOAT y;
 FLOAT z;
}

template Material {
 <3D82AB4D-62DA-11cf-AB39-0020AF71E433>
 ColorRGBA faceColor;
 FLOAT power;
 [...]
}

template MeshMaterialList {
 <F6F23F42-7686-11cf-8F52-0040333594A3>
 DWORD nMaterials;
 array DWORD faceIndexes[nFaceIndexes];
 [Material <3D82AB4D-62DA-11cf-AB39-0020AF71E433>]
}

template AnimTicksPerSecond {
 <9E415A43-7BA6-4a73-8743-B73D47E88476>
 DWORD AnimTicksPerSecond;
}

)";
    const std::string frames = XRoot(XFrame("Bip01")).substr(kXHeader.size());
    const XModel doc = LoadGood(kXHeader + templates + "AnimTicksPerSecond {\n 4800;\n}\n\n" +
                                frames + "AnimationSet Walk {\n" + kXAnimation + "}\n");
    EXPECT_EQ(doc.ticksPerSecond, 4800u);
    EXPECT_EQ(doc.frames.size(), 2u);
    EXPECT_EQ(doc.animSets.size(), 1u);

    // The same prelude written by the writer itself.
    NodeList nodes(2);
    nodes[0].id = 0;
    nodes[0].parentId = -1;
    nodes[0].name = "Bip01";
    nodes[1].id = 1;
    nodes[1].parentId = 0;
    nodes[1].name = "Pelvis";
    nodes[0].firstChild = 1;
    StringSink sink;
    {
        Message failure;
        TextWriter out(sink);
        WriteSceneFrames(out, nodes, failure, {templates, 30});
        out.Finish();
    }
    EXPECT_EQ(LoadGood(sink.text).ticksPerSecond, 30u);
}

TEST(XReaderFrames, TicksBetweenFramesAndSetsOnOneLine) {
    const XModel doc = LoadGood(
        XAnimFile("AnimTicksPerSecond { 160 ; }\nAnimationSet Walk {\n" + kXAnimation + "}\n"));
    EXPECT_EQ(doc.ticksPerSecond, 160u);
    EXPECT_EQ(doc.animSets.size(), 1u);
    LoadBad(XAnimFile("AnimTicksPerSecond {\n -3;\n}\n"),
            "Expected 'ticks per second in AnimTicksPerSecond'. Found '-3;'", true);
    LoadBad(XAnimFile("AnimTicksPerSecond {\n 3,\n}\n"),
            "Expected '';' after ticks per second in AnimTicksPerSecond'. Found '3,'", true);
}

TEST(XReaderFrames, OnlySceneRootAndAnimationSetsAreRead) {
    XModel doc = LoadGood(XRoot(XFrame("Bip01")) + XFrame("Second"));
    EXPECT_EQ(doc.frames.size(), 2u);
    doc = LoadGood(XAnimFile("AnimationSet Walk {\n" + kXAnimation + "}\n" + "template X {\n}\n" +
                             "AnimationSet Run {\n" + kXAnimation + "}\n"));
    EXPECT_EQ(doc.animSets.size(), 1u);
}

TEST(XReaderFrames, BracesTouchingNamesAreTokensOfTheirOwn) {
    const XModel doc =
        LoadGood(kXHeader + "Frame Scene_Root{\n" + kXMatrix + "Frame Bip01{\n" + kXMatrix +
                 "Frame Pelvis{" + kXMatrix + "}}}\n" +
                 "AnimationSet Walk{\nAnimation {\nAnimationKey{\n2;\n1;\n0;3;1.0,2.0,3.0;;;\n}\n"
                 "{Pelvis}\n}\n}\n");
    ASSERT_EQ(doc.frames.size(), 3u);
    EXPECT_EQ(doc.frames[2].name, "Pelvis");
    EXPECT_EQ(doc.frames[2].parentId, 1);
    ASSERT_EQ(doc.animSets.size(), 1u);
    EXPECT_EQ(doc.animSets[0].name, "Walk");
    EXPECT_EQ(doc.animSets[0].animations.at(0).name, "Pelvis");
}

TEST(XReaderFrames, CommentsAndBlankLinesBetweenTokens) {
    const XModel doc = LoadGood(kXHeader + "# a comment\n\nFrame\tScene_Root   {  // x\n" +
                                kXMatrix + "\n\n" + XFrame("Bip01") + "}\n");
    EXPECT_EQ(doc.frames.size(), 2u);
}

TEST(XReaderFrames, NestingUpToTheLimitLoadsAndDeeperFailsWithAMessage) {
    auto chain = [](size_t depth) {
        std::string text;
        for (size_t i = 1; i <= depth; ++i) {
            text += "Frame F" + std::to_string(i) + " {\n" + kXMatrix;
        }
        for (size_t i = 1; i <= depth; ++i) {
            text += "}\n";
        }
        return XRoot(text);
    };
    EXPECT_EQ(LoadGood(chain(kMaxXFrameNesting)).frames.size(), kMaxXFrameNesting + 1);
    const XModel doc = LoadBad(chain(kMaxXFrameNesting + 1),
                               "Frames nested more than 100000 levels deep in frame F100000.");
    EXPECT_EQ(doc.frames.size(), kMaxXFrameNesting + 1);
}

// --- Meshes -------------------------------------------------------------------------------

TEST(XReaderMeshes, ListsAndBlocksFillTheMesh) {
    const XModel doc = LoadGood(
        XRoot(XFrame("Body",
                     "Mesh \"Quoted\" {\n3;\n0.5,1,2;,\n1;0;0;,\n0;1;-2e-1;;\n1;\n3;2,1,0;;\n"
                     "MeshNormals {\n1;\n0;0;1;;\n1;\n3;0,0,0;;\n}\n"
                     "MeshTextureCoords {\n3;\n0;1;,\n1;1;,\n0.5;0;;\n}\n"
                     "VertexDuplicationIndices {\n3;\n3;\n0,\n1,\n2,\n}\n"
                     "UnknownBlock\n"
                     "}\n")));
    const MeshData& mesh = doc.frames[1].mesh;
    // Quotes are no part of an X name: the name is fixed so that it is written back as one.
    EXPECT_EQ(mesh.name, "_Quoted_");
    EXPECT_EQ(mesh.vertexCount, 3);
    EXPECT_EQ(mesh.positions[0], (Vector3{0.5f, 1, 2}));
    EXPECT_EQ(mesh.positions[2], (Vector3{0, 1, -0.2f}));
    EXPECT_EQ(mesh.faceIndices, (std::vector<int32_t>{2, 1, 0}));
    EXPECT_EQ(mesh.normalCount, 1);
    EXPECT_EQ(mesh.normalFaceIndices, (std::vector<int32_t>{0, 0, 0}));
    EXPECT_EQ(mesh.texCoords[2], (Vector2{0.5f, 0}));
    EXPECT_EQ(mesh.texCoordCount, 3);
}

TEST(XReaderMeshes, SubBlockKeywordAfterTheLastFaceIsHandedBack) {
    const XModel doc = LoadGood(XMeshFile("",
                                          "3;\n0;0;0;,\n1;0;0;,\n0;1;0;;\n1;\n3;0,1,2;; "
                                          "MeshNormals {\n1;\n0;0;1;;\n1;\n3;0,0,0;;\n}\n"));
    EXPECT_EQ(doc.frames[1].mesh.normalCount, 1);
}

TEST(XReaderMeshes, EmptyMeshLeavesTheFrameWithoutMesh) {
    const XModel doc = LoadGood(XRoot(XFrame("Body", "Mesh {\n0;\n0;\n}\n")));
    EXPECT_FALSE(doc.frames[1].mesh.HasMesh());
}

TEST(XReaderMeshes, RepeatedBlocksEndWithCountsEqualToLists) {
    const std::string normals = "MeshNormals {\n1;\n0;0;1;;\n1;\n3;0,0,0;;\n}\n";
    const std::string coords = "MeshTextureCoords {\n1;\n0;1;;\n}\n";
    const std::string materials =
        "MeshMaterialList {\n1;\n1;\n0;\nMaterial {\n1;1;1;1;;\n0;\n0;0;0;;\n0;0;0;;\n"
        "TextureFilename {\n\"a.bmp\";\n}\n}\n}\n";
    const XModel doc =
        LoadGood(XMeshFile(normals + normals + coords + coords + coords + materials + materials));
    const MeshData& mesh = doc.frames[1].mesh;
    EXPECT_EQ(mesh.normalCount, 2);
    EXPECT_EQ(mesh.normals.size(), 2u);
    EXPECT_EQ(mesh.normalFaceCount, 2);
    EXPECT_EQ(mesh.texCoordCount, 3);
    EXPECT_EQ(mesh.materialCount, 2);
    EXPECT_EQ(mesh.faceMaterialCount, 2);
}

// --- Materials and skin ---------------------------------------------------------------------

// The texture file name read from a TextureFilename block whose name line is `line`.
std::string TextureFrom(const std::string& line) {
    const XModel doc = LoadGood(
        XMeshFile("MeshMaterialList {\n1;\n1;\n0;\nMaterial Skin{\n0.5;0.25;0.125;1;;\n12.5;\n"
                  "0.1;0.2;0.3;;\n0.4;0.5;0.6;;\nTextureFilename {\n" +
                  line + "\n}\n}\n}\n"));
    if (doc.frames.size() < 2 || doc.frames[1].mesh.materials.empty()) {
        return "<not loaded>";
    }
    return doc.frames[1].mesh.materials[0].textureFile;
}

TEST(XReaderMaterials, MaterialFieldsAndQuotedNames) {
    const XModel doc = LoadGood(
        XMeshFile("MeshMaterialList {\n1;\n1;\n0;\nMaterial Skin{\n0.5;0.25;0.125;1;;\n12.5;\n"
                  "0.1;0.2;0.3;;\n0.4;0.5;0.6;;\nTextureFilename {\n\"a b.bmp\";\n}\n}\n}\n"));
    const MaterialData& m = doc.frames[1].mesh.materials[0];
    EXPECT_EQ(m.name, "Skin");
    EXPECT_EQ(m.faceColour[2], 0.125f);
    EXPECT_EQ(m.power, 12.5f);
    EXPECT_EQ(m.specularColour[1], 0.2f);
    EXPECT_EQ(m.emissiveColour[2], 0.6f);
    EXPECT_EQ(m.textureFile, "a b.bmp");
    EXPECT_EQ(doc.frames[1].mesh.faceMaterials, std::vector<int32_t>{0});

    // Blanks before the opening quote and around the final ';' do not matter, wherever the
    // quote stands on the line.
    EXPECT_EQ(TextureFrom("\t\"tab.bmp\";"), "tab.bmp");
    EXPECT_EQ(TextureFrom("\"blank.bmp\" ;"), "blank.bmp");
    EXPECT_EQ(TextureFrom("      \"abcde\";"), "abcde");
    EXPECT_EQ(TextureFrom("\"a.bmp\"; \t"), "a.bmp");
    EXPECT_EQ(TextureFrom("                    \"a b\";"), "a b");
    EXPECT_EQ(TextureFrom("    \"\";"), "");
    EXPECT_EQ(TextureFrom(" \"\";"), "");
    EXPECT_EQ(TextureFrom("\";"), "");
    EXPECT_EQ(TextureFrom("\"say \"hi\"\";"), "say \"hi\"");
}

// A mesh with `skin` (header and SkinWeights blocks) after its lists.
const MeshData& SkinOf(const XModel& doc) {
    return doc.frames[1].mesh;
}
std::string Weights(const std::string& bone, const std::string& index,
                    const std::string& indent = "") {
    return "SkinWeights {\n" + indent + "\"" + bone + "\";\n1;\n" + index + ";\n0.5;\n" +
           "1,0,0,0,0,1,0,0,0,0,1,0,7,8,9,1;;\n}\n";
}

TEST(XReaderSkin, WeightsFollowTheHeaderInFileOrder) {
    // A bone name may stand anywhere on its line, as in the deep frames the writer indents.
    const XModel doc =
        LoadGood(XMeshFile("XSkinMeshHeader {\n2;\n3;\n2;\n}\n" + Weights("Left Arm", "2") +
                           Weights("Pelvis", "1", "         ")));
    const MeshData& mesh = SkinOf(doc);
    EXPECT_EQ(mesh.maxWeightsPerVertex, 2);
    EXPECT_EQ(mesh.maxWeightsPerFace, 3);
    ASSERT_EQ(mesh.boneWeights.size(), 2u);
    EXPECT_EQ(mesh.boneWeights[0].boneName, "Left_Arm") << "a bone names a frame: fixed alike";
    EXPECT_EQ(mesh.boneWeights[0].vertexIndices, std::vector<int32_t>{2});
    EXPECT_EQ(mesh.boneWeights[1].weights, std::vector<float>{0.5f});
    EXPECT_EQ(mesh.boneWeights[1].offsetMatrix, TranslationMatrix(7, 8, 9));
}

TEST(XReaderSkin, SkinWeightsWithoutDeclaredBonesAreReadOneBlockAtATime) {
    // No header at all, and a header that declares no bones: each block met is read once.
    XModel doc = LoadGood(XMeshFile(Weights("Pelvis", "0") + Weights("Spine", "1")));
    EXPECT_EQ(SkinOf(doc).boneWeights.size(), 2u);
    EXPECT_EQ(SkinOf(doc).boneCount, 2);
    doc = LoadGood(XMeshFile("XSkinMeshHeader {\n1;\n1;\n0;\n}\n" + Weights("Pelvis", "0")));
    EXPECT_EQ(SkinOf(doc).boneCount, 1);
    // More blocks than declared: the run is read again at the next keyword.
    doc = LoadGood(XMeshFile("XSkinMeshHeader {\n1;\n1;\n1;\n}\n" + Weights("Pelvis", "0") +
                             Weights("Spine", "1") + Weights("Thigh", "2")));
    EXPECT_EQ(SkinOf(doc).boneCount, 3);
}

TEST(XReaderSkin, DeclaredBonesWithoutBlocksLeaveConsistentCounts) {
    const XModel doc = LoadGood(XMeshFile("XSkinMeshHeader {\n1;\n1;\n5;\n}\n"));
    EXPECT_EQ(SkinOf(doc).boneCount, 0);
    EXPECT_TRUE(SkinOf(doc).boneWeights.empty());
}

// --- Animation sets -------------------------------------------------------------------------

TEST(XReaderAnimation, KeysAreStoredAsNumbers) {
    const XModel doc = LoadGood(XAnimFile(
        "AnimationSet Walk {\nAnimation {\n{ Pelvis }\nAnimationKey {\n4;\n2;\n"
        "0;16;1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;;,\n1000;16;1,0,0,0,0,1,0,0,0,0,1,0,5,6,7,1;;;\n}\n"
        "AnimationKey {\n2;\n1;\n0;3;1.0, 2.0 ,3.0;  ;  ;\n}\n{ Bip01 }\n}\n}\n"));
    ASSERT_EQ(doc.animSets.size(), 1u);
    const NodeAnimation& a = doc.animSets[0].animations[0];
    EXPECT_EQ(a.name, "Bip01");  // the later frame reference
    ASSERT_EQ(a.tracks.size(), 2u);
    EXPECT_EQ(a.tracks[0].keyType, 4);
    EXPECT_EQ(a.tracks[0].keyCount, 2);
    EXPECT_EQ(a.tracks[0].keys[1].time, 1000u);
    EXPECT_EQ(a.tracks[0].keys[1].valueCount, 16u);
    EXPECT_EQ(a.tracks[0].keys[1].values[13], 6.0f);
    EXPECT_FALSE(a.tracks[0].keys[1].isMatrix);
    EXPECT_EQ(a.tracks[1].keys[0].values, (std::vector<float>{1, 2, 3}));
}

TEST(XReaderAnimation, UnnamedSetsAreNamedThroughTheHookCountingEverySetRead) {
    const std::string set = kXAnimation + "}\n";
    std::vector<size_t> asked;
    XReadHooks hooks;
    hooks.nameUnnamedSet = [&](size_t index) -> std::optional<std::string> {
        asked.push_back(index);
        return index == 0 ? std::optional<std::string>("Entered") : std::nullopt;
    };
    // The last set ends with the file, without its closing brace.
    const XReadResult read =
        ReadXFile(XAnimFile("AnimationSet {\n" + set + "AnimationSet Named {\n" + set +
                            "AnimationSet {\n" + set + "AnimationSet {\n" + kXAnimation),
                  hooks);
    ASSERT_TRUE(read.ok()) << FailureOf(read.report);
    EXPECT_EQ(asked, (std::vector<size_t>{0, 2, 3}));
    const XModel& doc = read.model;
    ASSERT_EQ(doc.animSets.size(), 4u);
    EXPECT_EQ(doc.animSets[0].name, "Entered");
    EXPECT_EQ(doc.animSets[1].name, "Named");
    EXPECT_EQ(doc.animSets[2].name, "");
    EXPECT_EQ(doc.animSets[3].name, "");
}

// --- Bad counts -----------------------------------------------------------------------------

TEST(XReaderCounts, NegativeCountsEndTheLoadNamingTheCount) {
    const std::string lists = kXTriangleLists;
    const std::string weights = "SkinWeights {\n\"Pelvis\";\n-2;\n";
    struct Case {
        std::string text;
        std::string message;
        bool afterFrames;
    };
    const std::vector<Case> cases = {
        {XMeshFile("", "-3;\n"), "Negative vertex count -3 in mesh.", false},
        {XMeshFile("", "1;\n0;0;0;;\n-1;\n"), "Negative face count -1 in mesh.", false},
        {XMeshFile("MeshNormals {\n-2;\n"), "Negative normal count -2 in mesh normals.", false},
        {XMeshFile("MeshNormals {\n0;\n-4;\n"), "Negative normal face count -4 in mesh normals.",
         false},
        {XMeshFile("MeshTextureCoords {\n-5;\n"), "Negative texture coordinate count -5 in mesh.",
         false},
        {XMeshFile("MeshMaterialList {\n-1;\n"), "Negative material count -1 in material list.",
         false},
        {XMeshFile("MeshMaterialList {\n0;\n-7;\n"),
         "Negative face material count -7 in material list.", false},
        {XMeshFile("XSkinMeshHeader {\n-1;\n"),
         "Negative weights per vertex -1 in XSkinMeshHeader.", false},
        {XMeshFile("XSkinMeshHeader {\n1;\n-1;\n"),
         "Negative weights per face -1 in XSkinMeshHeader.", false},
        {XMeshFile("XSkinMeshHeader {\n1;\n1;\n-2;\n"),
         "Negative bone count -2 in XSkinMeshHeader.", false},
        {XMeshFile(weights), "Negative weight count -2 in SkinWeights.", false},
        {XMeshFile("VertexDuplicationIndices {\n-3;\n"),
         "Negative index count -3 in VertexDuplicationIndices.", false},
        {XAnimFile("AnimationSet Walk {\nAnimation {\nAnimationKey {\n4;\n-1;\n"),
         "Negative key count -1 in animation key.", true},
        {XAnimFile("AnimationSet Walk {\nAnimation {\nAnimationKey {\n4;\n1;\n0;-16;\n"),
         "Negative value count -16 in animation key.", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        LoadBad(c.text, c.message, c.afterFrames);
    }
}

// Indices are checked against their lists once the mesh block is read, so that nothing out
// of range is copied to the output; each failure names the block and the index.
TEST(XReaderCounts, IndicesOutsideTheirListsEndTheLoadNamingTheBlock) {
    const std::string material =
        "Material {\n1;1;1;1;;\n0;\n0;0;0;;\n0;0;0;;\nTextureFilename {\n\"a.bmp\";\n}\n}\n";
    struct Case {
        std::string text;
        std::string message;
    };
    const std::vector<Case> cases = {
        {XMeshFile("", "3;\n0;0;0;,\n1;0;0;,\n0;1;0;;\n1;\n3;0,1,3;;\n"),
         "Face 0 of mesh 'BodyMesh' names vertex 3, but mesh 'BodyMesh' has 3 vertices."},
        {XMeshFile("", "3;\n0;0;0;,\n1;0;0;,\n0;1;0;;\n2;\n3;0,1,2;,\n3;0,-1,-2147483648;;\n"),
         "Face 1 of mesh 'BodyMesh' names vertex -1, but mesh 'BodyMesh' has 3 vertices."},
        {XMeshFile("MeshNormals {\n1;\n0;0;1;;\n1;\n3;0,1,0;;\n}\n"),
         "Face 0 of the MeshNormals of mesh 'BodyMesh' names normal 1, but mesh 'BodyMesh' has 1 "
         "normal."},
        {XMeshFile("MeshMaterialList {\n1;\n1;\n1;\n" + material + "}\n"),
         "Face 0 of the MeshMaterialList of mesh 'BodyMesh' names material 1, but mesh "
         "'BodyMesh' has 1 material."},
        {XMeshFile("MeshMaterialList {\n0;\n1;\n0;\n}\n"),
         "Face 0 of the MeshMaterialList of mesh 'BodyMesh' names material 0, but mesh "
         "'BodyMesh' has 0 materials."},
        {XMeshFile("XSkinMeshHeader {\n1;\n1;\n1;\n}\n" + Weights("Pelvis", "-2")),
         "Weight 0 of the SkinWeights of bone 'Pelvis' names vertex -2, but mesh 'BodyMesh' has "
         "3 vertices."},
        {XRoot(XFrame("Body", "Mesh {\n1;\n0;0;0;;\n1;\n3;0,0,1;;\n}\n")),
         "Face 0 of the unnamed mesh names vertex 1, but the unnamed mesh has 1 vertex."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        LoadBad(c.text, c.message);
    }
}

TEST(XReaderCounts, HugeCountsInTruncatedFilesFailAtOnce) {
    // Nothing is allocated from the counts; each loop ends where the input does.
    LoadBad(XAnimFile("AnimationSet Walk {\nAnimation {\nAnimationKey {\n4;\n1;\n"
                      "0;4000000000;1.0,2.0,"),
            "Expected '';' in animation timed key'. Found ''", true);
    LoadBad(XAnimFile("AnimationSet Walk {\nAnimation {\nAnimationKey {\n4;\n2000000000;\n0;1;"),
            "Expected '';' in animation timed key'. Found ''", true);
    LoadBad(kXHeader + "Frame Scene_Root {\n" + kXMatrix + "Frame Body {\n" + kXMatrix +
                "Mesh {\n2000000000;\n0;0;0;,\n",
            "Expected '',' at end of vertex in mesh'. Found ''");
    LoadBad(XMeshFile("XSkinMeshHeader {\n1;\n1;\n2000000000;\n}\n" + Weights("Pelvis", "0")),
            "Expected 'SkinWeights'. Found '}'");
}

}  // namespace
}  // namespace toravel
