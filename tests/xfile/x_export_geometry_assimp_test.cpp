// The geometry of exported files against ground truth: the skeleton and the skinned mesh as
// the SMD files mean them, computed independently in the test, must be what Assimp, an
// independent reader, finds in the X file: every bone's model-space origin at the bind pose
// and at every key, and every skinned vertex at every key of every animation set.
#include <assimp/scene.h>
#include <gtest/gtest.h>
#include <assimp/Importer.hpp>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <sstream>

#include "app/batch_convert.h"
#include "support/smd_truth.h"
#include "support/temp_dir.h"

namespace toravel {
namespace {

namespace truth = testing::truth;
using testing::TempDir;

const std::string kExamples = TORAVEL_EXAMPLES_DIR;

// The X file's left-handed space from Assimp's right-handed one: Assimp's X importer mirrors z.
truth::Vec3 FromAssimp(const aiVector3D& v) {
    return {v.x, v.y, -v.z};
}

double Distance(const truth::Vec3& a, const truth::Vec3& b) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                     (a[2] - b[2]) * (a[2] - b[2]));
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

// The scene as Assimp read it, posed at the bind pose or at one key of one animation.
class AssimpPose {
  public:
    AssimpPose(const aiScene* scene, const aiAnimation* animation, unsigned key)
        : scene_(scene), animation_(animation), key_(key) {}

    aiMatrix4x4 Global(const aiNode* node) const {
        aiMatrix4x4 global;
        for (; node != nullptr; node = node->mParent) {
            global = Local(node) * global;
        }
        return global;
    }

    // Linear blend skinning with the file's offset matrices and weights, per vertex of `mesh`.
    std::vector<aiVector3D> Skinned(const aiMesh* mesh) const {
        std::vector<aiVector3D> out(mesh->mNumVertices, aiVector3D(0, 0, 0));
        for (unsigned b = 0; b < mesh->mNumBones; ++b) {
            const aiBone* bone = mesh->mBones[b];
            const aiNode* node = FindNode(scene_->mRootNode, bone->mName.C_Str());
            EXPECT_NE(node, nullptr) << bone->mName.C_Str();
            if (node == nullptr) {
                continue;
            }
            const aiMatrix4x4 skin = Global(node) * bone->mOffsetMatrix;
            for (unsigned w = 0; w < bone->mNumWeights; ++w) {
                const aiVertexWeight& weight = bone->mWeights[w];
                out[weight.mVertexId] +=
                    (skin * mesh->mVertices[weight.mVertexId]) * weight.mWeight;
            }
        }
        return out;
    }

  private:
    aiMatrix4x4 Local(const aiNode* node) const {
        if (animation_ != nullptr) {
            for (unsigned c = 0; c < animation_->mNumChannels; ++c) {
                const aiNodeAnim* channel = animation_->mChannels[c];
                if (channel->mNodeName == node->mName) {
                    const unsigned k = std::min(key_, channel->mNumPositionKeys - 1);
                    return aiMatrix4x4(channel->mScalingKeys[k].mValue,
                                       channel->mRotationKeys[k].mValue,
                                       channel->mPositionKeys[k].mValue);
                }
            }
        }
        return node->mTransformation;
    }

