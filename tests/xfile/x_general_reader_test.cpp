// The general X reader on its fixtures: each text fixture reads to what the fixture says,
// and its binary and compressed encodings read to the same records.
#include "xfile/x_general_reader.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "xfile/x_encodings.h"
#include "xfile/x_general_fixtures.h"

namespace toravel::testing {
namespace {

class XGeneralFixtureTest : public ::testing::TestWithParam<size_t> {
  protected:
    const XFixture& fixture() const { return XGeneralFixtures()[GetParam()]; }
};

TEST_P(XGeneralFixtureTest, TextReadsAsTheFixtureSays) {
    const XGeneralResult result = ReadXGeneral(fixture().text, "case.x");
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_TRUE(result.warnings.empty()) << result.warnings.front();
    const XCounts counts = CountsOf(*result.content);
    EXPECT_EQ(counts.frames, fixture().counts.frames);
    EXPECT_EQ(counts.triangles, fixture().counts.triangles);
    EXPECT_EQ(counts.bones, fixture().counts.bones);
    EXPECT_EQ(counts.sets, fixture().counts.sets);
    fixture().check(*result.content);
}

TEST_P(XGeneralFixtureTest, BinaryAndCompressedEncodingsReadTheSameRecords) {
    const XGeneralResult text = ReadXGeneral(fixture().text, "case.x");
    ASSERT_TRUE(text.ok()) << text.error;
    const std::string binary = TextToBinaryX(fixture().text);
    struct Encoded {
        const char* what;
        std::string bytes;
        XEncoding encoding;
    };
    // Small blocks make every block but the first depend on the history before it.
    const Encoded encodings[] = {
        {"binary", binary, XEncoding::kBinary},
        {"tzip", CompressX(fixture().text), XEncoding::kCompressedText},
        {"tzip in 61-byte blocks", CompressX(fixture().text, 61), XEncoding::kCompressedText},
        {"bzip", CompressX(binary), XEncoding::kCompressedBinary},
        {"bzip in 50-byte blocks", CompressX(binary, 50), XEncoding::kCompressedBinary},
    };
    for (const Encoded& encoded : encodings) {
        SCOPED_TRACE(encoded.what);
        const XGeneralResult result = ReadXGeneral(encoded.bytes, "case.x");
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(result.content->format.encoding, encoded.encoding);
        EXPECT_EQ(result.content->format.floatBits, text.content->format.floatBits);
        EXPECT_EQ(FirstDifference(*result.content, *text.content), "");
        EXPECT_EQ(result.warnings, text.warnings);
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, XGeneralFixtureTest,
                         ::testing::Range<size_t>(0, XGeneralFixtures().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             return XGeneralFixtures()[info.param].name;
                         });

}  // namespace
}  // namespace toravel::testing

namespace toravel::testing {
namespace {

const std::string kHeader = "xof 0303txt 0032\n";

TEST(XGeneralSkipped, NamesWhereEachKindWasFirstMet) {
    const XFixture& extras = XGeneralFixtures()[13];
    ASSERT_EQ(extras.name, "extras_skipped");
    const XGeneralResult text = ReadXGeneral(extras.text, "case.x");
    ASSERT_TRUE(text.ok()) << text.error;
    ASSERT_EQ(text.content->skipped.size(), 7u);
    EXPECT_EQ(text.content->skipped[0].firstPlace, "line 5");  // FrameMeshName
    EXPECT_EQ(text.content->skipped[1].firstPlace, "line 9");  // the first of two
    const XGeneralResult tzip = ReadXGeneral(CompressX(extras.text, 100), "case.x");
    ASSERT_TRUE(tzip.ok()) << tzip.error;
    EXPECT_EQ(tzip.content->skipped[1].firstPlace, "line 9 of the inflated text");
    const std::string binary = TextToBinaryX(extras.text);
    const XGeneralResult bin = ReadXGeneral(binary, "case.x");
    ASSERT_TRUE(bin.ok()) << bin.error;
    const size_t at = binary.find("VertexDuplicationIndices") - 6;  // its name token
    EXPECT_EQ(bin.content->skipped[1].firstPlace, "byte offset " + std::to_string(at));
}

struct LenientCase {
    const char* name;
    std::string text;
    std::vector<std::string> warnings;
    std::function<void(const XGeneralContent&)> check;
};

// Names the case in the test output; by default GoogleTest prints the object's bytes, some of
// which (padding, unused string storage) were never set.
void PrintTo(const LenientCase& c, std::ostream* os) {
    *os << c.name;
}

class XGeneralLenientTest : public ::testing::TestWithParam<LenientCase> {};

TEST_P(XGeneralLenientTest, ReadsWithItsWarnings) {
    const XGeneralResult result = ReadXGeneral(GetParam().text, "case.x");
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.warnings, GetParam().warnings);
    GetParam().check(*result.content);
}

std::string Quad(const std::string& rest) {
    return kHeader + "Mesh M {\n 4; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.0;1.0;0.0;, 0.0;1.0;0.0;;\n" +
           " 2; 4;0,1,2,3;, 3;0,1,2;;\n" + rest + "\n}\n";
}

const std::string kMaterial = "Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }";

const LenientCase kLenientCases[] = {
    {"FewerFaceMaterialsThanFaces",
     Quad(" MeshMaterialList { 2; 1; 1;; " + kMaterial + " " + kMaterial + " }"),
     {"case.x, line 5: the material list of mesh 'M' gives 1 face materials for 2 faces"},
     [](const XGeneralContent& c) {
         // The last index holds for the faces after it; the quad gives two triangles.
         EXPECT_EQ(c.frames.at(1).mesh.faceMaterials, (std::vector<int32_t>{1, 1, 1}));
     }},
    {"NoFaceMaterialsForOneMaterial",
     Quad(" MeshMaterialList { 1; 0; " + kMaterial + " }"),
     {"case.x, line 5: the material list of mesh 'M' gives 0 face materials for 2 faces"},
     [](const XGeneralContent& c) {
         EXPECT_EQ(c.frames.at(1).mesh.faceMaterials, (std::vector<int32_t>{0, 0, 0}));
     }},
    {"MoreMaterialsDeclaredThanGiven",
     Quad(" MeshMaterialList { 2; 2; 0,0;; " + kMaterial + " }"),
     {"case.x, line 5: the material list of mesh 'M' declares 2 materials and holds 1"},
     [](const XGeneralContent& c) { EXPECT_EQ(c.frames.at(1).mesh.materialCount, 1); }},
    {"TextureCoordinatesForFewerVertices",
     Quad(" MeshTextureCoords { 2; 0.0;0.0;, 1.0;1.0;; }"),
     {"case.x, line 5: mesh 'M' has 2 texture coordinates for 4 vertices"},
     [](const XGeneralContent& c) { EXPECT_EQ(c.frames.at(1).mesh.texCoordCount, 2); }},
    {"SecondMatrixOfAFrame",
     kHeader + "Frame F {\n FrameTransformMatrix { 1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,"
               "0.0,5.0,0.0,0.0,1.0;; }\n FrameTransformMatrix { 1.0,0.0,0.0,0.0,0.0,1.0,0.0,"
               "0.0,0.0,0.0,1.0,0.0,6.0,0.0,0.0,1.0;; }\n}\n",
     {"case.x, line 4: a second FrameTransformMatrix in frame 'F' is left out; the first one "
      "is used"},
     [](const XGeneralContent& c) { EXPECT_EQ(c.frames.at(1).localMatrix(3, 0), 5.0f); }},
    {"AnimationWithoutKeys",
     kHeader + "AnimationSet S {\n Animation { { Hip } }\n Animation { { Arm }\n"
               "  AnimationKey { 2; 1; 0;3;1.0,2.0,3.0;;; } }\n}\n",
     {"case.x, line 3: the animation of frame 'Hip' has no AnimationKey and is left out"},
     [](const XGeneralContent& c) {
         ASSERT_EQ(c.animSets.at(0).animations.size(), 1u);
         EXPECT_EQ(c.animSets[0].animations[0].name, "Arm");
     }},
    {"UnknownKeyType",
     kHeader + "AnimationSet S {\n Animation { { Hip }\n  AnimationKey { 7; 1; 0;2;1.0,2.0;;; }"
               " }\n}\n",
     {"case.x, line 4: AnimationKey of unknown type 7 is kept as read"},
     [](const XGeneralContent& c) {
         const TimedKey& key = c.animSets.at(0).animations.at(0).tracks.at(0).keys.at(0);
         EXPECT_EQ(key.values, (std::vector<float>{1, 2}));
     }},
    {"SkinHeaderForOtherBones",
     Quad(" XSkinMeshHeader { 1; 1; 3; }\n SkinWeights { \"B\"; 1; 0; 1.0; "
          "1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0;; }"),
     {"case.x, line 2: Mesh 'M': XSkinMeshHeader declares 3 bones, the mesh has 1 SkinWeights"},
     [](const XGeneralContent& c) { EXPECT_EQ(c.frames.at(1).mesh.boneCount, 1); }},
    {"NonFiniteNumbersOfMicrosoftsPrintf",
     kHeader + "Frame F {\n FrameTransformMatrix { 1.#QNAN0,0.0,0.0,0.0,0.0,-1.#INF00,0.0,0.0,"
               "0.0,0.0,-1.#IND00,0.0,0.0,0.0,0.0,1.0;; }\n}\n",
     {},
     [](const XGeneralContent& c) {
         const Matrix& m = c.frames.at(1).localMatrix;
         EXPECT_TRUE(std::isnan(m(0, 0)));
         EXPECT_TRUE(std::isinf(m(1, 1)) && m(1, 1) < 0);
         EXPECT_TRUE(std::isnan(m(2, 2)));
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, XGeneralLenientTest, ::testing::ValuesIn(kLenientCases),
                         [](const ::testing::TestParamInfo<LenientCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace toravel::testing
