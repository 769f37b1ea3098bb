#include "app/batch_convert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "scene/node_ops.h"
#include "support/temp_dir.h"

namespace toravel {
namespace {

using testing::TempDir;

const std::string kExamples = TORAVEL_EXAMPLES_DIR;

// A two-bone skeleton with one triangle on a separate mesh node.
constexpr const char* kReference = R"(version 1
nodes
0 "root" -1
1 "arm" 0
2 "body" -1
end
skeleton
time 0
0 0 0 0 0 0 0
1 0 0 5 0 0 0
2 0 0 0 0 0 0
end
triangles
skin.bmp
2 0 0 0 0 0 1 0 0 1 0 1
2 1 0 0 0 0 1 1 0 1 1 1
2 0 1 0 0 0 1 0 1 2 0 0.5 1 0.5
end
)";

std::string Animation(const std::string& boneName) {
    return "version 1\nnodes\n0 \"root\" -1\n1 \"" + boneName +
           "\" 0\nend\nskeleton\ntime 0\n0 0 0 0 0 0 0\n1 0 0 5 0 0 0\ntime 1\n"
           "0 0 0 0 0 0 0\n1 0 0 5 0.5 0 0\nend\n";
}

struct ConvertResult {
    int code;
    std::string messages;
};

// Runs the conversion without its summary line.
ConvertResult Convert(ConvertRequest request) {
    request.quiet = true;
    std::ostringstream messages;
    const int code = RunConvert(request, messages);
    return {code, messages.str()};
}

TEST(BatchConvert, ExampleCharacterBecomesOneAnimatedFile) {
    TempDir dir;
    ConvertRequest request;
    request.reference = kExamples + "/soldier_reference.smd";
    request.animations = {{kExamples + "/soldier_walk.smd", std::nullopt},
                          {kExamples + "/soldier_wave.smd", "Wave"}};
    request.output = dir.File("soldier.x");
    const ConvertResult run = Convert(request);
    EXPECT_EQ(run.code, kExitDone) << run.messages;
    EXPECT_EQ(run.messages, "");
    const std::string x = TempDir::ReadText(request.output);
    EXPECT_EQ(x.rfind("xof 0303txt 0032\n", 0), 0u);
    const size_t walk = x.find("\nAnimationSet soldier_walk {\n");
    const size_t wave = x.find("\nAnimationSet Wave {\n");
    EXPECT_NE(walk, std::string::npos);
    EXPECT_NE(wave, std::string::npos);
    EXPECT_LT(walk, wave);
    EXPECT_EQ(x.back(), '}');
}

TEST(BatchConvert, DefaultOutputAndVerboseProgress) {
    TempDir dir;
    ConvertRequest request;
    request.reference = dir.Write("hero.smd", kReference);
    request.verbose = true;
    const ConvertResult run = Convert(request);
    EXPECT_EQ(run.code, kExitDone) << run.messages;
    // The step lines name the file they are about.
    EXPECT_NE(run.messages.find("toravel: " + request.reference + ": Reading the mesh..\n"),
              std::string::npos)
        << run.messages;
    EXPECT_EQ(DefaultOutputPath(request.reference), dir.File("hero.x"));
    EXPECT_NE(TempDir::ReadText(dir.File("hero.x")).find("Frame body {"), std::string::npos);
}

TEST(BatchConvert, TakenSetNameGetsAFreshNameAndANotice) {
    TempDir dir;
    ConvertRequest request;
    request.reference = dir.Write("ref.smd", kReference);
    const std::string anim = dir.Write("walk.smd", Animation("arm"));
    request.animations = {{anim, std::nullopt}, {anim, std::nullopt}, {anim, "walk"}};
    request.output = dir.File("out.x");
    const ConvertResult run = Convert(request);
    EXPECT_EQ(run.code, kExitDone) << run.messages;
    EXPECT_EQ(run.messages,
              "toravel: " + anim +
                  ": Renamed: An animation set named walk exists already; the new set is added "
                  "as walk_2.\n"
                  "toravel: " +
                  anim +
                  ": Renamed: An animation set named walk exists already; the new set is added "
                  "as walk_3.\n");
    const std::string x = TempDir::ReadText(request.output);
    EXPECT_NE(x.find("AnimationSet walk {"), std::string::npos);
    EXPECT_NE(x.find("AnimationSet walk_2 {"), std::string::npos);
    EXPECT_NE(x.find("AnimationSet walk_3 {"), std::string::npos);
}

TEST(BatchConvert, IncompatibleSetFailsUnlessAllowed) {
    TempDir dir;
    ConvertRequest request;
    request.reference = dir.Write("ref.smd", kReference);
    const std::string other = dir.Write("other.smd", Animation("tail"));
    request.animations = {{other, std::nullopt}};
    request.output = dir.File("out.x");
    const ConvertResult refused = Convert(request);
    EXPECT_EQ(refused.code, kExitFailed);
    EXPECT_EQ(refused.messages,
              "toravel: " + other +
                  ": Incompatible Animation Set: Animation exists for tail - frame not found "
                  "in Primary Nodes\n"
                  "toravel: " +
                  other +
                  ": Incompatible Animation Set: The animation set animates frames that the "
                  "reference lacks.\n"
                  "hint: use --allow-incompatible to add it anyway\n");
    EXPECT_FALSE(std::filesystem::exists(request.output));

    request.allowIncompatible = true;
    const ConvertResult allowed = Convert(request);
    EXPECT_EQ(allowed.code, kExitDone);
    EXPECT_NE(TempDir::ReadText(request.output).find("{ tail }"), std::string::npos);
}

// Every failure names the file and, where one applies, the line, and says why.
TEST(BatchConvert, FailuresNameTheFileTheLineAndTheReason) {
    TempDir dir;
    const std::string good = dir.Write("good.smd", kReference);
    const std::string walk = dir.Write("walk.smd", Animation("arm"));
    const std::string existing = dir.Write("existing.x", "keep me\n");
    const std::string folder = dir.File("folder.smd");
    std::filesystem::create_directories(folder);
    const std::string longName(2000, 'n');
    // A line cannot hold 257 links, so the count alone tells.
    const std::string manyLinks = "2 0 0 0 0 0 1 0 0 300 0 0.5 1 0.5\n";
    std::string withManyLinks = kReference;
    withManyLinks.replace(withManyLinks.find("2 1 0 0 0 0 1 1 0 1 1 1\n"), 24, manyLinks);
    struct Case {
        const char* label;
        std::string reference;
        std::vector<AnimationInput> animations;
        std::string output;
        std::string messages;
    };
    const Case cases[] = {
        {"missing reference",
         dir.File("none.smd"),
         {},
         dir.File("a.x"),
         "toravel: " + dir.File("none.smd") +
             ": Open Failure: Failed to open for input:\n  none.smd\nhint: No such file or "
             "directory\n"},
        {"folder as reference",
         folder,
         {},
         dir.File("f.x"),
         "toravel: " + folder +
             ": Open Failure: Failed to open for input:\n  folder.smd\nhint: it is a folder, "
             "not a file\n"},
        {"not an SMD file",
         dir.Write("bad.smd", "version 2\n"),
         {},
         dir.File("b.x"),
         "toravel: " + dir.File("bad.smd") + ":1: Invalid File: Invalid SMD file header.\n"},
        {"malformed animation",
         good,
         {{dir.Write("bad_anim.smd", "version 1\nnodes\n"), {}}},
         dir.File("c.x"),
         "toravel: " + dir.File("bad_anim.smd") +
             ":2: Invalid File: Unexpected EOF in 'nodes' section.\n"},
        // The second animation cannot be opened while the first is loaded: the menu's sentence
        // about the kept document is left out.
        {"missing second animation",
         good,
         {{walk, {}}, {dir.File("gone.smd"), {}}},
         dir.File("g.x"),
         "toravel: " + dir.File("gone.smd") +
             ": Open Failure: Failed to open for input:\n  gone.smd\nhint: No such file or "
             "directory\n"},
        {"an animation given as the reference",
         walk,
         {},
         dir.File("w.x"),
         "toravel: " + walk +
             ":10: Invalid File: Expected token 'time' in SMD reference file. Not found.\nhint: "
             "this file has animation frames; the reference comes first\n"},
        {"a line too long",
         dir.Write("long.smd", "version 1\nnodes\n0 \"" + longName + "\" -1\nend\n"),
         {},
         dir.File("l.x"),
         "toravel: " + dir.File("long.smd") +
             ":3: Invalid File: Unexpected EOF in 'nodes' section.\nhint: line 3 is longer than "
             "1,022 characters\n"},
        {"a vertex with too many links",
         dir.Write("links.smd", withManyLinks),
         {},
         dir.File("v.x"),
         "toravel: " + dir.File("links.smd") +
             ":16: Invalid File: Unexpected EOF in file.\nhint: a vertex with more than 256 "
             "links\n"},
        {"a frame numbered -1",
         good,
         {{dir.Write("minus.smd",
                     "version 1\nnodes\n0 \"root\" -1\nend\nskeleton\ntime -1\n0 0 0 0 0 0 0\n"
                     "end\n"),
           {}}},
         dir.File("m.x"),
         "toravel: " + dir.File("minus.smd") +
             ":6: Invalid File: The skeleton section holds a frame numbered -1.\nhint: frames are "
             "numbered from 0 up\n"},
        {"existing output",
         good,
         {},
         existing,
         "toravel: " + existing + ": Overwrite File?: " + existing +
             " exists.\nhint: use --force to replace it\n"},
        {"output in a missing folder",
         good,
         {},
         dir.File("no/such/folder/d.x"),
         "toravel: " + dir.File("no/such/folder/d.x") +
             ": Open Failure: Failed to open for output:\n  d.x\nhint: the folder " +
             dir.File("no/such/folder") + " does not exist\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ConvertRequest request;
        request.reference = c.reference;
        request.animations = c.animations;
        request.output = c.output;
        const ConvertResult run = Convert(request);
        EXPECT_EQ(run.code, kExitFailed);
        EXPECT_EQ(run.messages, c.messages);
    }
    EXPECT_EQ(TempDir::Read(existing), "keep me\n");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"bad.smd", "bad_anim.smd", "existing.x",
                                                       "folder.smd", "good.smd", "links.smd",
                                                       "long.smd", "minus.smd", "walk.smd"}));
}