    const aiScene* scene_;
    const aiAnimation* animation_;
    unsigned key_;
};

struct TruthVertex {
    truth::Vec3 bindPosition;                            // turned into the X file's space
    std::vector<std::pair<std::string, float>> weights;  // by bone name, sorted
    const truth::Vertex* vertex;
};

std::vector<std::pair<std::string, float>> SortedWeights(
    std::vector<std::pair<std::string, float>> weights) {
    std::sort(weights.begin(), weights.end());
    return weights;
}

struct Errors {
    double bindBoneOrigins = 0;  // at the bind pose
    double keyBoneOrigins = 0;   // at every key of every set
    double skinnedVertices = 0;  // at every key of every set
};

// Converts `reference` with `animations` and measures the largest distances between what
// Assimp finds in the file and the truth.
Errors Measure(const std::string& reference, const std::vector<std::string>& animations) {
    TempDir dir;
    ConvertRequest request;
    request.reference = reference;
    for (const std::string& path : animations) {
        request.animations.push_back({path, std::nullopt});
    }
    request.output = dir.File("out.x");
    std::ostringstream messages;
    EXPECT_EQ(RunConvert(request, messages), kExitDone) << messages.str();

    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(request.output, 0);
    EXPECT_NE(scene, nullptr) << importer.GetErrorString();
    if (scene == nullptr) {
        return {1e30, 1e30, 1e30};
    }
    EXPECT_EQ(scene->mNumAnimations, animations.size());

    const truth::Model model = truth::ParseSmd(TempDir::Read(reference));
    std::map<int, std::string> names;
    for (const truth::Bone& bone : model.bones) {
        names[bone.id] = truth::XName(bone.name);
    }
    const auto bind = truth::WorldTransforms(model, model.frames.at(0));
    // The truth's vertices by their bind position on a grid finer than any two distinct
    // vertices of a real mesh.
    auto cell = [](const truth::Vec3& p) {
        return std::array<long long, 3>{std::llround(p[0] * 100), std::llround(p[1] * 100),
                                        std::llround(p[2] * 100)};
    };
    std::map<std::array<long long, 3>, std::vector<TruthVertex>> vertices;
    for (const truth::Vertex& v : model.vertices) {
        TruthVertex& t = vertices[cell(truth::Turn(v.position))].emplace_back();
        t.bindPosition = truth::Turn(v.position);
        for (const auto& [bone, weight] : v.links) {
            t.weights.emplace_back(names.at(bone), static_cast<float>(weight));
        }
        t.weights = SortedWeights(t.weights);
        t.vertex = &v;
    }

    Errors errors;
    auto measurePose = [&](const aiAnimation* animation, unsigned key,
                           const std::map<int, truth::Mat4>& pose) {
        const AssimpPose posed(scene, animation, key);
        for (const truth::Bone& bone : model.bones) {
            const aiNode* node = FindNode(scene->mRootNode, names.at(bone.id));
            EXPECT_NE(node, nullptr) << bone.name;
            if (node == nullptr) {
                continue;
            }
            const aiMatrix4x4 global = posed.Global(node);
            const truth::Vec3 origin = FromAssimp(aiVector3D(global.a4, global.b4, global.c4));
            const truth::Mat4& world = pose.at(bone.id);
            double& largest = animation == nullptr ? errors.bindBoneOrigins : errors.keyBoneOrigins;
            largest = std::max(
                largest,
                Distance(origin, truth::Turn({world.m[3][0], world.m[3][1], world.m[3][2]})));
        }
        if (animation == nullptr) {
            return;
        }
        for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
            const aiMesh* mesh = scene->mMeshes[m];
            std::vector<std::vector<std::pair<std::string, float>>> weights(mesh->mNumVertices);
            for (unsigned b = 0; b < mesh->mNumBones; ++b) {
                for (unsigned w = 0; w < mesh->mBones[b]->mNumWeights; ++w) {
                    const aiVertexWeight& weight = mesh->mBones[b]->mWeights[w];
                    weights[weight.mVertexId].emplace_back(mesh->mBones[b]->mName.C_Str(),
                                                           weight.mWeight);
                }
            }
            const std::vector<aiVector3D> skinned = posed.Skinned(mesh);
            for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
                // The vertex of the SMD file at this bind position with these weights.
                const truth::Vec3 position = FromAssimp(mesh->mVertices[i]);
                const auto sorted = SortedWeights(weights[i]);
                const TruthVertex* match = nullptr;
                const auto home = cell(position);
                for (int n = 0; n < 27 && match == nullptr; ++n) {
                    const std::array<long long, 3> at{home[0] + n % 3 - 1, home[1] + n / 3 % 3 - 1,
                                                      home[2] + n / 9 - 1};
                    const auto found = vertices.find(at);
                    if (found == vertices.end()) {
                        continue;
                    }
                    for (const TruthVertex& t : found->second) {
                        if (Distance(t.bindPosition, position) < 1e-4 && t.weights == sorted) {
                            match = &t;
                            break;
                        }
                    }
                }
                EXPECT_NE(match, nullptr) << "no SMD vertex at this place with these weights";
                if (match == nullptr) {
                    continue;
                }
                const truth::Vec3 expected = truth::Turn(truth::Skin(*match->vertex, bind, pose));
                errors.skinnedVertices =
                    std::max(errors.skinnedVertices, Distance(FromAssimp(skinned[i]), expected));
            }
        }
    };

    measurePose(nullptr, 0, bind);
    for (size_t a = 0; a < animations.size() && a < scene->mNumAnimations; ++a) {
        const truth::Model animation = truth::ParseSmd(TempDir::Read(animations[a]));
        const auto frames = truth::FramesByReferenceIds(animation, model);
        for (size_t k = 0; k < frames.size(); ++k) {
            measurePose(scene->mAnimations[a], static_cast<unsigned>(k),
                        truth::WorldTransforms(model, frames[k]));
        }
    }
    return errors;
}

