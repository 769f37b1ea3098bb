// The assembly of the general X reader's frames: copies that references ask for are charged
// to a budget (moves are not), and a Scene_Root that holds a mesh is not taken as the root.
#include "xfile/x_general_assembly.h"

#include <gtest/gtest.h>

#include <string>

#include "xfile/x_general_parser.h"
#include "xfile/x_general_reader.h"
#include "xfile/x_lexer.h"
#include "xfile/x_token.h"

namespace toravel::testing {
namespace {

const std::string kBox =
    "xof 0303txt 0032\nMesh Box { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,2;;\n"
    " MeshMaterialList { 1; 1; 0;; { Red } } }\n"
    "Material Red { 1.0;0.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }\n";

XParsedFile Parse(const std::string& text) {
    XLexer lexer{XTextLexer(text, 16)};
    XParsedFile parsed;
    XGeneralParser(lexer, parsed).ParseFile();
    return parsed;
}

std::string FailureOf(const std::string& text, uint64_t budget) {
    XParsedFile parsed = Parse(text);
    try {
        AssembleXFrames(parsed, budget);
    } catch (const XReadFailure& failure) {
        return failure.message;
    }
    return {};
}

const std::string kTooMuch =
    "the copies that references to meshes and materials ask for would take more memory than a "
    "file of this size may";

TEST(XGeneralAssembly, ChargesCopiesOfReferencedMeshesAndMaterials) {
    // The material reference is one copy; a single mesh reference takes the mesh itself.
    EXPECT_EQ(FailureOf(kBox + "Frame A { { Box } }\n", 0), kTooMuch);
    const std::string once = kBox + "Frame A { { Box } }\n";
    EXPECT_EQ(FailureOf(once, sizeof(MaterialData) + 3 + 1), "");
    // Two references: one of them is a copy of the whole mesh.
    const std::string twice = kBox + "Frame A { { Box } }\nFrame B { { Box } }\n";
    EXPECT_EQ(FailureOf(twice, sizeof(MaterialData) + 3 + 1), kTooMuch);
    EXPECT_EQ(FailureOf(twice, 1 << 20), "");
}

TEST(XGeneralAssembly, BudgetGrowsWithTheData) {
    EXPECT_EQ(XCopyBudget(1000), 64000u + (uint64_t{256} << 20));
}

TEST(XGeneralAssembly, SceneRootWithAMeshGoesBelowASuppliedOne) {
    const XGeneralResult result = ReadXGeneral(
        "xof 0303txt 0032\nFrame Scene_Root {\n Mesh { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, "
        "0.0;1.0;0.0;; 1; 3;0,1,2;; }\n}\n",
        "case.x");
    ASSERT_TRUE(result.ok()) << result.error;
    ASSERT_EQ(result.content->frames.size(), 2u);
    EXPECT_EQ(result.content->frames[0].name, "Scene_Root");
    EXPECT_FALSE(result.content->frames[0].mesh.HasMesh());
    EXPECT_EQ(result.content->frames[1].name, "Scene_Root");
    EXPECT_EQ(result.content->frames[1].parentId, 0);
    EXPECT_EQ(result.content->frames[1].mesh.vertexCount, 3);
}

}  // namespace
}  // namespace toravel::testing
