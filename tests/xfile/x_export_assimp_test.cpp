// Assimp's X importer, an independent reader, loads the files that Toravel exports and must
// find in them exactly the model that Toravel loaded.
#include <assimp/scene.h>
#include <gtest/gtest.h>
#include <assimp/Importer.hpp>

#include <algorithm>
#include <map>
#include <sstream>

#include "app/batch_convert.h"
#include "scene/node_ops.h"
#include "app/smd_load_commands.h"
#include "app/smd_load_commands.h"
#include "support/recording_interaction.h"
#include "support/scripted_interaction.h"
#include "support/temp_dir.h"
#include "app/x_load_command.h"

namespace toravel {
namespace {

using testing::ScriptedInteraction;
using testing::TempDir;

const std::string kExamples = TORAVEL_EXAMPLES_DIR;

// Assimp stores matrices for column vectors, the transpose of the X file's row-vector form,
// and its X importer turns the left-handed X space into its right-handed one by mirroring z.
// This undoes both.
Matrix FromAssimp(const aiMatrix4x4& m) {
    Matrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            const bool mirrored = (i == 2) != (j == 2);
            r(i, j) = mirrored ? -m[j][i] : m[j][i];
        }
    }
    return r;
}

void ExpectNear(const Matrix& a, const Matrix& b, float tolerance, const std::string& what) {
    for (size_t i = 0; i < 16; ++i) {
        EXPECT_NEAR(a.m[i], b.m[i], tolerance) << what << ", entry " << i;
    }
}

const aiNode* FindNode(const aiNode* node, const std::string& name) {
    if (name == node->mName.C_Str()) {
        return node;
    }
    for (unsigned i = 0; i < node->mNumChildren; ++i) {
        if (const aiNode* found = FindNode(node->mChildren[i], name)) {
            return found;
        }
    }
    return nullptr;
}

// The model-space matrix of a frame, in row-vector form, up to but not including Scene_Root.
Matrix Combined(const aiNode* node) {
    Matrix combined;
    for (; node != nullptr && std::string(node->mName.C_Str()) != "Scene_Root";
         node = node->mParent) {
        combined = Multiply(combined, FromAssimp(node->mTransformation));
    }
    return combined;
}

struct Model {
    SmdReference reference;
    std::vector<AnimSet> sets;
};

// Converts with the command line's code path and loads the same inputs with Toravel's own
// loaders, for comparison.
Model ConvertAndLoad(const ConvertRequest& request) {
    std::ostringstream messages;
    EXPECT_EQ(RunConvert(request, messages), kExitDone) << messages.str();
    Model model;
    ScriptedInteraction ui;
    StatusLog log(ui);
    EXPECT_TRUE(LoadSmdReferenceFile(model.reference, {request.reference, "ref.smd"}, ui, log));
    for (const AnimationInput& input : request.animations) {
        SmdAnimation animation;
        ui.ExpectAnimSetName(input.setName.value_or("set"));
        EXPECT_TRUE(LoadSmdAnimationFile(animation, {input.path, "anim.smd"}, ui, log));
        model.sets.push_back(animation.animSets.at(0));
    }
    return model;
}

