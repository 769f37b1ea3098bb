// Static mesh load and save at the largest size that 16-bit indices allow: 21,845 triangles.
// The SMD input is generated into the temporary folder on start. Run (release build):
//   build/release/bench/toravel_static_bench
// StaticLoad is the whole "Load SMD Static Mesh" (read, build, adjacency, optimisation);
// StaticParse, StaticAdjacency and StaticOptimize time its parts, so the optimisation's share
// of the load is StaticOptimize / StaticLoad. StaticExport is the save of the built mesh.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "app/message_stream_interaction.h"
#include "app/static_mesh_commands.h"
#include "staticmesh/portable_mesh_layer.h"
#include "text/text_input.h"

namespace {

using namespace toravel;

constexpr size_t kTriangles = 21845;

// Notices go to stderr; questions are answered No.
class Silent : public toravel::MessageStreamInteraction {
  public:
    Silent() : MessageStreamInteraction(&std::cerr) {}
};

std::string TempPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

// A grid of quads split into triangles with shared corners, as a real model has them, and
// eight textures in runs of 37 triangles.
const std::string& InputPath() {
    static const std::string path = [] {
        const std::string p = TempPath("toravel_static_bench.smd");
        std::ofstream out(p, std::ios::binary);
        out << "version 1\nnodes\n0 \"root\" -1\nend\nskeleton\ntime 0\n0 0 0 0 0 0 0\nend\n"
               "triangles\n";
        char line[160];
        const int width = 150;
        for (size_t j = 0; j < kTriangles; ++j) {
            const int quad = static_cast<int>(j / 2);
            const int x = quad % width;
            const int y = quad / width;
            out << "texture_" << (j / 37) % 8 << ".bmp\n";
            const int corners[2][3][2] = {{{0, 0}, {1, 0}, {0, 1}}, {{1, 0}, {1, 1}, {0, 1}}};
            for (const auto& c : corners[j % 2]) {
                const float px = static_cast<float>(x + c[0]);
                const float py = static_cast<float>(y + c[1]);
                std::snprintf(line, sizeof line, "0 %f %f %f 0 0 1 %f %f\n", px, py,
                              0.1f * static_cast<float>((x + y) % 7), px / width, py / width);
                out << line;
            }
        }
        out << "end\n";
        return p;
    }();
    return path;
}

// The portable layer without the optimisation, to time the optimisation on its own.
class UnoptimizedMesh : public PortableMesh {
  public:
    using PortableMesh::PortableMesh;
    Hresult OptimizeInplace(uint32_t, const uint32_t*) override { return hresult::kOk; }
};

class UnoptimizedLayer : public PortableMeshLayer {
  public:
    Hresult CreateMeshFvf(uint32_t faces, uint32_t vertices, uint32_t options, uint32_t fvf,
                          std::unique_ptr<MeshObject>& mesh) override {
        const Hresult code = PortableMeshLayer::CreateMeshFvf(faces, vertices, options, fvf, mesh);
        if (Succeeded(code)) {
            mesh = std::make_unique<UnoptimizedMesh>(faces, vertices);
        }
        return code;
    }
};

// The mesh as the build leaves it before the optimisation.
PortableMesh BuiltUnoptimized() {
    Silent ui;
    UnoptimizedLayer layer;
    StaticMesh mesh;
    if (!LoadStaticMesh(mesh, layer, {InputPath(), "in.smd"}, ui)) {
        std::abort();
    }
    return static_cast<PortableMesh&>(*mesh.meshObject);
}

void StaticLoad(benchmark::State& state) {
    Silent ui;
    PortableMeshLayer layer;
    const std::string path = InputPath();
    for (auto _ : state) {
        StaticMesh mesh;
        if (!LoadStaticMesh(mesh, layer, {path, "in.smd"}, ui)) {
            state.SkipWithError("load failed");
            return;
        }
        benchmark::DoNotOptimize(mesh.meshObject.get());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kTriangles));
}
BENCHMARK(StaticLoad)->Unit(benchmark::kMillisecond);

void StaticParse(benchmark::State& state) {
    std::optional<TextInput> input = TextInput::OpenFile(InputPath());
    if (!input) {
        state.SkipWithError("no input");
        return;
    }
    for (auto _ : state) {
        StaticTriangleSet set;
        ReadReport report;
        input->seek(0);
        if (!ParseStaticSmd(*input, set, report)) {
            state.SkipWithError("parse failed");
            return;
        }
        benchmark::DoNotOptimize(set.triangles.data());
    }
}
BENCHMARK(StaticParse)->Unit(benchmark::kMillisecond);

void StaticAdjacency(benchmark::State& state) {
    PortableMesh mesh = BuiltUnoptimized();
    std::vector<uint32_t> adjacency(size_t{mesh.GetNumFaces()} * 3);
    for (auto _ : state) {
        mesh.GenerateAdjacency(kAdjacencyEpsilon, adjacency.data());
        benchmark::DoNotOptimize(adjacency.data());
    }
}
BENCHMARK(StaticAdjacency)->Unit(benchmark::kMillisecond);

void StaticOptimize(benchmark::State& state) {
    const PortableMesh built = BuiltUnoptimized();
    std::vector<uint32_t> adjacency(size_t{built.GetNumFaces()} * 3);
    PortableMesh(built).GenerateAdjacency(kAdjacencyEpsilon, adjacency.data());
    for (auto _ : state) {
        state.PauseTiming();
        PortableMesh mesh = built;
        state.ResumeTiming();
        if (Failed(
                mesh.OptimizeInplace(kMeshOptAttrSort | kMeshOptVertexCache, adjacency.data()))) {
            state.SkipWithError("optimisation failed");
            return;
        }
        benchmark::DoNotOptimize(mesh.indices().data());
    }
}
BENCHMARK(StaticOptimize)->Unit(benchmark::kMillisecond);

void StaticExport(benchmark::State& state) {
    Silent ui;
    PortableMeshLayer layer;
    StaticMesh mesh;
    if (!LoadStaticMesh(mesh, layer, {InputPath(), "in.smd"}, ui)) {
        state.SkipWithError("load failed");
        return;
    }
    const std::string out = TempPath("toravel_static_bench.x");
    for (auto _ : state) {
        if (!ExportStaticMesh(mesh, layer, {out, "out.x"}, ui)) {
            state.SkipWithError("export failed");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(out)));
}
BENCHMARK(StaticExport)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
