// Assimp's X importer, an independent reader, loads the static meshes that Toravel exports.
#include <assimp/material.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>
#include <assimp/Importer.hpp>

#include <algorithm>
#include <map>
#include <sstream>

#include "static_smd_fixtures.h"
#include "app/static_export_job.h"
#include "support/temp_dir.h"

namespace toravel {
namespace {

using testing::MakeStaticSmd;
using testing::TempDir;

// The face material indices of the file's MeshMaterialList, in face order.
std::vector<int> FaceMaterials(const std::string& text) {
    std::istringstream in(text.substr(text.find("MeshMaterialList {") + 18));
    int materials = 0, faces = 0;
    char separator = 0;
    in >> materials >> separator >> faces >> separator;
    std::vector<int> result(static_cast<size_t>(faces));
    for (int& m : result) {
        in >> m >> separator;
    }
    return result;
}

TEST(StaticMeshAssimpTest, ExportedMeshLoadsWithFacesMaterialsAndTextures) {
    TempDir dir;
    // 100 triangles cycling through three textures: 34 "c.bmp", 33 "a.bmp", 33 "b b.bmp".
    const std::string in = dir.Write("m.smd", MakeStaticSmd(100, {"c.bmp", "a.bmp", "b b.bmp"}));
    const std::string out = dir.File("m.x");
    std::ostringstream messages;
    ASSERT_EQ(RunStaticExport(in, out, false, messages), 0) << messages.str();

    const std::vector<int> faceMaterials = FaceMaterials(TempDir::Read(out));
    ASSERT_EQ(faceMaterials.size(), 100u);
    EXPECT_TRUE(std::is_sorted(faceMaterials.begin(), faceMaterials.end()));

    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(out, 0);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();

    const std::vector<std::string> textures = {"c.bmp", "a.bmp", "b b.bmp"};
    ASSERT_GE(scene->mNumMaterials, 3u);
    std::map<std::string, unsigned> materialOfTexture;
    for (unsigned i = 0; i < scene->mNumMaterials; ++i) {
        aiString path;
        if (scene->mMaterials[i]->GetTexture(aiTextureType_DIFFUSE, 0, &path) == AI_SUCCESS) {
            materialOfTexture[path.C_Str()] = i;
        }
    }
    ASSERT_EQ(materialOfTexture.size(), 3u);
    std::map<unsigned, unsigned> facesOfMaterial;
    unsigned faces = 0;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh* mesh = scene->mMeshes[m];
        faces += mesh->mNumFaces;
        facesOfMaterial[mesh->mMaterialIndex] += mesh->mNumFaces;
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            EXPECT_EQ(mesh->mFaces[f].mNumIndices, 3u);
        }
        EXPECT_TRUE(mesh->HasNormals());
        EXPECT_TRUE(mesh->HasTextureCoords(0));
    }
    EXPECT_EQ(faces, 100u);
    EXPECT_EQ(facesOfMaterial[materialOfTexture.at("c.bmp")], 34u);
    EXPECT_EQ(facesOfMaterial[materialOfTexture.at("a.bmp")], 33u);
    EXPECT_EQ(facesOfMaterial[materialOfTexture.at("b b.bmp")], 33u);
}

TEST(StaticMeshAssimpTest, ExampleCharacterReferenceSavesAsAStaticMesh) {
    // A decompiled-style reference: a comment line first, quoted names with blanks, links.
    TempDir dir;
    const std::string out = dir.File("soldier.x");
    std::ostringstream messages;
    ASSERT_EQ(RunStaticExport(std::string(TORAVEL_EXAMPLES_DIR) + "/soldier_reference.smd", out,
                              false, messages),
              0)
        << messages.str();
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(out, 0);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    unsigned faces = 0;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        faces += scene->mMeshes[m]->mNumFaces;
    }
    EXPECT_EQ(faces, 704u);
    std::vector<std::string> textures;
    for (unsigned i = 0; i < scene->mNumMaterials; ++i) {
        aiString path;
        if (scene->mMaterials[i]->GetTexture(aiTextureType_DIFFUSE, 0, &path) == AI_SUCCESS) {
            textures.emplace_back(path.C_Str());
        }
    }
    std::sort(textures.begin(), textures.end());
    EXPECT_EQ(textures, (std::vector<std::string>{"soldier_body.bmp", "soldier_head.bmp",
                                                  "soldier_legs.bmp"}));
}

}  // namespace
}  // namespace toravel