void CheckWithAssimp(const std::string& path, const Model& model,
                     std::optional<uint32_t> ticksPerSecond = std::nullopt) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, 0);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    const aiNode* sceneRoot = FindNode(scene->mRootNode, "Scene_Root");
    ASSERT_NE(sceneRoot, nullptr);

    const NodeList& nodes = model.reference.nodes;
    for (const SceneNode& node : nodes) {
        SCOPED_TRACE(node.name);
        const aiNode* found = FindNode(sceneRoot, node.name);
        ASSERT_NE(found, nullptr);
        const std::string expectedParent =
            node.parentId < 0 ? "Scene_Root"
                              : nodes[static_cast<size_t>(FindNodeById(nodes, node.parentId))].name;
        EXPECT_EQ(found->mParent->mName.C_Str(), expectedParent);
        ExpectNear(FromAssimp(found->mTransformation), node.localMatrix, 1e-5f, "local matrix");

        // Assimp splits a mesh by material; together the parts hold the whole mesh.
        unsigned vertices = 0, faces = 0;
        std::map<std::string, std::vector<float>> weights;
        for (unsigned i = 0; i < found->mNumMeshes; ++i) {
            const aiMesh* mesh = scene->mMeshes[found->mMeshes[i]];
            vertices += mesh->mNumVertices;
            faces += mesh->mNumFaces;
            for (unsigned b = 0; b < mesh->mNumBones; ++b) {
                const aiBone* bone = mesh->mBones[b];
                const std::string name = bone->mName.C_Str();
                const NodeIndex boneNode = FindNodeByName(nodes, name);
                ASSERT_NE(boneNode, kNoNode) << name;
                for (unsigned w = 0; w < bone->mNumWeights; ++w) {
                    weights[name].push_back(bone->mWeights[w].mWeight);
                }
                const auto ours =
                    std::find_if(node.mesh.boneWeights.begin(), node.mesh.boneWeights.end(),
                                 [&](const BoneWeights& bw) { return bw.boneName == name; });
                ASSERT_NE(ours, node.mesh.boneWeights.end()) << name;
                const Matrix offset = FromAssimp(bone->mOffsetMatrix);
                ExpectNear(offset, ours->offsetMatrix, 1e-5f, "offset of " + name);
                // At the bind pose a vertex carried into bone space and back is unchanged.
                const aiNode* boneFrame = FindNode(sceneRoot, name);
                ASSERT_NE(boneFrame, nullptr);
                ExpectNear(Multiply(offset, Combined(boneFrame)), IdentityMatrix(), 1e-4f,
                           "offset times combined of " + name);
            }
        }
        EXPECT_EQ(vertices, static_cast<unsigned>(node.mesh.vertexCount));
        EXPECT_EQ(faces, static_cast<unsigned>(node.mesh.faceCount));
        for (const BoneWeights& bw : node.mesh.boneWeights) {
            std::vector<float> expected = bw.weights;
            std::vector<float> actual = weights[bw.boneName];
            std::sort(expected.begin(), expected.end());
            std::sort(actual.begin(), actual.end());
            EXPECT_EQ(actual, expected) << "weights of " << bw.boneName;
        }
    }

    ASSERT_EQ(scene->mNumAnimations, model.sets.size());
    for (size_t s = 0; s < model.sets.size(); ++s) {
        const aiAnimation* animation = scene->mAnimations[s];
        const AnimSet& set = model.sets[s];
        EXPECT_EQ(animation->mName.C_Str(), set.name);
        if (ticksPerSecond) {
            EXPECT_EQ(animation->mTicksPerSecond, *ticksPerSecond);
        }
        ASSERT_EQ(animation->mNumChannels, set.animations.size());
        for (size_t c = 0; c < set.animations.size(); ++c) {
            const aiNodeAnim* channel = animation->mChannels[c];
            const KeyTrack& track = set.animations[c].tracks.at(0);
            EXPECT_EQ(channel->mNodeName.C_Str(), set.animations[c].name);
            ASSERT_EQ(channel->mNumPositionKeys, track.keys.size());
            ASSERT_EQ(channel->mNumRotationKeys, track.keys.size());
            for (size_t k = 0; k < track.keys.size(); ++k) {
                EXPECT_EQ(channel->mPositionKeys[k].mTime, track.keys[k].time);
            }
        }
    }
}

TEST(AssimpReadsExports, ExampleCharacter) {
    TempDir dir;
    ConvertRequest request;
    request.reference = kExamples + "/soldier_reference.smd";
    request.animations = {{kExamples + "/soldier_walk.smd", "walk"},
                          {kExamples + "/soldier_wave.smd", "wave"}};
    request.output = dir.File("soldier.x");
    CheckWithAssimp(request.output, ConvertAndLoad(request));
}

