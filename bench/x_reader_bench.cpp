// Load throughput of the text X reader.
//
//   x_reader_bench --xfile=PATH
// loads PATH (for instance the X file exported from the large generated reference with its
// animation). Without --xfile a synthetic skinned and animated model is written to the
// temporary folder first and loaded instead. The reported bytes_per_second is input bytes
// per second; every answer to the reader's questions is No.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "app/message_stream_interaction.h"
#include "app/x_load_command.h"
#include "scene/node_ops.h"
#include "text/text_writer.h"
#include "xfile/x_writer.h"

namespace {

std::string gXFile;

// Notices go to stderr; questions are answered No.
class Silent : public toravel::MessageStreamInteraction {
  public:
    Silent() : MessageStreamInteraction(&std::cerr) {}
};

// A chain of bones, one grid mesh weighted to them, and one animation set with a matrix key
// per bone and frame.
std::string WriteSyntheticModel() {
    using namespace toravel;
    constexpr int kBones = 60, kGrid = 250, kFrames = 400;
    NodeList nodes;
    for (int b = 0; b < kBones; ++b) {
        SceneNode n;
        n.id = b;
        n.parentId = b - 1;
        n.name = "Bone" + std::to_string(b);
        n.localMatrix = EulerTransform(0, 1.5f, 0, 0.01f * b, 0, 0.02f);
        nodes.push_back(n);
    }
    SceneNode body;
    body.id = kBones;
    body.parentId = -1;
    body.name = "Body";
    MeshData& mesh = body.mesh;
    for (int y = 0; y < kGrid; ++y) {
        for (int x = 0; x < kGrid; ++x) {
            mesh.positions.push_back({x * 0.1f, y * 0.37f, std::sin(x * 0.3f)});
            mesh.normals.push_back({0, std::cos(y * 0.2f), std::sin(y * 0.2f)});
            mesh.texCoords.push_back({x / float(kGrid), y / float(kGrid)});
        }
    }
    for (int y = 0; y + 1 < kGrid; ++y) {
        for (int x = 0; x + 1 < kGrid; ++x) {
            const int v = y * kGrid + x;
            for (int i : {v, v + 1, v + kGrid, v + 1, v + kGrid + 1, v + kGrid}) {
                mesh.faceIndices.push_back(i);
                mesh.normalFaceIndices.push_back(i);
            }
            mesh.faceMaterials.push_back(0);
            mesh.faceMaterials.push_back(0);
        }
    }
    mesh.materials.resize(1);
    mesh.materials[0].textureFile = "synthetic.bmp";
    for (int b = 0; b < kBones; ++b) {
        BoneWeights bone;
        bone.boneName = "Bone" + std::to_string(b);
        for (int v = b; v < kGrid * kGrid; v += kBones) {
            bone.vertexIndices.push_back(v);
            bone.weights.push_back(1.0f);
        }
        bone.weightCount = static_cast<int32_t>(bone.vertexIndices.size());
        mesh.boneWeights.push_back(bone);
    }
    mesh.vertexCount = mesh.normalCount = mesh.texCoordCount = kGrid * kGrid;
    mesh.faceCount = mesh.normalFaceCount = static_cast<int32_t>(mesh.faceIndices.size() / 3);
    mesh.faceMaterialCount = static_cast<int32_t>(mesh.faceMaterials.size());
    mesh.materialCount = 1;
    mesh.boneCount = kBones;
    mesh.maxWeightsPerVertex = mesh.maxWeightsPerFace = 1;
    nodes.push_back(body);
    ReadReport linked;
    LinkParents(nodes, linked);

    AnimSet set;
    set.name = "Synthetic";
    for (int b = 0; b < kBones; ++b) {
        KeyTrack track;
        track.keyType = 4;
        for (int f = 0; f < kFrames; ++f) {
            TimedKey key;
            key.time = static_cast<uint32_t>(f * 1000);
            key.valueCount = 16;
            key.isMatrix = true;
            key.matrix = EulerTransform(0, 1.5f, 0, 0.01f * f, 0.003f * b, 0.02f);
            track.keys.push_back(key);
        }
        track.keyCount = kFrames;
        set.animations.push_back({"Bone" + std::to_string(b), {track}});
    }

    const std::string path =
        (std::filesystem::temp_directory_path() / "toravel_x_reader_bench.x").string();
    std::unique_ptr<FileSink> sink = FileSink::Create(path);
    TextWriter out(*sink);
    Message failure;
    WriteSceneFrames(out, nodes, failure);
    WriteAnimationSet(out, set);
    out.Finish();
    return path;
}

void LoadXFile(benchmark::State& state) {
    Silent ui;
    const auto bytes = static_cast<int64_t>(std::filesystem::file_size(gXFile));
    for (auto _ : state) {
        toravel::XFileReader doc;
        if (!toravel::LoadXFileFrom(doc, {gXFile, "bench.x"}, ui)) {
            state.SkipWithError("load failed");
            return;
        }
        benchmark::DoNotOptimize(doc.frames.data());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

BENCHMARK(LoadXFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--xfile=", 0) == 0) {
            gXFile = arg.substr(8);
        }
    }
    if (gXFile.empty()) {
        gXFile = WriteSyntheticModel();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
