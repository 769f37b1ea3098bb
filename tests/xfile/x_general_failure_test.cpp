// Every failure of the general X reader is one message that names the file, the place and
// what was expected.
#include <gtest/gtest.h>

#include <ostream>

#include <string>

#include "xfile/x_general_parser.h"
#include "xfile/x_general_reader.h"

namespace toravel::testing {
namespace {

const std::string kHeader = "xof 0303txt 0032\n";
const std::string kBinaryHeader = "xof 0303bin 0032";

std::string Word(uint16_t v) {
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}
std::string Dword(uint32_t v) {
    return Word(static_cast<uint16_t>(v & 0xFFFF)) + Word(static_cast<uint16_t>(v >> 16));
}

// A mesh of three vertices around `rest` (its faces and sub-objects).
std::string Mesh(const std::string& rest) {
    return kHeader + "Frame F {\n Mesh M {\n  3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;;\n" +
           rest + "\n }\n}\n";
}

struct FailureCase {
    const char* name;
    std::string bytes;
    std::string message;
};

// Names the case in the test output; by default GoogleTest prints the object's bytes, some of
// which (padding, unused string storage) were never set.
void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class XGeneralFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(XGeneralFailureTest, FailsWithOneClearMessage) {
    const XGeneralResult result = ReadXGeneral(GetParam().bytes, "case.x");
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.error, GetParam().message);
}

const FailureCase kCases[] = {
    {"NotAnXFile", "hello, world",
     "case.x: expected an X file header such as 'xof 0303txt 0032' (format txt, bin, tzip or "
     "bzip; float size 0032 or 0064), found 'hello, world'"},
    {"UnknownFloatSize", "xof 0303txt 0016\nFrame A { }\n",
     "case.x: expected an X file header such as 'xof 0303txt 0032' (format txt, bin, tzip or "
     "bzip; float size 0032 or 0064), found 'xof 0303txt 0016'"},
    {"FrameNotClosed", kHeader + "Frame A {\n Frame B {\n }\n",
     "case.x, line 5: expected '}' to close Frame 'A' (opened at line 2), found the end of the "
     "data"},
    {"BraceClosingNothing", kHeader + "Frame A { }\n}\n",
     "case.x, line 3: a '}' at the top level that closes nothing"},
    {"ObjectWithoutBrace", kHeader + "\nFrame A Mesh {\n",
     "case.x, line 3: expected '{' to open Frame 'A', found 'Mesh'"},
    {"UnknownObjectNotClosed", kHeader + "Extra {\n { Inner }\n",
     "case.x, line 4: expected '}' to close Extra (opened at line 2), found the end of the data"},
    {"StringNotClosed", Mesh("1; 3;0,1,2;;\nSkinWeights { \"Bone; 1; 0; 1.0;"),
     "case.x, line 6: a string that is not closed before the end of the data"},
    {"LetterForNumber", kHeader + "Mesh M {\n 2; 0.0;0.0;0.0;,\n 1.0;x;0.0;;\n",
     "case.x, line 4: expected a vertex coordinate in Mesh 'M', found 'x'"},
    {"NegativeCount", kHeader + "Mesh M {\n -1;\n}\n",
     "case.x, line 3: expected the vertex count in Mesh 'M', found '-1'"},
    {"CountTooLarge", kHeader + "Mesh M {\n 4294967295;\n}\n",
     "case.x, line 3: the vertex count 4294967295 in Mesh 'M' is too large"},
    // A count far beyond the data is read until the data runs out; nothing is sized by it.
    {"CountBeyondTheData", kHeader + "Mesh M {\n 2000000000; 0.0;0.0;0.0;;\n}\n",
     "case.x, line 4: expected a vertex coordinate in Mesh 'M', found '}'"},
    {"VertexOutOfRange", Mesh("  2; 3;0,1,2;, 3;0,1,5;;"),
     "case.x, line 5: face 1 of Mesh 'M' names vertex 5, but the mesh has 3 vertices"},
    {"FaceOfTwoCorners", Mesh("  1; 2;0,1;;"),
     "case.x, line 5: face 0 of Mesh 'M' has 2 corners; a face needs at least 3"},
    {"NormalsForOtherFaces",
     Mesh("  1; 3;0,1,2;;\n  MeshNormals { 1; 0.0;0.0;1.0;; 2; 3;0,0,0;, 3;0,0,0;; }"),
     "case.x, line 6: MeshNormals of mesh 'M' has 2 faces, but the mesh has 1"},
    {"NormalFaceOfOtherShape",
     Mesh("  1; 3;0,1,2;;\n  MeshNormals { 1; 0.0;0.0;1.0;; 1; 4;0,0,0,0;; }"),
     "case.x, line 6: face 0 of MeshNormals of mesh 'M' has 4 corners, but the mesh's face has 3"},
    {"NormalOutOfRange", Mesh("  1; 3;0,1,2;;\n  MeshNormals { 1; 0.0;0.0;1.0;; 1; 3;0,1,0;; }"),
     "case.x, line 6: face 0 of MeshNormals of mesh 'M' names normal 1, but there are 1 "
     "normals"},
    {"MaterialOutOfRange",
     Mesh("  1; 3;0,1,2;;\n  MeshMaterialList { 1; 1; 3;;\n"
          "   Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; } }"),
     "case.x, line 6: face 0 of mesh 'M' uses material 3, but its material list holds 1"},
    {"UnresolvedMaterial", Mesh("  1; 3;0,1,2;;\n  MeshMaterialList { 1; 1; 0;;\n   { Missing } }"),
     "case.x, line 7: the reference { Missing } in mesh 'M' names no Material"},
    {"UnresolvedMesh", kHeader + "Frame F {\n { Nowhere }\n}\n",
     "case.x, line 3: the reference { Nowhere } in frame 'F' names no mesh or other data "
     "object"},
    {"SkinVertexOutOfRange",
     Mesh("  1; 3;0,1,2;;\n  SkinWeights { \"B\"; 1; 7; 1.0;\n"
          "   1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0;; }"),
     "case.x, line 6: SkinWeights of bone 'B' names vertex 7, but mesh 'M' has 3 vertices"},
    {"RotationKeyOfThreeValues",
     kHeader + "AnimationSet S {\n Animation {\n  { F }\n  AnimationKey { 0; 1;\n"
               "   0;3;1.0,0.0,0.0;;; }\n }\n}\n",
     "case.x, line 6: key 0 of an AnimationKey of type 0 has 3 values; a rotation key has 4"},
    {"AnimationWithoutFrame",
     kHeader + "AnimationSet S {\n Animation A {\n  AnimationKey { 2; 1; 0;3;1.0,0.0,0.0;;; }\n"
               " }\n}\n",
     "case.x, line 3: Animation 'A' names no frame: expected a reference such as { FrameName }"},
    {"ValueInFrame", kHeader + "Frame F {\n 1.0;\n}\n",
     "case.x, line 3: expected a data object or '}' in Frame 'F', found '1.0'"},
    {"BinaryListPastTheEnd", kBinaryHeader + Word(7) + Dword(16) + std::string(8, '\0'),
     "case.x, byte offset 22: a float list that runs past the end of the data"},
    {"BinaryUnknownToken", kBinaryHeader + Word(1) + Dword(5) + "Frame" + Word(0x99),
     "case.x, byte offset 27: an unknown token number 153"},
    {"BinaryNameForNumber",
     kBinaryHeader + Word(1) + Dword(4) + "Mesh" + Word(0x0A) + Word(1) + Dword(1) + "x",
     "case.x, byte offset 28: expected the vertex count in Mesh, found 'x'"},
};

INSTANTIATE_TEST_SUITE_P(Cases, XGeneralFailureTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FailureCase>& info) {
                             return std::string(info.param.name);
                         });

