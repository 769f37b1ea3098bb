// One 800x600 preview frame of a large model: posing and skinning on the CPU, then drawing.
//
//   toravel_preview_bench --reference=PATH.smd [--animation=PATH.smd] [--threads=N]
// converts the reference (for instance the 200,000 triangles of toravel_gen_smd) in memory
// as `toravel preview` does, reads the X document back once, and then measures one picture
// at the bind pose and, with an animation, one at its middle key. Without --reference a
// synthetic grid of 200,000 triangles on a chain of bones is used. The counter "triangles"
// is the model's face count. --benchmark_* options are Google Benchmark's.

#include <benchmark/benchmark.h>

#include <cmath>
#include <iostream>
#include <sstream>
#include <string>

#include "app/batch_convert.h"
#include "preview/pose.h"
#include "preview/preview_picture.h"
#include "preview/render.h"
#include "scene/node_ops.h"
#include "xfile/x_general_reader.h"

namespace {

toravel::XGeneralContent gModel;
int gThreads = 0;  // that draw the picture; 0: every core

size_t Faces() {
    size_t faces = 0;
    for (const toravel::SceneNode& node : gModel.frames) {
        faces += static_cast<size_t>(node.mesh.faceCount);
    }
    return faces;
}

// A grid of 200,000 triangles over 40 bones, for runs without a reference.
void SyntheticModel() {
    using namespace toravel;
    constexpr int kSide = 317;  // 316 * 316 * 2 = 199,712 triangles
    NodeList& frames = gModel.frames;
    SceneNode root;
    root.id = 0;
    root.parentId = -1;
    root.name = "Scene_Root";
    frames.push_back(root);
    for (int b = 1; b <= 40; ++b) {
        SceneNode bone;
        bone.id = b;
        bone.parentId = b - 1;
        bone.name = "Bone" + std::to_string(b);
        bone.localMatrix = TranslationMatrix(0, b == 1 ? 0.0f : 1.0f, 0);
        frames.push_back(bone);
    }
    MeshData& mesh = frames[1].mesh;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            mesh.positions.push_back({x * 0.1f, y * 40.0f / kSide, 0.3f * std::sin(x * 0.2f)});
        }
    }
    for (int y = 0; y + 1 < kSide; ++y) {
        for (int x = 0; x + 1 < kSide; ++x) {
            const int v = y * kSide + x;
            for (int i : {v, v + 1, v + kSide, v + 1, v + kSide + 1, v + kSide}) {
                mesh.faceIndices.push_back(i);
            }
        }
    }
    mesh.vertexCount = static_cast<int32_t>(mesh.positions.size());
    mesh.faceCount = static_cast<int32_t>(mesh.faceIndices.size() / 3);
    for (int b = 1; b <= 40; ++b) {
        BoneWeights weights;
        weights.boneName = "Bone" + std::to_string(b);
        weights.offsetMatrix = TranslationMatrix(0, -static_cast<float>(b - 1), 0);
        for (int v = 0; v < mesh.vertexCount; ++v) {
            if (static_cast<int>(mesh.positions[static_cast<size_t>(v)].y) == b - 1) {
                weights.vertexIndices.push_back(v);
                weights.weights.push_back(1.0f);
            }
        }
        weights.weightCount = static_cast<int32_t>(weights.vertexIndices.size());
        mesh.boneWeights.push_back(std::move(weights));
    }
    mesh.boneCount = static_cast<int32_t>(mesh.boneWeights.size());
    toravel::ReadReport report;
    LinkParents(frames, report);
}

void Picture(benchmark::State& state, bool animated) {
    using namespace toravel;
    PreviewSettings settings;
    settings.width = 800;
    settings.height = 600;
    PreviewPlan plan;
    if (animated) {
        if (gModel.animSets.empty()) {
            state.SkipWithError("no animation given");
            return;
        }
        plan.set = &gModel.animSets.front();
        const std::vector<uint32_t> times = KeyTimes(*plan.set);
        plan.frames = {times.size() / 2};
        plan.times = {times[times.size() / 2]};
    }
    for (auto _ : state) {
        const std::vector<Matrix> pose =
            PoseMatrices(gModel.frames, plan.set, plan.set ? plan.times[0] : 0);
        const std::vector<PosedMesh> meshes = PoseMeshes(gModel.frames, pose);
        const Camera camera =
            FrameCamera(BoundsOf(meshes), settings.view, settings.width, settings.height);
        RenderStyle style;
        style.floor = BoundsOf(meshes);
        style.threads = gThreads;
        const Image image = RenderPose(gModel.frames, pose, meshes, camera, style);
        benchmark::DoNotOptimize(image.pixels().data());
    }
    state.counters["triangles"] = static_cast<double>(Faces());
}

void PreviewBindPose(benchmark::State& state) {
    Picture(state, false);
}
void PreviewAnimatedKey(benchmark::State& state) {
    Picture(state, true);
}
// The picture is drawn on every core: the time is the wall clock's, the CPU time the whole
// process's.
BENCHMARK(PreviewBindPose)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(PreviewAnimatedKey)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

}  // namespace

int main(int argc, char** argv) {
    toravel::ConvertRequest request;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--reference=", 0) == 0) {
            request.reference = arg.substr(12);
        } else if (arg.rfind("--animation=", 0) == 0) {
            request.animations.push_back({arg.substr(12), std::nullopt});
        } else if (arg.rfind("--threads=", 0) == 0) {
            gThreads = std::stoi(arg.substr(10));
        }
    }
    if (request.reference.empty()) {
        SyntheticModel();
    } else {
        std::ostringstream messages;
        const std::optional<std::string> document = toravel::ConvertInMemory(request, messages);
        if (!document) {
            std::cerr << messages.str();
            return 1;
        }
        toravel::XGeneralResult read = toravel::ReadXGeneral(*document, request.reference);
        if (!read.ok()) {
            std::cerr << read.error << "\n";
            return 1;
        }
        gModel = std::move(*read.content);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