TEST(AssimpReadsExports, SkinWithSeveralWeightsAndTwoMaterials) {
    TempDir dir;
    const std::string reference = dir.Write("ref.smd", R"(version 1
nodes
0 "root" -1
1 "upper" 0
2 "lower" 1
3 "body" -1
end
skeleton
time 0
0 1 2 3 0.1 0.2 0.3
1 0 0 5 0.5 0 0
2 0 4 0 0 -0.3 0.2
3 0 0 0 0 0 0
end
triangles
skin.bmp
3 0 0 0 0 0 1 0 0 1 0 1
3 1 0 0 0 0 1 1 0 2 1 0.25 2 0.75
3 0 1 0 0 0 1 0 1 3 0 0.2 1 0.3 2 0.5
cloth.bmp
1 0 0 2 0 0 1 0 0 1 1 1
1 1 0 2 0 0 1 1 0 1 2 1
1 0 1 2 0 0 1 0 1
end
)");
    const std::string animation = dir.Write("bend.smd", R"(version 1
nodes
0 "root" -1
1 "upper" 0
2 "lower" 1
end
skeleton
time 0
1 0 0 5 0.5 0 0
2 0 4 0 0 -0.3 0.2
time 3
1 0 0 5 0.9 0 0
2 0 4 0 0 -0.6 0.2
end
)");
    ConvertRequest request;
    request.reference = reference;
    request.animations = {{animation, "bend"}};
    request.output = dir.File("out.x");
    CheckWithAssimp(request.output, ConvertAndLoad(request));

    // The same with the optional template declarations and tick rate.
    request.output = dir.File("extras.x");
    request.exportOptions.templates = true;
    request.exportOptions.ticksPerSecond = 30000;
    CheckWithAssimp(request.output, ConvertAndLoad(request), 30000);
}

TEST(AssimpReadsExports, SmdAndXAnimationsMerged) {
    TempDir dir;
    ConvertRequest walk;
    walk.reference = kExamples + "/soldier_reference.smd";
    walk.animations = {{kExamples + "/soldier_walk.smd", "walk"}};
    walk.output = dir.File("walk.x");

    // The expected model: the reference with the wave set, then the walk set from walk.x.
    ConvertRequest expected;
    expected.reference = walk.reference;
    expected.animations = {{kExamples + "/soldier_wave.smd", "wave"},
                           {kExamples + "/soldier_walk.smd", "walk"}};
    expected.output = dir.File("expected.x");
    const Model model = ConvertAndLoad(expected);
    ConvertAndLoad(walk);

    ConvertRequest merge;
    merge.reference = walk.reference;
    merge.animations = {{kExamples + "/soldier_wave.smd", "wave"}, {walk.output, std::nullopt}};
    merge.output = dir.File("merged.x");
    std::ostringstream messages;
    ASSERT_EQ(RunConvert(merge, messages), kExitDone) << messages.str();
    CheckWithAssimp(merge.output, model);
    EXPECT_EQ(TempDir::Read(merge.output), TempDir::Read(expected.output));
}

