// Inputs shaped to make the cost grow faster than their size: many animation sets of one name
// (renaming), many frames with many sets (the compatibility check), and static meshes whose
// vertices all fall into one grid cell (welding and adjacency). Each runs at growing sizes;
// the items per second stay flat when the cost is linear. Run (release build):
//   build/release/bench/toravel_hostile_bench
#include <benchmark/benchmark.h>

#include <array>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "app/batch_convert.h"
#include "app/message_stream_interaction.h"
#include "app/static_mesh_commands.h"
#include "scene/matrix.h"
#include "scene/node_ops.h"
#include "staticmesh/portable_mesh_layer.h"
#include "text/text_writer.h"
#include "xfile/x_writer.h"

namespace {

using namespace toravel;

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

AnimSet Set(std::string name, std::string frame) {
    TimedKey key;
    key.valueCount = 16;
    key.isMatrix = true;
    key.matrix = IdentityMatrix();
    KeyTrack track;
    track.keyType = 4;
    track.keyCount = 1;
    track.keys.push_back(key);
    return AnimSet{std::move(name), {NodeAnimation{std::move(frame), {track}}}};
}

std::string Numbered(const char* prefix, size_t i) {
    char name[40];
    std::snprintf(name, sizeof name, "%s%zu", prefix, i);
    return name;
}

// Writes an X file of `frames` frames under one root and `sets` sets, the set i animating
// frame i modulo the frames, named `name` or, when empty, "set_i".
std::string WriteX(const std::string& file, size_t frames, size_t sets, const std::string& name) {
    NodeList nodes;
    for (size_t i = 0; i < frames; ++i) {
        SceneNode n;
        n.id = static_cast<int32_t>(i);
        n.parentId = i == 0 ? -1 : 0;
        n.name = Numbered("f", i);
        nodes.push_back(n);
    }
    ReadReport report;
    LinkParents(nodes, report);
    std::vector<AnimSet> list;
    for (size_t i = 0; i < sets; ++i) {
        list.push_back(Set(name.empty() ? Numbered("set_", i) : name, Numbered("f", i % frames)));
    }
    const std::string path = TempPath(file);
    std::unique_ptr<FileSink> sink = FileSink::Create(path);
    TextWriter out(*sink);
    Message failure;
    WriteXDocument(out, nodes, list, {}, failure);
    out.Finish();
    return path;
}

void Convert(benchmark::State& state, const std::string& reference, const std::string& animation) {
    ConvertRequest request;
    request.reference = reference;
    request.animations.push_back({animation, std::nullopt});
    request.output = TempPath("toravel_hostile_out.x");
    request.force = true;
    request.quiet = true;
    for (auto _ : state) {
        std::ostringstream messages;
        if (RunConvert(request, messages) != 0) {
            state.SkipWithError(messages.str().c_str());
            return;
        }
    }
}

// Sets of one name, added to a reference that has one of that name: each needs a fresh name.
void SetsOfOneName(benchmark::State& state) {
    const auto sets = static_cast<size_t>(state.range(0));
    const std::string ref = WriteX("toravel_hostile_ref1.x", 2, 1, "a");
    const std::string anim = WriteX("toravel_hostile_same.x", 2, sets, "a");
    Convert(state, ref, anim);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * sets));
}
BENCHMARK(SetsOfOneName)->Arg(1000)->Arg(4000)->Arg(8000)->Unit(benchmark::kMillisecond);

// As many sets as frames, each animating one frame.
void ManyFramesManySets(benchmark::State& state) {
    const auto n = static_cast<size_t>(state.range(0));
    const std::string ref = WriteX("toravel_hostile_frames.x", n, 0, "");
    const std::string anim = WriteX("toravel_hostile_sets.x", n, n, "");
    Convert(state, ref, anim);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * n));
}
BENCHMARK(ManyFramesManySets)->Arg(2500)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

class Silent : public MessageStreamInteraction {
  public:
    Silent() : MessageStreamInteraction(&std::cerr) {}
};

// A static SMD file of `triangles` triangles whose corner n lies at position(n).
template <typename Position>
std::string WriteStatic(const char* name, size_t triangles, Position position) {
    const std::string path = TempPath(name);
    std::ofstream out(path, std::ios::binary);
    out << "version 1\nnodes\n0 \"root\" -1\nend\nskeleton\ntime 0\n0 0 0 0 0 0 0\nend\n"
           "triangles\n";
    char line[200];
    for (size_t j = 0; j < triangles; ++j) {
        out << "stone.bmp\n";
        for (size_t k = 0; k < 3; ++k) {
            const std::array<double, 3> p = position(3 * j + k);
            std::snprintf(line, sizeof line, "0 %.9g %.9g %.9g 0 0 1 0 0\n", p[0], p[1], p[2]);
            out << line;
        }
    }
    out << "end\n";
    return path;
}

// Loads the static mesh at `path` as `toravel static` does, once per iteration.
void LoadStatic(benchmark::State& state, const std::string& path, size_t triangles) {
    PortableMeshLayer layer;
    Silent ui;
    for (auto _ : state) {
        StaticMesh mesh;
        if (Failed(BuildStaticMesh(mesh, layer, path, ui))) {
            state.SkipWithError("load failed");
            return;
        }
        ReleaseStaticMesh(mesh);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * triangles));
}

// Static meshes whose corners all lie at one point (range 1 = 0) or at distinct coordinates
// around 1e30 (range 1 = 1).
void StaticOneCell(benchmark::State& state) {
    const auto triangles = static_cast<size_t>(state.range(0));
    const bool far = state.range(1) != 0;
    const std::string path =
        WriteStatic("toravel_hostile_static.smd", triangles, [far](size_t n) {
            const double v = far ? 1e30 * (1.0 + 1e-6 * static_cast<double>(n)) : 0.0;
            return std::array<double, 3>{v, v, v};
        });
    LoadStatic(state, path, triangles);
}
BENCHMARK(StaticOneCell)
    ->Args({5000, 0})->Args({21845, 0})->Args({5000, 1})->Args({21845, 1})
    ->Unit(benchmark::kMillisecond);

// Distinct positions that fill two neighbouring welding cells, each cell's positions within
// the epsilon of one another and none within it of the other cell's: side by side along x
// (range 1 = 1) or diagonally, apart on all three axes (range 1 = 3).
void StaticTwoCells(benchmark::State& state) {
    const auto triangles = static_cast<size_t>(state.range(0));
    const bool diagonal = state.range(1) == 3;
    const double epsilon = kAdjacencyEpsilon;
    const std::string path =
        WriteStatic("toravel_hostile_two_cells.smd", triangles, [&](size_t n) {
            const double t = 0.4 * epsilon * static_cast<double>(n / 2) /
                             static_cast<double>(3 * triangles);
            const double far = n % 2 == 0 ? 0.0 : 1.6 * epsilon;
            const double along = 0.5 * epsilon;
            return diagonal ? std::array<double, 3>{far + t, far + t * 0.5, far + t * 0.25}
                            : std::array<double, 3>{far + t, along, along};
        });
    LoadStatic(state, path, triangles);
}
BENCHMARK(StaticTwoCells)
    ->Args({5000, 1})->Args({21845, 1})->Args({5000, 3})->Args({21845, 3})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
