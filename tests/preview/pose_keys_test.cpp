// Rotation, scale and position keys of an X file posing a frame: the posed joints and
// vertices against positions worked out by hand from what the keys mean. A frame's matrix
// is scale, then rotation, then translation, for row vectors (v' = v S R T). A rotation key
// holds w, x, y, z of the conjugate of its rotation, the form X files keep it in (Assimp
// reads it so too): the key (cos 45, 0, 0, sin 45) turns the x axis onto -y.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pose_keys_fixture.h"
#include "preview/pose.h"
#include "scene/node_ops.h"
#include "xfile/x_general_reader.h"

namespace toravel {
namespace {

struct Case {
    const char* what;
    std::string keys;
    Vector3 hand;    // Hand's origin, posed
    Vector3 vertex;  // Hand's vertex (0, 1, 0), posed
};

void ExpectNear(const Vector3& actual, const Vector3& expected, const char* what) {
    EXPECT_NEAR(actual.x, expected.x, 1e-4f) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-4f) << what;
    EXPECT_NEAR(actual.z, expected.z, 1e-4f) << what;
}

TEST(PreviewPoseKeys, RotationScaleAndPositionKeysMakeTheFramesMatrix) {
    // In Hand's parent, Arm, the origin is (2, 0, 0) and the vertex (2, 1, 0); the bind scale
    // makes them (4, 0, 0) and (4, 2, 0) unless a scale key replaces it.
    const std::vector<Case> cases = {
        // The quarter turn takes x to -y and y to x; the bind scale and position stay.
        {"rotation", testing::kQuarterTurnAboutZ, {5, -4, 0}, {7, -4, 0}},
        // A third of a turn backwards about (1, 1, 1): x to z, y to x.
        {"rotation about a diagonal", testing::kThirdTurnAboutDiagonal, {5, 0, 4}, {7, 0, 4}},
        {"scale", testing::kScaleThree, {11, 0, 0}, {11, 3, 0}},
        {"position", testing::kMoveTo123, {5, 2, 3}, {5, 4, 3}},
        // (6, 0, 0) and (6, 3, 0) scaled, turned to (0, -6, 0) and (3, -6, 0), then moved.
        {"all three",
         testing::kQuarterTurnAboutZ + testing::kScaleThree + testing::kMoveTo123,
         {1, -4, 3},
         {4, -4, 3}},
        // The order of the keys in the file does not matter.
        {"all three, reordered",
         testing::kMoveTo123 + testing::kScaleThree + testing::kQuarterTurnAboutZ,
         {1, -4, 3},
         {4, -4, 3}},
    };
    for (const Case& c : cases) {
        const XGeneralResult read = ReadXGeneral(testing::ArmAndHand(c.keys), "arm.x");
        ASSERT_TRUE(read.ok()) << c.what << ": " << read.error;
        const XGeneralContent& model = *read.content;
        ASSERT_EQ(model.animSets.size(), 1u);
        const NodeNameIndex names(model.frames);
        const NodeIndex hand = names.Find("Hand");
        ASSERT_NE(hand, kNoNode);
        for (uint32_t time : {0u, 10u, 20u}) {  // a key holds before and after its time
            const std::vector<Matrix> pose = PoseMatrices(model.frames, &model.animSets[0], time);
            const Matrix& m = pose[static_cast<size_t>(hand)];
            ExpectNear({m(3, 0), m(3, 1), m(3, 2)}, c.hand, c.what);
            const std::vector<PosedMesh> meshes = PoseMeshes(model.frames, pose);
            ASSERT_EQ(meshes.size(), 1u);
            ExpectNear(meshes[0].positions[0], c.vertex, c.what);
        }
        // At the bind pose the keys are not used.
        const std::vector<Matrix> bind = PoseMatrices(model.frames, nullptr, 0);
        const Matrix& m = bind[static_cast<size_t>(hand)];
        ExpectNear({m(3, 0), m(3, 1), m(3, 2)}, {9, 0, 0}, c.what);
    }
}

}  // namespace
}  // namespace toravel