// Below Scene_Root (here supplied, as the outermost frames are unnamed) frames nest as deep as
// the SMD readers accept; the text holds that many frames without recursion and one more
// fails. Skipped objects nest up to kMaxXGeneralNesting levels.
std::string Nested(size_t levels) {
    std::string text = kHeader;
    for (size_t i = 0; i < levels; ++i) {
        text += "Frame{\n";
    }
    return text + std::string(levels, '}');
}

TEST(XGeneralNesting, ReadsFramesAsDeepAsTheLimit) {
    const XGeneralResult result = ReadXGeneral(Nested(100000), "case.x");
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.content->frames.size(), 100001u);
    EXPECT_EQ(result.content->frames.back().parentId, 99999);
}

TEST(XGeneralNesting, RefusesOneLevelMore) {
    const XGeneralResult result = ReadXGeneral(Nested(100001), "case.x");
    EXPECT_EQ(result.error, "case.x: frames nested more than 100000 levels below Scene_Root");
    // A file's own Scene_Root is the level above the limit.
    const XGeneralResult own = ReadXGeneral(
        kHeader + "Frame Scene_Root {\n" + Nested(100000).substr(kHeader.size()) + "}\n", "case.x");
    ASSERT_TRUE(own.ok()) << own.error;
    EXPECT_EQ(own.content->frames.size(), 100001u);
}

// Inside frame F and the skipped object Extra, `braces` more levels.
std::string SkippedNesting(size_t braces) {
    return kHeader + "Frame F {\n Extra {\n" + std::string(braces, '{') + std::string(braces, '}') +
           "\n }\n}\n";
}

TEST(XGeneralNesting, CountsTheLevelsOfSkippedObjects) {
    EXPECT_TRUE(ReadXGeneral(SkippedNesting(kMaxXGeneralNesting - 2), "case.x").ok());
    EXPECT_EQ(ReadXGeneral(SkippedNesting(kMaxXGeneralNesting - 1), "case.x").error,
              "case.x, line 4: data objects nested more than " +
                  std::to_string(kMaxXGeneralNesting) + " levels deep");
}

}  // namespace
}  // namespace toravel::testing