// A successful conversion says what it wrote.
TEST(BatchConvert, SuccessPrintsOneSummaryLineUnlessQuiet) {
    TempDir dir;
    ConvertRequest request;
    request.reference = kExamples + "/soldier_reference.smd";
    request.animations = {{kExamples + "/soldier_walk.smd", std::nullopt},
                          {kExamples + "/soldier_wave.smd", std::nullopt}};
    request.output = dir.File("soldier.x");
    std::ostringstream messages;
    ASSERT_EQ(RunConvert(request, messages), kExitDone);
    const std::string line = messages.str();
    const std::string expected = "toravel: wrote " + request.output +
                                 ": 15 frames, 11 meshes (704 faces), 13 bones, 2 animation sets, ";
    EXPECT_EQ(line.substr(0, expected.size()), expected) << line;
    EXPECT_NE(line.find(" KB in "), std::string::npos) << line;
    EXPECT_EQ(line.back(), '\n');
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1);

    request.quiet = true;
    request.force = true;
    std::ostringstream quiet;
    ASSERT_EQ(RunConvert(request, quiet), kExitDone);
    EXPECT_EQ(quiet.str(), "");
}

TEST(BatchConvert, XFilesMergeAsReferenceAndAsAnimations) {
    TempDir dir;
    const std::string reference = dir.Write("ref.smd", kReference);
    const std::string walk = dir.Write("walk.smd", Animation("arm"));
    const std::string run = dir.Write("run.smd", Animation("arm"));

    // An X file with the set "walk", then merged with another SMD animation.
    ConvertRequest first;
    first.reference = reference;
    first.animations = {{walk, std::nullopt}};
    first.output = dir.File("walk.x");
    ASSERT_EQ(Convert(first).code, kExitDone);

    ConvertRequest merge;
    merge.reference = reference;
    merge.animations = {{run, std::nullopt}, {first.output, std::nullopt}};
    merge.output = dir.File("merged.x");
    const ConvertResult merged = Convert(merge);
    EXPECT_EQ(merged.code, kExitDone) << merged.messages;
    const std::string x = TempDir::ReadText(merge.output);
    const size_t runAt = x.find("AnimationSet run {");
    const size_t walkAt = x.find("AnimationSet walk {");
    EXPECT_NE(runAt, std::string::npos);
    EXPECT_NE(walkAt, std::string::npos);
    EXPECT_LT(runAt, walkAt);

    // The X file as the reference: its frames, under its own Scene_Root, and its set.
    ConvertRequest fromX;
    fromX.reference = first.output;
    fromX.animations = {{run, std::nullopt}};
    fromX.output = dir.File("fromx.x");
    const ConvertResult converted = Convert(fromX);
    EXPECT_EQ(converted.code, kExitDone) << converted.messages;
    const std::string y = TempDir::ReadText(fromX.output);
    EXPECT_NE(y.find("Frame Scene_Root {\n\n FrameTransformMatrix {"), std::string::npos);
    EXPECT_EQ(y.find("\n Frame Scene_Root {\n"), std::string::npos) << "not nested in itself";
    EXPECT_EQ(y.substr(0, y.find("AnimationSet")),
              TempDir::ReadText(first.output).substr(0, y.find("AnimationSet")));
    EXPECT_NE(y.find("AnimationSet walk {"), std::string::npos);
    EXPECT_NE(y.find("AnimationSet run {"), std::string::npos);
}

