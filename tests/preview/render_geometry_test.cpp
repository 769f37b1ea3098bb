// The picture's geometry against the model's, computed in the test from the SMD files'
// meaning (support/smd_truth.h) and projected with the preview's camera: the silhouette
// covers what the front faces cover, mirrors with the model, moves with the root, and holds
// the joints.
#include <gtest/gtest.h>

#include <cmath>

#include "preview/camera.h"
#include "preview/pose.h"
#include "preview/preview_picture.h"
#include "preview/render.h"
#include "preview_fixtures.h"
#include "support/smd_truth.h"

namespace toravel {
namespace {

using testing::ConvertSmd;
using testing::kExampleDir;
using testing::ReadText;
using testing::Silhouette;
using testing::SilhouetteOf;
namespace truth = testing::truth;

constexpr int kWidth = 320;
constexpr int kHeight = 240;

RenderStyle PlainStyle() {
    RenderStyle style;
    style.width = kWidth;
    style.height = kHeight;
    style.grid = false;
    return style;
}

Image Render(const XGeneralContent& model, const Camera& camera, const AnimSet* set, uint32_t time,
             bool bones = false) {
    RenderStyle style = PlainStyle();
    style.bones = bones;
    const std::vector<Matrix> pose = PoseMatrices(model.frames, set, time);
    return RenderPose(model.frames, pose, PoseMeshes(model.frames, pose), camera, style);
}

Vector3 ToX(const truth::Vec3& p) {
    const truth::Vec3 t = truth::Turn(p);
    return {static_cast<float>(t[0]), static_cast<float>(t[1]), static_cast<float>(t[2])};
}

// Pixels whose centres lie inside a projected front-facing triangle: coverage by sampling,
// the independent counterpart of the rasterizer.
struct Coverage {
    size_t count = 0;
    // of the corners of the front faces, projected
    double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
    // of the covered pixels
    int pixelMinX = kWidth, pixelMinY = kHeight, pixelMaxX = -1, pixelMaxY = -1;
};

Coverage ProjectedCoverage(const std::vector<Vector3>& corners, const Camera& camera) {
    std::vector<bool> covered(static_cast<size_t>(kWidth * kHeight), false);
    Coverage coverage;
    for (size_t t = 0; t + 2 < corners.size(); t += 3) {
        Vector3 p[3];
        for (int k = 0; k < 3; ++k) {
            p[k] = camera.Project(corners[t + static_cast<size_t>(k)]);
        }
        const double area = (double(p[1].x) - p[0].x) * (double(p[2].y) - p[0].y) -
                            (double(p[1].y) - p[0].y) * (double(p[2].x) - p[0].x);
        if (area <= 0) {
            continue;  // Direct3D's front faces run clockwise on the screen
        }
        for (const Vector3& q : p) {
            coverage.minX = std::min<double>(coverage.minX, q.x);
            coverage.maxX = std::max<double>(coverage.maxX, q.x);
            coverage.minY = std::min<double>(coverage.minY, q.y);
            coverage.maxY = std::max<double>(coverage.maxY, q.y);
        }
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const double px = x + 0.5, py = y + 0.5;
                bool in = true;
                for (int k = 0; k < 3 && in; ++k) {
                    const Vector3& a = p[k];
                    const Vector3& b = p[(k + 1) % 3];
                    in = (double(b.x) - a.x) * (py - a.y) - (double(b.y) - a.y) * (px - a.x) >= 0;
                }
                if (in) {
                    covered[static_cast<size_t>(y * kWidth + x)] = true;
                }
            }
        }
    }
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (covered[static_cast<size_t>(y * kWidth + x)]) {
                ++coverage.count;
                coverage.pixelMinX = std::min(coverage.pixelMinX, x);
                coverage.pixelMaxX = std::max(coverage.pixelMaxX, x);
                coverage.pixelMinY = std::min(coverage.pixelMinY, y);
                coverage.pixelMaxY = std::max(coverage.pixelMaxY, y);
            }
        }
    }
    return coverage;
}

// Every triangle corner of `reference` under the pose of `frame` (none: the bind pose), in
// the X file's space.
std::vector<Vector3> TruthCorners(const truth::Model& reference,
                                  const std::map<int, std::array<double, 6>>* frame) {
    const auto bind = truth::WorldTransforms(reference, reference.frames.at(0));
    const auto pose = frame != nullptr ? truth::WorldTransforms(reference, *frame) : bind;
    std::vector<Vector3> corners;
    for (const truth::Vertex& v : reference.vertices) {
        corners.push_back(ToX(truth::Skin(v, bind, pose)));
    }
    return corners;
}

