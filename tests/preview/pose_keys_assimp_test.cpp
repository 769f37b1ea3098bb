// Rotation, scale and position keys as Assimp, an independent reader, poses them: the frame
// of the keys is Assimp's translation times rotation times scale (column vectors), and the
// posed joint and vertex must be where the preview puts them. Assimp turns an X scene into
// its right-handed space by mirroring z, so its z is the preview's turned round.
#include <assimp/scene.h>
#include <gtest/gtest.h>
#include <assimp/Importer.hpp>

#include <string>
#include <vector>

#include "pose_keys_fixture.h"
#include "preview/pose.h"
#include "scene/node_ops.h"
#include "xfile/x_general_reader.h"

namespace toravel {
namespace {

aiMatrix4x4 KeyedTransform(const aiNodeAnim& channel) {
    EXPECT_EQ(channel.mNumPositionKeys, 1u);
    EXPECT_EQ(channel.mNumRotationKeys, 1u);
    EXPECT_EQ(channel.mNumScalingKeys, 1u);
    return aiMatrix4x4(channel.mScalingKeys[0].mValue, channel.mRotationKeys[0].mValue,
                       channel.mPositionKeys[0].mValue);
}

// Hand's origin and its mesh's first vertex in Assimp's scene, with Arm at its keys.
std::pair<aiVector3D, aiVector3D> AssimpPose(const std::string& x) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFileFromMemory(x.data(), x.size(), 0, "x");
    EXPECT_NE(scene, nullptr) << importer.GetErrorString();
    if (scene == nullptr || scene->mNumAnimations != 1 || scene->mNumMeshes != 1) {
        ADD_FAILURE() << "no animation or mesh";
        return {};
    }
    const aiNodeAnim* channel = scene->mAnimations[0]->mChannels[0];
    const aiNode* hand = scene->mRootNode->FindNode("Hand");
    EXPECT_NE(hand, nullptr);
    if (hand == nullptr) {
        return {};
    }
    aiMatrix4x4 global = hand->mTransformation;
    for (const aiNode* node = hand->mParent; node != nullptr; node = node->mParent) {
        const bool keyed = node->mName == channel->mNodeName;
        global = (keyed ? KeyedTransform(*channel) : node->mTransformation) * global;
    }
    return {global * aiVector3D(0, 0, 0), global * scene->mMeshes[0]->mVertices[0]};
}

TEST(PreviewPoseKeysAssimp, RotationScaleAndPositionKeysPoseAsAssimpPosesThem) {
    for (const std::string& rotation :
         {testing::kQuarterTurnAboutZ, testing::kThirdTurnAboutDiagonal}) {
        const std::string x =
            testing::ArmAndHand(rotation + testing::kScaleThree + testing::kMoveTo123);
        const auto [handTruth, vertexTruth] = AssimpPose(x);
        const XGeneralResult read = ReadXGeneral(x, "arm.x");
        ASSERT_TRUE(read.ok()) << read.error;
        const XGeneralContent& model = *read.content;
        const std::vector<Matrix> pose = PoseMatrices(model.frames, &model.animSets[0], 10);
        const Matrix& hand = pose[static_cast<size_t>(NodeNameIndex(model.frames).Find("Hand"))];
        EXPECT_NEAR(hand(3, 0), handTruth.x, 1e-4f) << rotation;
        EXPECT_NEAR(hand(3, 1), handTruth.y, 1e-4f) << rotation;
        EXPECT_NEAR(hand(3, 2), -handTruth.z, 1e-4f) << rotation;
        const std::vector<PosedMesh> meshes = PoseMeshes(model.frames, pose);
        ASSERT_EQ(meshes.size(), 1u);
        EXPECT_NEAR(meshes[0].positions[0].x, vertexTruth.x, 1e-4f) << rotation;
        EXPECT_NEAR(meshes[0].positions[0].y, vertexTruth.y, 1e-4f) << rotation;
        EXPECT_NEAR(meshes[0].positions[0].z, -vertexTruth.z, 1e-4f) << rotation;
    }
}

}  // namespace
}  // namespace toravel