TEST(BatchConvert, UnnamedXSetsAreNamedAfterTheFile) {
    TempDir dir;
    const std::string kKey = "AnimationKey {\n4;\n1;\n0;16;1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;;;\n}\n";
    const std::string reference = dir.Write("ref.smd", kReference);
    const std::string unnamed =
        dir.Write("moves.x",
                  "xof 0303txt 0032\nFrame Scene_Root {\nFrameTransformMatrix {\n"
                  "1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;\n;\n}\nFrame root {\nFrameTransformMatrix {\n"
                  "1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;\n;\n}\n}\n}\n"
                  "AnimationSet {\nAnimation {\n" +
                      kKey +
                      "{ root }\n}\n}\n"
                      "AnimationSet {\nAnimation {\n" +
                      kKey + "{ arm }\n}\n}\n");
    ConvertRequest request;
    request.reference = reference;
    request.animations = {{unnamed, std::nullopt}, {unnamed, "jump"}};
    request.output = dir.File("out.x");
    const ConvertResult result = Convert(request);
    EXPECT_EQ(result.code, kExitDone) << result.messages;
    const std::string x = TempDir::Read(request.output);
    for (const char* name : {"moves_1", "moves_2", "jump_1", "jump_2"}) {
        EXPECT_NE(x.find("AnimationSet " + std::string(name) + " {"), std::string::npos) << name;
    }
}