void Report(const std::string& what, const Errors& errors) {
    std::cout << what << ": largest bone-origin error " << errors.bindBoneOrigins
              << " at the bind pose, " << errors.keyBoneOrigins
              << " over all keys; largest skinned-vertex error " << errors.skinnedVertices
              << " over all keys\n";
}

// A root away from the origin and turned about all three axes, two levels of children, a
// second root, vertices with one to three links, and an animation that moves and turns the
// root and bends the children. Every frame keys every bone, so that no reader has to guess
// what a bone without a key does.
constexpr const char* kReference = R"(version 1
nodes
0 "pelvis" -1
1 "spine" 0
2 "head" 1
3 "thigh" 0
4 "prop" -1
end
skeleton
time 0
0 3.000000 -2.000000 20.000000 0.200000 -0.300000 -1.570796
1 0.000000 1.000000 6.000000 0.000000 0.100000 0.200000
2 0.500000 0.000000 8.000000 0.300000 0.000000 0.000000
3 0.000000 4.000000 -2.000000 0.000000 0.400000 0.100000
4 10.000000 5.000000 0.000000 0.000000 0.000000 0.700000
end
triangles
skin.bmp
1 3 -2 26 0 0 1 0 0 2 0 0.4 1 0.6
1 4 -2 27 0 0 1 1 0 1 1 1
2 3 -1 33 0 0 1 0 1 3 0 0.2 1 0.3 2 0.5
skin.bmp
3 5 2 12 0 1 0 0 0 1 3 1
3 6 3 10 0 1 0 1 0 2 3 0.7 0 0.3
0 3 -2 20 0 1 0 0 1
prop.bmp
4 10 5 0 0 0 1 0 0
4 11 5 0 0 0 1 1 0 1 4 1
4 10 6 1 0 0 1 0 1 2 4 0.5 0 0.5
end
)";

constexpr const char* kAnimation = R"(version 1
nodes
0 "pelvis" -1
1 "spine" 0
2 "head" 1
3 "thigh" 0
4 "prop" -1
end
skeleton
time 0
0 3.000000 -2.000000 20.000000 0.200000 -0.300000 -1.570796
1 0.000000 1.000000 6.000000 0.000000 0.100000 0.200000
2 0.500000 0.000000 8.000000 0.300000 0.000000 0.000000
3 0.000000 4.000000 -2.000000 0.000000 0.400000 0.100000
4 10.000000 5.000000 0.000000 0.000000 0.000000 0.700000
time 1
0 9.000000 -2.000000 20.500000 0.200000 -0.300000 -1.000000
1 0.000000 1.000000 6.000000 0.300000 0.100000 0.200000
2 0.500000 0.000000 8.000000 0.300000 -0.400000 0.000000
3 0.000000 4.000000 -2.000000 0.000000 -0.400000 0.100000
4 10.000000 5.000000 0.000000 0.000000 0.000000 0.700000
time 2
0 15.000000 1.000000 19.000000 0.600000 0.500000 -2.200000
1 0.000000 1.000000 6.000000 0.000000 0.100000 0.900000
2 0.500000 0.000000 8.000000 0.300000 0.000000 0.000000
3 0.000000 4.000000 -2.000000 0.500000 0.400000 0.100000
4 12.000000 5.000000 1.000000 0.000000 0.300000 0.700000
end
)";

constexpr double kTolerance = 1e-4;

TEST(ExportGeometry, TurnedRootWithChildrenMatchesTruthThroughAssimp) {
    TempDir dir;
    const Errors errors =
        Measure(dir.Write("ref.smd", kReference), {dir.Write("anim.smd", kAnimation)});
    Report("fixture", errors);
    EXPECT_LT(errors.bindBoneOrigins, kTolerance);
    EXPECT_LT(errors.keyBoneOrigins, kTolerance);
    EXPECT_LT(errors.skinnedVertices, kTolerance);
}

TEST(ExportGeometry, ExampleCharacterMatchesTruthThroughAssimp) {
    const Errors errors =
        Measure(kExamples + "/soldier_reference.smd",
                {kExamples + "/soldier_walk.smd", kExamples + "/soldier_wave.smd"});
    Report("example character", errors);
    EXPECT_LT(errors.bindBoneOrigins, kTolerance);
    EXPECT_LT(errors.keyBoneOrigins, kTolerance);
    EXPECT_LT(errors.skinnedVertices, kTolerance);
}

}  // namespace
}  // namespace toravel