TEST(PreviewGeometry, ExampleSilhouetteCoversTheProjectedModel) {
    const std::string referenceText = ReadText(kExampleDir + "/soldier_reference.smd");
    const std::string walkText = ReadText(kExampleDir + "/soldier_walk.smd");
    const XGeneralContent model = ConvertSmd(referenceText, {walkText});
    ASSERT_EQ(model.animSets.size(), 1u);
    const truth::Model reference = truth::ParseSmd(referenceText);
    const auto walk = truth::FramesByReferenceIds(truth::ParseSmd(walkText), reference);
    const std::vector<uint32_t> times = KeyTimes(model.animSets[0]);
    ASSERT_EQ(times.size(), walk.size());

    struct Case {
        ViewKind view;
        int frame;  // -1: the bind pose
    };
    for (const Case& c :
         {Case{ViewKind::kThreeQuarter, -1}, Case{ViewKind::kFront, -1}, Case{ViewKind::kTop, -1},
          Case{ViewKind::kSide, 9}, Case{ViewKind::kThreeQuarter, 17}}) {
        SCOPED_TRACE("view " + std::to_string(static_cast<int>(c.view)) + ", frame " +
                     std::to_string(c.frame));
        PreviewSettings settings;
        settings.view = c.view;
        settings.width = kWidth;
        settings.height = kHeight;
        const Camera camera = PreviewCamera(model.frames, PreviewPlan{}, settings);
        const AnimSet* set = c.frame >= 0 ? &model.animSets[0] : nullptr;
        const Image picture = Render(model, camera, set, c.frame >= 0 ? times[c.frame] : 0);
        const Silhouette s = SilhouetteOf(picture, PlainStyle().background);
        const Coverage truthCoverage = ProjectedCoverage(
            TruthCorners(reference, c.frame >= 0 ? &walk[static_cast<size_t>(c.frame)] : nullptr),
            camera);
        ASSERT_GT(s.count, 1000u);
        EXPECT_NEAR(static_cast<double>(s.count), static_cast<double>(truthCoverage.count),
                    0.01 * static_cast<double>(truthCoverage.count));
        // The box of the silhouette is the box of the covered pixels, and within a few
        // pixels of the projected corners (thin tips cover no pixel centre near the corner).
        EXPECT_NEAR(s.minX, truthCoverage.pixelMinX, 1);
        EXPECT_NEAR(s.maxX, truthCoverage.pixelMaxX, 1);
        EXPECT_NEAR(s.minY, truthCoverage.pixelMinY, 1);
        EXPECT_NEAR(s.maxY, truthCoverage.pixelMaxY, 1);
        EXPECT_NEAR(s.minX, truthCoverage.minX, 3.0);
        EXPECT_NEAR(s.maxX + 1, truthCoverage.maxX, 3.0);
        EXPECT_NEAR(s.minY, truthCoverage.minY, 3.0);
        EXPECT_NEAR(s.maxY + 1, truthCoverage.maxY, 3.0);
        if (c.frame < 0) {
            // Framed: the model fills most of the picture and touches no edge.
            EXPECT_GT(s.minX, 0);
            EXPECT_GT(s.minY, 0);
            EXPECT_LT(s.maxX, kWidth - 1);
            EXPECT_LT(s.maxY, kHeight - 1);
            EXPECT_GT(std::max(s.maxX - s.minX, s.maxY - s.minY), kHeight / 2);
        }
    }
}

double Overlap(const Silhouette& a, const Silhouette& b, bool mirrored) {
    size_t both = 0;
    size_t either = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            const bool pa = a.At(x, y);
            const bool pb = b.At(mirrored ? a.width - 1 - x : x, y);
            both += pa && pb ? 1 : 0;
            either += pa || pb ? 1 : 0;
        }
    }
    return either > 0 ? static_cast<double>(both) / static_cast<double>(either) : 0;
}

