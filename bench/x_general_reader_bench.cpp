// Read throughput of the general X reader on text.
//
//   x_general_reader_bench --xfile=PATH
// reads PATH (for instance the X file exported from the large generated reference with its
// animation) into memory once and then reads it from there again and again. Without
// --xfile a synthetic skinned and animated model is written to memory instead. The reported
// bytes_per_second is input bytes per second.

#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "app/message_stream_interaction.h"
#include "scene/node_ops.h"
#include "text/text_writer.h"
#include "xfile/x_general_reader.h"
#include "xfile/x_writer.h"

namespace {

std::string gXText;

// A chain of bones, one grid mesh weighted to them, and one set with a matrix key per bone
// and frame.
std::string SyntheticModel() {
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
    StringSink sink;
    TextWriter out(sink);
    Message failure;
    WriteSceneFrames(out, nodes, failure);
    WriteAnimationSet(out, set);
    out.Finish();
    return sink.text;
}

void ReadXGeneralText(benchmark::State& state) {
    for (auto _ : state) {
        const toravel::XGeneralResult result = toravel::ReadXGeneral(gXText, "bench.x");
        if (!result.ok()) {
            state.SkipWithError(result.error.c_str());
            return;
        }
        benchmark::DoNotOptimize(result.content->frames.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(gXText.size()));
}

BENCHMARK(ReadXGeneralText)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--xfile=", 0) == 0) {
            std::ifstream in(arg.substr(8), std::ios::binary);
            gXText.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            if (gXText.empty()) {
                std::cerr << "cannot read " << arg.substr(8) << "\n";
                return 1;
            }
        }
    }
    if (gXText.empty()) {
        gXText = SyntheticModel();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
