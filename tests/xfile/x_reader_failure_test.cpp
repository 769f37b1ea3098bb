// Every failure of the X reader: the one message with its title, and what the document holds
// afterwards (frames appended so far, linked only once all frames were read; the sets
// completed before the failure; never loaded).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/x_load_command.h"
#include "support/dump_questions.h"
#include "support/scripted_interaction.h"
#include "xfile/xreader_test_util.h"

namespace toravel {
namespace {

using testing::kXAnimation;
using testing::kXHeader;
using testing::kXMatrix;
using testing::ScriptedInteraction;
using testing::XAnimFile;
using testing::XFrame;
using testing::XMeshFile;
using testing::XRoot;

struct Prompt {
    std::string text;
    std::string title;
    bool question = false;
};

const Prompt kDumpTree{testing::DumpTreeText(), "Dump?", true};

Prompt Invalid(std::string text) {
    return {std::move(text), "Invalid File"};
}
Prompt Expected(const std::string& expected, const std::string& found) {
    return Invalid("Expected '" + expected + "'. Found '" + found + "'");
}
Prompt ExpectedOpen(const std::string& found) {
    return Invalid("Expected open bracket '{'. Found '" + found + "'");
}
Prompt ExpectedClose(const std::string& found) {
    return Invalid("Expected close bracket '}'. Found '" + found + "'");
}

struct FailureCase {
    std::string name;
    std::string text;
    std::vector<Prompt> prompts;
    size_t frames;  // frames in the document after the failure
    size_t sets;    // animation sets in the document after the failure
};

// A mesh file whose triangle lists are followed by `blocks`.
std::string Mesh(const std::string& blocks) {
    return XMeshFile(blocks);
}
// A mesh file that ends after `content`, without any closing brace.
std::string OpenMesh(const std::string& content) {
    return kXHeader + "Frame Scene_Root {\n" + kXMatrix + "Frame Body {\n" + kXMatrix + "Mesh {\n" +
           content;
}
std::string Material(const std::string& body) {
    return Mesh("MeshMaterialList {\n1;\n1;\n0;\nMaterial {\n" + body + "}\n}\n");
}
const std::string kColours = "1.0;1.0;1.0;1.0;;\n0.0;\n0.0;0.0;0.0;;\n0.0;0.0;0.0;;\n";
std::string Skin(const std::string& weights) {
    return Mesh("XSkinMeshHeader {\n1;\n1;\n1;\n}\nSkinWeights {\n" + weights + "}\n");
}
const std::string kOffset = "1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0;;\n";
std::string Set(const std::string& animationBody) {
    return "AnimationSet Walk {\nAnimation {\n" + animationBody + "}\n}\n";
}
std::string Key(const std::string& values) {
    return "AnimationKey {\n" + values + "}\n{ Bip01 }\n";
}
// A second set after one that reads completely.
std::string AfterGoodSet(const std::string& set) {
    return XAnimFile("AnimationSet Good {\n" + kXAnimation + "}\n" + set);
}

std::vector<FailureCase> Cases() {
    const std::string bip = XFrame("Bip01");
    return {
        // Header, templates and frames.
        {"header with trailing blank",
         "xof 0303txt 0032 \n" + XRoot(bip).substr(kXHeader.size()),
         {Invalid("Invalid Header")},
         0,
         0},
        {"other version", "xof 0302txt 0032\n", {Invalid("Invalid Header")}, 0, 0},
        {"empty file", "", {Invalid("Invalid Header")}, 0, 0},
        {"templates only",
         kXHeader + "template Vector {\n <3D82AB5E>\n FLOAT x;\n}\n",
         {Invalid("Unexpected end-of-file in templates section")},
         0,
         0},
        {"mesh first",
         kXHeader + "Mesh {\n",
         {Invalid("Expected 'frames' token. Found Mesh")},
         0,
         0},
        {"outer frame not Scene_Root",
         kXHeader + "Frame Root {\n",
         {Invalid("Expected 'Scene_Root' frame. Found Root")},
         0,
         0},
        {"Scene_Root without brace",
         kXHeader + "Frame Scene_Root\n" + kXMatrix,
         {ExpectedOpen("FrameTransformMatrix")},
         0,
         0},
        {"Scene_Root empty",
         kXHeader + "Frame Scene_Root {\n}\n",
         {{"Transform Matrix NOT found for Scene_Root. Continuing.", "Possible Error"},
          Expected("Frame", "}")},
         0,
         0},
        {"matrix keyword on the root's line",
         kXHeader +
             "Frame Scene_Root { FrameTransformMatrix {\n1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;;\n}\n",
         {Expected("FrameTransformMatrix", "{")},
         0,
         0},
        {"matrix on its brace line",
         kXHeader +
             "Frame Scene_Root {\nFrameTransformMatrix { 1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;;\n}\n" +
             bip + "}\n",
         {Invalid("Comma or semicolon error in transform matrix")},
         0,
         0},
        {"matrix with one semicolon",
         kXHeader +
             "Frame Scene_Root {\nFrameTransformMatrix {\n1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;\n}\n",
         {Invalid("Comma or semicolon error in transform matrix")},
         0,
         0},
        {"matrix with a semicolon inside",
         kXHeader +
             "Frame Scene_Root {\nFrameTransformMatrix {\n1,0,0,0;0,1,0,0,0,0,1,0,0,0,0,1;;\n}\n",
         {Invalid("Comma or semicolon error in transform matrix")},
         0,
         0},
        {"matrix without closing brace",
         kXHeader +
             "Frame Scene_Root {\nFrameTransformMatrix {\n1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;;\nFrame",
         {ExpectedClose("Frame")},
         0,
         0},
        {"child frame without brace",
         XRoot("Frame Bip01\n" + kXMatrix + "}\n"),
         {ExpectedOpen("FrameTransformMatrix in frame Bip01")},
         1,
         0},
        {"unnamed child frame without closing brace",
         XRoot("Frame {\n" + kXMatrix + "Mesh2\n"),
         {ExpectedClose("Mesh2 in frame ")},
         2,
         0},
        {"child frame without matrix",
         XRoot("Frame Bip01 {\n" + XFrame("Pelvis") + "}\n"),
         {Expected("FrameTransformMatrix", "Frame")},
         1,
         0},
        {"mesh after a child frame",
         XRoot("Frame Bip01 {\n" + kXMatrix + XFrame("Pelvis") + "Mesh {\n}\n}\n"),
         {ExpectedClose("Mesh in frame Bip01")},
         3,
         0},
        {"Scene_Root not closed",
         kXHeader + "Frame Scene_Root {\n" + kXMatrix + bip,
         {ExpectedClose(" in frame Scene_Root")},
         2,
         0},
        {"Scene_Root closed by something else",
         kXHeader + "Frame Scene_Root {\n" + kXMatrix + bip + "Mesh\n",
         {ExpectedClose("Mesh in frame Scene_Root")},
         2,
         0},

        // Meshes.
        {"mesh without brace",
         XRoot(XFrame("Body", "Mesh Body\n3;\n")),
         {ExpectedOpen("3;")},
         1,
         0},
        {"vertex count terminator",
         XMeshFile("", "3,\n"),
         {Expected(" semicolon following num vertices in mesh", ",")},
         1,
         0},
        {"vertex list terminator",
         XMeshFile("", "2;\n0;0;0;,\n1;0;0;,\n1;\n3;0,1,2;;\n"),
         {Expected("';' at end of vertices in mesh", ",")},
         1,
         0},
        {"vertex separator",
         XMeshFile("", "2;\n0;0;0;;\n1;0;0;;\n"),
         {Expected("',' at end of vertex in mesh", ";")},
         1,
         0},
        {"face count terminator",
         XMeshFile("", "1;\n0;0;0;;\n1\n"),
         {Expected(" semicolon following num faces in mesh", "}")},
         1,
         0},
        {"four-index face",
         XMeshFile("", "3;\n0;0;0;,\n1;0;0;,\n0;1;0;;\n2;\n4;0,1,2,3;,\n3;0,1,2;;\n"),
         {Expected("',' at end of face indices in mesh", "3;,")},
         1,
         0},
        {"face list terminator",
         XMeshFile("", "3;\n0;0;0;,\n1;0;0;,\n0;1;0;;\n1;\n3;0,1,2;,\n"),
         {Expected("';' at end of face indices in mesh", ",")},
         1,
         0},
        {"semicolon against the next number",
         XMeshFile("", "1;\n0;0;0;;\n1;3;0,1,2;;\n"),
         {Expected(" semicolon following num faces in mesh", ";3;0,1,2;;")},
         1,
         0},
        {"input ends after the face list", OpenMesh(testing::kXTriangleLists), {}, 1, 0},
        {"normals without brace", Mesh("MeshNormals\n1;\n"), {ExpectedOpen("1;")}, 1, 0},
        {"normals not closed",
         OpenMesh(testing::kXTriangleLists + "MeshNormals {\n1;\n0;0;1;;\n1;\n3;0,0,0;;\n"),
         {ExpectedClose("")},
         1,
         0},
        {"normal list terminator",
         Mesh("MeshNormals {\n1;\n0;0;1;,\n"),
         {Expected("';' at end of vertices in mesh", ",")},
         1,
         0},
        {"texture coordinates count",
         Mesh("MeshTextureCoords {\n1,\n"),
         {Expected("';' after num texture coords", ",")},
         1,
         0},
        {"texture coordinates last",
         Mesh("MeshTextureCoords {\n1;\n0;0;,\n}\n"),
         {Expected("';' at end of tex coords", ",")},
         1,
         0},
        {"texture coordinates other",
         Mesh("MeshTextureCoords {\n2;\n0;0;;\n"),
         {Expected("',' at end of tex coord", ";")},
         1,
         0},
        {"texture coordinates without brace",
         Mesh("MeshTextureCoords\n"),
         {ExpectedOpen("}")},
         1,
         0},
        {"duplication index count",
         Mesh("VertexDuplicationIndices {\n3,\n"),
         {Expected("semicolon following nIndices in VertexDuplicationIndices", ",")},
         1,
         0},
        {"duplication original count",
         Mesh("VertexDuplicationIndices {\n3;\n3,\n"),
         {Expected("semicolon following nOriginalVertices in VertexDuplicationIndices", ",")},
         1,
         0},
        {"duplication index separator",
         Mesh("VertexDuplicationIndices {\n2;\n3;\n0;\n1:\n}\n"),
         {Expected("semicolon or comma in vertex duplication indices", ":")},
         1,
         0},
        {"duplication not closed",
         Mesh("VertexDuplicationIndices {\n1;\n3;\n0;\n;\n"),
         {ExpectedClose(";")},
         1,
         0},

        // Materials.
        {"material count",
         Mesh("MeshMaterialList {\n1,\n"),
         {Expected("';' after num materials", ",")},
         1,
         0},
        {"face material count",
         Mesh("MeshMaterialList {\n1;\n1,\n"),
         {Expected("';' after num materials indices", ",")},
         1,
         0},
        {"face material last",
         Mesh("MeshMaterialList {\n1;\n1;\n0,\n"),
         {Expected("';' at end of material list indices", ",")},
         1,
         0},
        {"face material other",
         Mesh("MeshMaterialList {\n1;\n2;\n0;\n0;\n"),
         {Expected("',' after material list index number", ";")},
         1,
         0},
        {"fewer materials than counted",
         Mesh("MeshMaterialList {\n2;\n1;\n0;\nMaterial {\n" + kColours +
              "TextureFilename {\n\"a.bmp\";\n}\n}\n}\n"),
         {Expected("Material", "}")},
         1,
         0},
        {"material reference",
         Mesh("MeshMaterialList {\n1;\n1;\n0;\n{ Skin }\n}\n"),
         {Expected("Material", "{")},
         1,
         0},
        {"material without brace",
         Mesh("MeshMaterialList {\n1;\n1;\n0;\nMaterial Skin\n"),
         {ExpectedOpen("}")},
         1,
         0},
        {"material colour",
         Material("1.0;1.0;1.0;1.0;\n0.0;\n"),
         {Expected("';' at end of material color", "0.0;")},
         1,
         0},
        {"material power",
         Material("1.0;1.0;1.0;1.0;;\n0.0,\n"),
         {Expected("';' at end of material power", ",")},
         1,
         0},
        {"material specular",
         Material("1.0;1.0;1.0;1.0;;\n0.0;\n0.0;0.0;0.0;,\n"),
         {Expected("';' at end of material diffuse", ",")},
         1,
         0},
        {"material emissive",
         Material("1.0;1.0;1.0;1.0;;\n0.0;\n0.0;0.0;0.0;;\n0.0;0.0;0.0;\n}\n"),
         {Expected("';' at end of material ambient", "}")},
         1,
         0},
        {"texture keyword",
         Material(kColours + "Texture {\n"),
         {Expected("'TextureFilename' in material", "Texture")},
         1,
         0},
        {"texture brace",
         Material(kColours + "TextureFilename\n\"a.bmp\";\n"),
         {Expected("'{' following 'TextureFilename'", "\"a.bmp\";")},
         1,
         0},
        {"texture line with a word after the semicolon",
         Material(kColours + "TextureFilename {\n\"a.bmp\"; x\n}\n"),
         {Expected("';' after name of texture file in material", "\"a.bmp\"; x")},
         1,
         0},
        {"texture line missing at the end",
         OpenMesh(testing::kXTriangleLists + "MeshMaterialList {\n1;\n1;\n0;\nMaterial {\n" +
                  kColours + "TextureFilename {\n"),
         {Expected("';' after name of texture file in material", "")},
         1,
         0},
        {"texture name without its closing quote",
         Material(kColours + "TextureFilename {\n       \"abcde;\n}\n"),
         {Invalid("Invalid texture filename:        \"abcde;")},
         1,
         0},
        {"texture name without an opening quote",
         Material(kColours + "TextureFilename {\n    abcde\";\n}\n"),
         {Invalid("Invalid texture filename:     abcde\";")},
         1,
         0},
        {"texture block on one line",
         Material(kColours + "TextureFilename { \"a.bmp\"; }\n}\n"),
         {Expected("';' after name of texture file in material", "}")},
         1,
         0},
        {"texture not closed",
         Material(kColours + "TextureFilename {\n\"a.bmp\";\n;\n"),
         {ExpectedClose(";")},
         1,
         0},
        {"material not closed",
         Material(kColours + "TextureFilename {\n\"a.bmp\";\n}\n;\n"),
         {ExpectedClose(";")},
         1,
         0},
        {"material list not closed",
         Mesh("MeshMaterialList {\n1;\n1;\n0;\nMaterial {\n" + kColours +
              "TextureFilename {\n\"a.bmp\";\n}\n}\n;\n"),
         {ExpectedClose(";")},
         1,
         0},

        // Skin.
        {"skin header per vertex",
         Mesh("XSkinMeshHeader {\n1,\n"),
         {Expected("';' in XSkinMeshHeader num wts per vert", ",")},
         1,
         0},
        {"skin header per face",
         Mesh("XSkinMeshHeader {\n1;\n1,\n"),
         {Expected("';' in XSkinMeshHeader num wts per face", ",")},
         1,
         0},
        {"skin header bones",
         Mesh("XSkinMeshHeader {\n1;\n1;\n1,\n"),
         {Expected("';' in XSkinMeshHeader num bones", ",")},
         1,
         0},
        {"skin header not closed",
         Mesh("XSkinMeshHeader {\n1;\n1;\n1;\n;\n"),
         {ExpectedClose(";")},
         1,
         0},
        {"skin header without brace", Mesh("XSkinMeshHeader\n1;\n"), {ExpectedOpen("1;")}, 1, 0},
        {"skin weights without brace",
         Mesh("XSkinMeshHeader {\n1;\n1;\n1;\n}\nSkinWeights\n"),
         {Expected("SkinWeights open bracket", "}")},
         1,
         0},
        {"bone name without semicolon",
         Skin("\"Bip01\"\n"),
         {Invalid("Invalid bone name in SkinWeights: \"Bip01\"")},
         1,
         0},
        {"bone name without its closing quote",
         Skin("      \"Bip;\n"),
         {Invalid("Invalid bone name in SkinWeights:       \"Bip;")},
         1,
         0},
        {"bone name without an opening quote",
         Skin("  Bip01;\n"),
         {Invalid("Invalid bone name in SkinWeights:   Bip01;")},
         1,
         0},
        {"weight count",
         Skin("\"Bip01\";\n1,\n"),
         {Expected("semicolon after num verts in skinweight", ",")},
         1,
         0},
        {"weight index last",
         Skin("\"Bip01\";\n1;\n0,\n"),
         {Expected("semicolon after skinweight vertex indices", ",")},
         1,
         0},
        {"weight index other",
         Skin("\"Bip01\";\n2;\n0;\n"),
         {Expected("comma after skinweight vertex indices", ";")},
         1,
         0},
        {"weight last",
         Skin("\"Bip01\";\n1;\n0;\n1.0,\n"),
         {Expected("semicolon after skinweight vertex weights", ",")},
         1,
         0},
        {"weight other",
         Skin("\"Bip01\";\n2;\n0,\n1;\n1.0;\n"),
         {Expected("comma after skinweight vertex weight", ";")},
         1,
         0},
        {"offset matrix",
         Skin("\"Bip01\";\n1;\n0;\n1.0;\n1.0,0.0;\n"),
         {Invalid("Comma or semicolon error in transform matrix")},
         1,
         0},
        {"skin weights not closed",
         Skin("\"Bip01\";\n1;\n0;\n1.0;\n" + kOffset + ";\n"),
         {ExpectedClose(";")},
         1,
         0},
        {"fewer skin weights than bones",
         Mesh("XSkinMeshHeader {\n1;\n1;\n2;\n}\nSkinWeights {\n\"Bip01\";\n1;\n0;\n1.0;\n" +
              kOffset + "}\n"),
         {Expected("SkinWeights", "}")},
         1,
         0},

        // Animation sets.
        {"set without brace",
         XAnimFile("AnimationSet Walk\nAnimation {\n"),
         {kDumpTree, ExpectedOpen("Animation")},
         2,
         0},
        {"named animation",
         XAnimFile("AnimationSet Walk {\nAnimation Walk_Bip01 {\n"),
         {kDumpTree, ExpectedOpen("Walk_Bip01")},
         2,
         0},
        {"key without brace",
         XAnimFile(Set("AnimationKey\n4;\n")),
         {kDumpTree, ExpectedOpen("4;")},
         2,
         0},
        {"frame reference not closed",
         XAnimFile(Set("{ Bip01 Pelvis }\n")),
         {kDumpTree, Expected("Close bracket after animation frame reference", "Pelvis")},
         2,
         0},
        {"no frame reference",
         XAnimFile(Set("AnimationKey {\n2;\n1;\n0;1;1.0;;;\n}\nBip01\n")),
         {kDumpTree, Invalid("Animation without frame reference.")},
         2,
         0},
        {"animation options",
         XAnimFile(Set("AnimationOptions {\n1;\n0;\n}\n" + Key("2;\n1;\n0;1;1.0;;;\n"))),
         {kDumpTree, Expected("Close bracket after animation frame reference", "0;")},
         2,
         0},
        {"input ends inside an animation",
         XAnimFile("AnimationSet Walk {\nAnimation {\n{ Bip01 }\n"),
         {kDumpTree, Invalid("Unexpected EOF reading animationset.")},
         2,
         0},
        {"animation without keys",
         XAnimFile(Set("{ Bip01 }\n")),
         {kDumpTree, Invalid("Animation Bip01 has no animation keys.")},
         2,
         0},
        {"key type terminator",
         XAnimFile(Set(Key("4,\n"))),
         {kDumpTree, Expected("semicolon following animation key type", ",")},
         2,
         0},
        {"key count terminator",
         XAnimFile(Set(Key("4;\n1,\n"))),
         {kDumpTree, Expected("semicolon following animation num keys", ",")},
         2,
         0},
        {"key with one semicolon",
         XAnimFile(Set(Key("2;\n2;\n0;1;1.0;\n1000;1;2.0;;;\n"))),
         {kDumpTree, Expected("';' in animation timed key", "1")},
         2,
         0},
        {"key end",
         XAnimFile(Set(Key("2;\n1;\n0;1;1.0;;:\n"))),
         {kDumpTree, Expected("semicolon or comma at end of animation timed key", ":")},
         2,
         0},
        {"key block not closed",
         XAnimFile(Set("AnimationKey {\n2;\n1;\n0;1;1.0;;;\n;\n")),
         {kDumpTree, ExpectedClose(";")},
         2,
         0},
        {"set not closed",
         AfterGoodSet("AnimationSet Run {\n" + kXAnimation + "Frame\n"),
         {kDumpTree, ExpectedClose("Frame")},
         2,
         1},
    };
}

TEST(XReaderFailures, EachShowsItsOneMessageAndLeavesTheDocumentAsRead) {
    testing::TempDir dir;
    for (const FailureCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        ScriptedInteraction ui;
        for (const Prompt& p : c.prompts) {
            if (p.question) {
                ui.ExpectYesNo(p.text, p.title, false, false);
            } else {
                ui.ExpectMessage(p.text, p.title);
            }
        }
        XFileReader doc;
        EXPECT_FALSE(testing::LoadXText(doc, dir, c.text, ui));
        ui.ExpectDone();
        EXPECT_FALSE(doc.loaded);
        EXPECT_TRUE(doc.fileName.empty());
        EXPECT_TRUE(doc.filePath.empty());
        EXPECT_EQ(doc.frames.size(), c.frames);
        EXPECT_EQ(doc.animSets.size(), c.sets);
        // Frames are linked exactly when the failure came after all of them were read.
        const bool framesDone = !c.prompts.empty() && c.prompts.front().question;
        if (doc.frames.size() > 1) {
            EXPECT_EQ(doc.frames[0].firstChild != kNoNode, framesDone);
        }
        EXPECT_EQ(ui.repaints, 1);
    }
}

}  // namespace
}  // namespace toravel
