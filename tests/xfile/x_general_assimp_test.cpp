// Assimp's X importer, an independent reader, against the general X reader: the file the
// general reader's records convert to, and the fixtures' own encodings, hold the same
// frames, triangles, bones and animations as the fixture says.
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>
#include <assimp/Importer.hpp>

#include <set>
#include <sstream>
#include <string>

#include "app/batch_convert.h"
#include "support/temp_dir.h"
#include "xfile/x_encodings.h"
#include "xfile/x_general_fixtures.h"
#include "xfile/x_general_reader.h"
#include "xfile/x_writer.h"

namespace toravel::testing {
namespace {

struct AssimpCounts {
    size_t nodes = 0;
    size_t triangles = 0;
    size_t bones = 0;
    size_t animations = 0;
};

AssimpCounts Count(const aiScene& scene) {
    AssimpCounts counts;
    std::vector<const aiNode*> pending{scene.mRootNode};
    while (!pending.empty()) {
        const aiNode* node = pending.back();
        pending.pop_back();
        ++counts.nodes;
        // Assimp splits a mesh by material; the parts share the mesh's bones.
        std::set<std::string> bones;
        for (unsigned i = 0; i < node->mNumMeshes; ++i) {
            const aiMesh* mesh = scene.mMeshes[node->mMeshes[i]];
            counts.triangles += mesh->mNumFaces;
            for (unsigned b = 0; b < mesh->mNumBones; ++b) {
                bones.insert(mesh->mBones[b]->mName.C_Str());
            }
        }
        counts.bones += bones.size();
        for (unsigned i = 0; i < node->mNumChildren; ++i) {
            pending.push_back(node->mChildren[i]);
        }
    }
    counts.animations = scene.mNumAnimations;
    return counts;
}

// What `toravel convert` writes for the fixture given in the encoding `bytes`, read back as
// the reference.
std::string Converted(const std::string& bytes) {
    TempDir dir;
    ConvertRequest request;
    request.reference = dir.Write("case.x", bytes);
    request.output = dir.File("clean.x");
    request.allowIncompatible = true;  // a file of animations alone animates no frame of its own
    std::ostringstream messages;
    const int code = RunConvert(request, messages);
    EXPECT_EQ(code, kExitDone) << messages.str();
    return code == kExitDone ? TempDir::Read(request.output) : std::string();
}

const aiScene* Read(Assimp::Importer& importer, const std::string& bytes) {
    return importer.ReadFileFromMemory(bytes.data(), bytes.size(), aiProcess_Triangulate, "x");
}

class XGeneralAssimpTest : public ::testing::TestWithParam<size_t> {
  protected:
    const XFixture& fixture() const { return XGeneralFixtures()[GetParam()]; }
};

// `toravel convert any.x -o clean.x` for every fixture shape in every encoding.
TEST_P(XGeneralAssimpTest, ConvertedFileHasTheFixturesCounts) {
    const std::string binary = TextToBinaryX(fixture().text);
    for (const std::string& bytes : {fixture().text, binary, CompressX(fixture().text, 61),
                                     CompressX(binary, 50)}) {
        const std::string converted = Converted(bytes);
        ASSERT_FALSE(converted.empty());
        Assimp::Importer importer;
        const aiScene* scene = Read(importer, converted);
        ASSERT_NE(scene, nullptr) << importer.GetErrorString() << "\n" << converted;
        const AssimpCounts counts = Count(*scene);
        // The reader's Scene_Root (read or supplied) is the written file's Scene_Root.
        EXPECT_EQ(counts.nodes, fixture().counts.frames);
        EXPECT_EQ(counts.triangles, fixture().counts.triangles);
        EXPECT_EQ(counts.bones, fixture().counts.bones);
        EXPECT_EQ(counts.animations, fixture().counts.sets);
    }
}

// Checks the encodings the tests generate against a reader that does not share their code:
// where Assimp reads a fixture's text, it reads the same scene from every encoding.
TEST_P(XGeneralAssimpTest, EveryEncodingGivesAssimpTheSameScene) {
    if (fixture().assimpCannot != nullptr) {
        GTEST_SKIP() << "Assimp does not read " << fixture().assimpCannot;
    }
    Assimp::Importer textImporter;
    const aiScene* text = Read(textImporter, fixture().text);
    ASSERT_NE(text, nullptr) << textImporter.GetErrorString();
    const AssimpCounts expected = Count(*text);
    EXPECT_EQ(expected.triangles, fixture().counts.triangles);
    EXPECT_EQ(expected.bones, fixture().counts.bones);
    const std::string binary = TextToBinaryX(fixture().text);
    for (const std::string& bytes : {binary, CompressX(fixture().text),
                                     CompressX(fixture().text, 61), CompressX(binary, 50)}) {
        Assimp::Importer importer;
        const aiScene* scene = Read(importer, bytes);
        ASSERT_NE(scene, nullptr) << importer.GetErrorString();
        const AssimpCounts counts = Count(*scene);
        EXPECT_EQ(counts.nodes, expected.nodes);
        EXPECT_EQ(counts.triangles, expected.triangles);
        EXPECT_EQ(counts.bones, expected.bones);
        EXPECT_EQ(counts.animations, expected.animations);
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, XGeneralAssimpTest,
                         ::testing::Range<size_t>(0, XGeneralFixtures().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             return XGeneralFixtures()[info.param].name;
                         });

}  // namespace
}  // namespace toravel::testing