// A chain of `depth` nodes, the last one owning a triangle.
std::string Chain(size_t depth) {
    std::string text = "version 1\nnodes\n";
    for (size_t i = 0; i < depth; ++i) {
        text += std::to_string(i) + " b" + std::to_string(i) + " " +
                (i == 0 ? std::string("-1") : std::to_string(i - 1)) + "\n";
    }
    text += "end\nskeleton\ntime 0\n";
    for (size_t i = 0; i < depth; ++i) {
        text += std::to_string(i) + " 0 0 1 0 0 0\n";
    }
    const std::string last = std::to_string(depth - 1);
    text += "end\ntriangles\nskin.bmp\n";
    for (int k = 0; k < 3; ++k) {
        text += last + " 0 0 0 0 0 1 0 0\n";
    }
    return text + "end\n";
}

TEST(BatchConvert, ChainAtTheDepthLimitRoundTripsAndOneMoreIsRefused) {
    TempDir dir;
    ConvertRequest request;
    request.reference = dir.Write("deep.smd", Chain(kMaxHierarchyDepth));
    request.output = dir.File("deep.x");
    ConvertResult run = Convert(request);
    ASSERT_EQ(run.code, kExitDone) << run.messages;
    EXPECT_EQ(run.messages, "");

    // The file reads back: the chain below Scene_Root, and it converts again unchanged.
    ConvertRequest again;
    again.reference = request.output;
    again.output = dir.File("again.x");
    run = Convert(again);
    ASSERT_EQ(run.code, kExitDone) << run.messages;
    EXPECT_TRUE(TempDir::Read(again.output) == TempDir::Read(request.output));

    request.reference = dir.Write("deeper.smd", Chain(kMaxHierarchyDepth + 1));
    request.output = dir.File("deeper.x");
    run = Convert(request);
    EXPECT_EQ(run.code, kExitFailed);
    EXPECT_EQ(run.messages,
              "toravel: " + request.reference +
                  ":100004: Invalid Node Structure: Node 100000 (b100000) lies more than 100000 "
                  "levels deep in "
                  "the hierarchy.\n");
    EXPECT_FALSE(std::filesystem::exists(request.output));
}

// Questions are answered by what they ask, not by their titles: "Continue?" titles three
// different questions, one of which is the animated export of a file without sets.
TEST(BatchConvert, AnXFileWithoutSetsAsAnAnimationInputIsNoIncompatibility) {
    TempDir dir;
    ConvertRequest first;
    first.reference = kExamples + "/soldier_reference.smd";
    first.output = dir.File("ref.x");
    ConvertResult run = Convert(first);
    ASSERT_EQ(run.code, kExitDone) << run.messages;

    ConvertRequest second;
    second.reference = first.reference;
    second.animations = {{first.output, std::nullopt}};
    second.output = dir.File("out.x");
    run = Convert(second);
    EXPECT_EQ(run.code, kExitDone) << run.messages;
    EXPECT_EQ(run.messages, "");
    EXPECT_EQ(TempDir::Read(second.output), TempDir::Read(first.output));
}

}  // namespace
}  // namespace toravel