TEST(AssimpReadsExports, NamesThatXCannotHoldAreFixedAndReadBack) {
    TempDir dir;
    // Node names with a NUL, braces, a leading '#', blanks and UTF-8 bytes.
    const std::string nodes = std::string("nodes\n0 \"#root\" -1\n1 \"nul") + '\0' +
                              "byte\" 0\n2 \"arm{1}\" 1\n3 \"Bip01 L Hand\" 2\n"
                              "4 \"Kopf\xc3\xa4\" 0\nend\n";
    const std::string keys =
        "0 0 0 30 0 0 -1.570796\n1 0 0 6 0 0 0\n2 0 4 0 0 0 0.3\n"
        "3 0 3 0 0 0 0\n4 0 0 9 0 0 0\n";
    const std::string reference =
        dir.Write("ref.smd", "version 1\n" + nodes + "skeleton\ntime 0\n" + keys +
                                 "end\ntriangles\nskin.bmp\n"
                                 "2 0 4 36 0 0 1 0 0 1 2 1\n3 0 7 36 0 0 1 1 0 2 3 0.5 4 0.5\n"
                                 "1 0 0 36 0 0 1 0 1\nend\n");
    const std::string animation =
        "version 1\n" + nodes + "skeleton\ntime 0\n" + keys + "time 1\n" + keys + "end\n";
    ConvertRequest request;
    request.reference = reference;
    request.animations = {{dir.Write("a.smd", animation), "Run Fast"},
                          {dir.Write("b.smd", animation), "walk.cycle"},
                          {dir.Write("c.smd", animation), "2ndWalk"}};
    request.output = dir.File("out.x");
    std::ostringstream messages;
    ASSERT_EQ(RunConvert(request, messages), kExitDone) << messages.str();
    // The notices announce the names that the file holds.
    EXPECT_NE(messages.str().find("\"Run Fast\" holds characters"), std::string::npos)
        << messages.str();
    EXPECT_NE(messages.str().find("named Run_Fast."), std::string::npos);
    EXPECT_NE(messages.str().find("named walk_cycle."), std::string::npos);
    EXPECT_EQ(messages.str().find("2ndWalk"), std::string::npos) << "a valid name needs no notice";

    const std::vector<std::string> frames = {"_root", "nul_byte", "arm_1_", "Bip01_L_Hand",
                                             "Kopf\xc3\xa4"};
    const std::vector<std::string> sets = {"Run_Fast", "walk_cycle", "2ndWalk"};
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(request.output, 0);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    for (const std::string& name : frames) {
        EXPECT_NE(FindNode(scene->mRootNode, name), nullptr) << name;
    }
    ASSERT_EQ(scene->mNumAnimations, sets.size());
    for (size_t s = 0; s < sets.size(); ++s) {
        EXPECT_EQ(scene->mAnimations[s]->mName.C_Str(), sets[s]);
        EXPECT_EQ(scene->mAnimations[s]->mNumChannels, frames.size());
    }
    ASSERT_EQ(scene->mNumMeshes, 1u);
    EXPECT_EQ(scene->mMeshes[0]->mNumBones, 4u)
        << "arm, hand, head and the unlinked vertex's owner";

    // Toravel's own reader reads the same names back.
    testing::RecordingInteraction ui;
    XFileReader doc;
    ASSERT_TRUE(LoadXFileFrom(doc, {request.output, "out.x"}, ui));
    ASSERT_EQ(doc.frames.size(), frames.size() + 1);
    for (size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(doc.frames[i + 1].name, frames[i]);
    }
    ASSERT_EQ(doc.animSets.size(), sets.size());
    for (size_t s = 0; s < sets.size(); ++s) {
        EXPECT_EQ(doc.animSets[s].name, sets[s]);
    }
}

TEST(AssimpReadsExports, NodesWhoseFixedNamesCollideLoadWithOneWarning) {
    TempDir dir;
    ConvertRequest request;
    request.reference = dir.Write("ref.smd",
                                  "version 1\nnodes\n0 \"Bip01\" -1\n1 \"Bip01 L\" 0\n"
                                  "2 \"Bip01.L\" 0\n3 \"Bip01{L\" 0\nend\nskeleton\ntime 0\n"
                                  "0 0 0 0 0 0 0\n1 1 0 0 0 0 0\n2 2 0 0 0 0 0\n3 3 0 0 0 0 0\n"
                                  "end\ntriangles\nend\n");
    request.output = dir.File("out.x");
    request.quiet = true;
    std::ostringstream messages;
    ASSERT_EQ(RunConvert(request, messages), kExitDone) << messages.str();
    EXPECT_EQ(messages.str(),
              "toravel: " + request.reference +
                  ": Duplicate Node Names: The nodes \"Bip01 L\" and \"Bip01.L\" are both named Bip01_L "
              "in the X file; bones and animations of that name refer to the first.\n"
              "  1 more node shares a name with an earlier node in the same way.\n");
}

}  // namespace
}  // namespace toravel
