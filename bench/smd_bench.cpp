// Load and write throughput on the generated large reference and animation.
//
// Generate the inputs first (release build):
//   build/release/bench/toravel_gen_smd /tmp/big_ref.smd /tmp/big_anim.smd
// then run:
//   build/release/bench/toravel_bench --reference=/tmp/big_ref.smd --animation=/tmp/big_anim.smd
// The reported bytes_per_second is input bytes per second.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "app/message_stream_interaction.h"
#include "app/smd_load_commands.h"
#include "text/text_writer.h"
#include "xfile/x_writer.h"

namespace {

std::string gReference = "/tmp/big_ref.smd";
std::string gAnimation = "/tmp/big_anim.smd";

// Notices go to stderr; the one name asked for is "bench".
class Silent : public toravel::MessageStreamInteraction {
  public:
    Silent() : MessageStreamInteraction(&std::cerr) {}
    std::optional<std::string> AskAnimSetName(const toravel::NamePrompt&) override {
        return std::string("bench");
    }
};

std::string OutputPath() {
    return (std::filesystem::temp_directory_path() / "toravel_bench_out.x").string();
}

void LoadAndWriteReference(benchmark::State& state) {
    Silent ui;
    toravel::StatusLog log(ui);
    const auto bytes = static_cast<int64_t>(std::filesystem::file_size(gReference));
    for (auto _ : state) {
        toravel::SmdReference doc;
        if (!toravel::LoadSmdReferenceFile(doc, {gReference, "ref.smd"}, ui, log)) {
            state.SkipWithError("load failed");
            return;
        }
        auto sink = toravel::FileSink::Create(OutputPath());
        toravel::TextWriter out(*sink);
        toravel::Message failure;
        toravel::WriteSceneFrames(out, doc.nodes, failure);
        if (!out.Finish()) {
            state.SkipWithError("write failed");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

void LoadAndWriteAnimation(benchmark::State& state) {
    Silent ui;
    toravel::StatusLog log(ui);
    const auto bytes = static_cast<int64_t>(std::filesystem::file_size(gAnimation));
    for (auto _ : state) {
        toravel::SmdAnimation doc;
        if (!toravel::LoadSmdAnimationFile(doc, {gAnimation, "anim.smd"}, ui, log)) {
            state.SkipWithError("load failed");
            return;
        }
        auto sink = toravel::FileSink::Create(OutputPath());
        toravel::TextWriter out(*sink);
        for (const toravel::AnimSet& set : doc.animSets) {
            toravel::WriteAnimationSet(out, set);
        }
        if (!out.Finish()) {
            state.SkipWithError("write failed");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

BENCHMARK(LoadAndWriteReference)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(LoadAndWriteAnimation)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--reference=", 0) == 0) {
            gReference = arg.substr(12);
        } else if (arg.rfind("--animation=", 0) == 0) {
            gAnimation = arg.substr(12);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