TEST(PreviewGeometry, MirroredSkeletonGivesMirroredSilhouette) {
    const std::string referenceText = ReadText(kExampleDir + "/soldier_reference.smd");
    const std::string walkText = ReadText(kExampleDir + "/soldier_walk.smd");
    const XGeneralContent model = ConvertSmd(referenceText, {walkText});
    const XGeneralContent mirror =
        ConvertSmd(testing::MirrorSmd(referenceText), {testing::MirrorSmd(walkText)});
    ASSERT_EQ(mirror.animSets.size(), 1u);
    // From above, the picture's x is the SMD's y: one leg forward, the other back.
    PreviewSettings settings;
    settings.view = ViewKind::kTop;
    settings.width = kWidth;
    settings.height = kHeight;
    const uint32_t time = KeyTimes(model.animSets[0]).at(5);
    const Silhouette a = SilhouetteOf(
        Render(model, PreviewCamera(model.frames, {}, settings), &model.animSets[0], time),
        PlainStyle().background);
    const Silhouette b = SilhouetteOf(
        Render(mirror, PreviewCamera(mirror.frames, {}, settings), &mirror.animSets[0], time),
        PlainStyle().background);
    EXPECT_GT(Overlap(a, b, true), 0.97);
    // The pose is not symmetric itself, so the test sees the mirror.
    EXPECT_LT(Overlap(a, a, true), 0.9);
}

TEST(PreviewGeometry, RootMovingForwardMovesTheSilhouette) {
    const std::string referenceText = ReadText(kExampleDir + "/soldier_reference.smd");
    const std::string walkText = ReadText(kExampleDir + "/soldier_walk.smd");
    const XGeneralContent model = ConvertSmd(referenceText, {walkText});
    const truth::Model reference = truth::ParseSmd(referenceText);
    const auto walk = truth::FramesByReferenceIds(truth::ParseSmd(walkText), reference);
    PreviewSettings settings;
    settings.view = ViewKind::kSide;
    settings.width = kWidth;
    settings.height = kHeight;
    settings.setName = model.animSets[0].name;
    settings.frames = "0,20";
    std::string error;
    const std::optional<PreviewPlan> plan = PlanPreview(model.animSets, settings, error);
    ASSERT_TRUE(plan) << error;
    const Camera camera = PreviewCamera(model.frames, *plan, settings);
    const Silhouette first =
        SilhouetteOf(Render(model, camera, plan->set, plan->times[0]), PlainStyle().background);
    const Silhouette later =
        SilhouetteOf(Render(model, camera, plan->set, plan->times[1]), PlainStyle().background);
    // Where the root went, projected: the whole body goes with it.
    auto rootPixel = [&](size_t frame) {
        const auto world = truth::WorldTransforms(reference, walk[frame]);
        const truth::Mat4& root = world.at(0);
        return camera.Project(ToX({root.m[3][0], root.m[3][1], root.m[3][2]})).x;
    };
    const double expected = rootPixel(20) - rootPixel(0);
    ASSERT_GT(expected, 20.0);  // forward is to the right from the character's left
    EXPECT_NEAR(later.CentroidX() - first.CentroidX(), expected, 0.1 * expected);
}

TEST(PreviewGeometry, JointsFallInsideTheSilhouetteAtTheBindPose) {
    const std::string chain = testing::BoxChainSmd();
    const XGeneralContent model = ConvertSmd(chain);
    const truth::Model reference = truth::ParseSmd(chain);
    const auto bind = truth::WorldTransforms(reference, reference.frames.at(0));
    for (ViewKind view : {ViewKind::kThreeQuarter, ViewKind::kFront, ViewKind::kSide}) {
        PreviewSettings settings;
        settings.view = view;
        settings.width = kWidth;
        settings.height = kHeight;
        const Camera camera = PreviewCamera(model.frames, {}, settings);
        const Silhouette mesh =
            SilhouetteOf(Render(model, camera, nullptr, 0), PlainStyle().background);
        const Image withBones = Render(model, camera, nullptr, 0, true);
        for (const auto& [id, world] : bind) {
            const Vector3 p = camera.Project(ToX({world.m[3][0], world.m[3][1], world.m[3][2]}));
            const int x = static_cast<int>(p.x);
            const int y = static_cast<int>(p.y);
            SCOPED_TRACE("joint " + std::to_string(id));
            EXPECT_TRUE(mesh.At(x, y));
            // The dot is drawn there, over the mesh.
            EXPECT_EQ(withBones.At(x, y), (Rgb{255, 96, 64}));
        }
    }
}

}  // namespace
}  // namespace toravel
