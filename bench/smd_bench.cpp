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
#include <string>

#include "app/user_interaction.h"
#include "smd/smd_animation.h"
#include "smd/smd_reference.h"
#include "xfile/text_writer.h"
#include "xfile/x_writer.h"

namespace {

std::string gReference = "/tmp/big_ref.smd";
std::string gAnimation = "/tmp/big_anim.smd";

class Silent : public toravel::UserInteraction {
  public:
    bool AskYesNo(std::string_view, std::string_view, bool) override { return true; }
    void ShowMessage(std::string_view text, std::string_view title) override {
        std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(title.size()), title.data(),
                     static_cast<int>(text.size()), text.data());
    }
    std::optional<std::string> AskAnimSetName() override { return std::string("bench"); }
    std::optional<toravel::FileChoice> AskOpenFileName(const toravel::FileFilter&) override {
        return std::nullopt;
    }
    std::optional<toravel::FileChoice> AskSaveFileName(const toravel::FileFilter&,
                                                       std::string_view) override {
        return std::nullopt;
    }
    void RequestRepaint() override {}
    void ShowStatusLine(std::string_view) override {}
};

std::string OutputPath() {
    return (std::filesystem::temp_directory_path() / "toravel_bench_out.x").string();
}

void LoadAndWriteReference(benchmark::State& state) {
    Silent ui;
    toravel::StatusLog log(ui);
    toravel::LineTokenizer tokenizer;
    const auto bytes = static_cast<int64_t>(std::filesystem::file_size(gReference));
    for (auto _ : state) {
        toravel::SmdReference doc;
        if (!toravel::LoadSmdReferenceFile(doc, {gReference, "ref.smd"}, tokenizer, ui, log)) {
            state.SkipWithError("load failed");
            return;
        }
        auto sink = toravel::FileSink::Create(OutputPath());
        toravel::TextWriter out(*sink);
        toravel::WriteSceneFrames(out, doc.nodes, ui);
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
    toravel::LineTokenizer tokenizer;
    const auto bytes = static_cast<int64_t>(std::filesystem::file_size(gAnimation));
    for (auto _ : state) {
        toravel::SmdAnimation doc;
        if (!toravel::LoadSmdAnimationFile(doc, {gAnimation, "anim.smd"}, tokenizer, ui, log)) {
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
