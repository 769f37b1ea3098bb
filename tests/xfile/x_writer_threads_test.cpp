// The writer on worker threads writes the bytes of the single-thread path: for the example
// character with its animations, for small fixtures, and for documents with more parts than
// threads and fewer; the ordered render hands every part out once and in order however it
// is asked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "smd/smd_reader.h"
#include "support/smd_fixtures.h"
#include "support/temp_dir.h"
#include "text/ordered_render.h"
#include "text/text_writer.h"
#include "xfile/x_writer.h"

namespace toravel {
namespace {

using testing::TempDir;

std::string Write(const NodeList& nodes, const std::vector<AnimSet>& sets, unsigned threads,
                  bool templates) {
    StringSink sink;
    TextWriter out(sink);
    ExportOptions options;
    options.threads = threads;
    options.templates = templates;
    options.ticksPerSecond = 30000;
    Message failure;
    EXPECT_TRUE(WriteXDocument(out, nodes, sets, options, failure)) << failure.text;
    out.Finish();
    return sink.text;
}

struct Model {
    const char* name;
    NodeList nodes;
    std::vector<AnimSet> sets;
};

Model Load(const char* name, const std::string& reference,
           const std::vector<std::string>& animations) {
    Model model{name, {}, {}};
    SmdReadResult read = ReadSmdReference(reference);
    EXPECT_TRUE(read.ok()) << name;
    model.nodes = std::move(read.nodes);
    for (size_t i = 0; i < animations.size(); ++i) {
        SmdReadResult animation = ReadSmdAnimation(animations[i]);
        EXPECT_TRUE(animation.ok()) << name;
        model.sets.push_back(BuildAnimSet(animation.nodes, "set_" + std::to_string(i)));
    }
    return model;
}

TEST(XWriterThreads, EveryThreadCountWritesTheSingleThreadBytes) {
    const std::string examples = TORAVEL_EXAMPLES_DIR;
    const std::vector<Model> models = {
        Load("example character", TempDir::Read(examples + "/soldier_reference.smd"),
             {TempDir::Read(examples + "/soldier_walk.smd"),
              TempDir::Read(examples + "/soldier_wave.smd")}),
        Load("two bones", testing::kReference, {testing::kAnimation}),
        Load("no animation", testing::kReference, {}),
    };
    for (const Model& model : models) {
        for (const bool templates : {false, true}) {
            SCOPED_TRACE(model.name);
            const std::string single = Write(model.nodes, model.sets, 1, templates);
            for (const unsigned threads : {2u, 3u, 8u, 64u}) {
                SCOPED_TRACE(threads);
                EXPECT_EQ(Write(model.nodes, model.sets, threads, templates), single);
            }
        }
    }
}

TEST(OrderedRenderThreads, PartsComeOutInOrderWhateverTheWorkers) {
    for (const size_t count : {size_t{0}, size_t{1}, size_t{5}, size_t{200}}) {
        for (const unsigned threads : {0u, 1u, 2u, 7u}) {
            SCOPED_TRACE(std::to_string(count) + " parts, " + std::to_string(threads) + " threads");
            OrderedRender parts(count, threads, [](size_t i, TextWriter& out) {
                out.Text("part " + std::to_string(i) + "\n");
            });
            StringSink sink;
            TextWriter out(sink);
            std::string expected;
            for (size_t i = 0; i < count; ++i) {
                parts.Take(i, out);
                expected += "part " + std::to_string(i) + "\n";
            }
            out.Finish();
            EXPECT_EQ(sink.text, expected);
        }
    }
}

// A part asked for ahead of its turn is formatted on the spot; the workers still finish and
// join when the render ends early.
TEST(OrderedRenderThreads, TakingOutOfOrderOrStoppingEarlyIsSafe) {
    OrderedRender parts(50, 3,
                        [](size_t i, TextWriter& out) { out.Text(std::to_string(i) + ";"); });
    StringSink sink;
    TextWriter out(sink);
    parts.Take(10, out);
    parts.Take(0, out);
    out.Finish();
    EXPECT_EQ(sink.text, "10;0;");
}

}  // namespace
}  // namespace toravel
