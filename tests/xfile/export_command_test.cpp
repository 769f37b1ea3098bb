#include "app/export_command.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "scene/node_ops.h"
#include "support/scene_builders.h"
#include "support/scripted_interaction.h"
#include "support/temp_dir.h"
#include "xfile/x_writer.h"

#if defined(__unix__)
#include <sys/resource.h>
#endif

namespace toravel {
namespace {

using testing::Node;
using testing::ScriptedInteraction;
using testing::TempDir;

AnimSet Set(std::string name, std::string frame) {
    TimedKey key;
    key.valueCount = 16;
    key.isMatrix = true;
    KeyTrack track;
    track.keyType = 4;
    track.keyCount = 1;
    track.keys.push_back(key);
    return AnimSet{std::move(name), {NodeAnimation{std::move(frame), {track}}}};
}

Workspace SkeletonWorkspace() {
    Workspace ws;
    ws.primaryNodes = {Node(0, -1, "Bip01"), Node(1, 0, "Pelvis")};
    EXPECT_TRUE(testing::Link(ws.primaryNodes));
    return ws;
}

std::string Frames(const Workspace& ws) {
    StringSink sink;
    TextWriter out(sink);
    Message failure;
    EXPECT_TRUE(WriteSceneFrames(out, ws.primaryNodes, failure));
    out.Finish();
    return sink.text;
}

std::string FramesAndSets(const Workspace& ws) {
    StringSink sink;
    TextWriter out(sink);
    Message failure;
    EXPECT_TRUE(WriteXDocument(out, ws.primaryNodes, ws.primaryAnimSets, {}, failure));
    out.Finish();
    return sink.text;
}

TEST(ExportPrimaries, WithoutPrimaryNodesSaysSoAndStops) {
    Workspace ws;
    ScriptedInteraction ui;
    ui.ExpectMessage("The Primary Nodes have not been set.", "No Can Do");
    EXPECT_FALSE(ExportPrimaries(ws, true, ui));
    EXPECT_EQ(ui.repaints, 0);
}

TEST(ExportPrimaries, NonAnimatedWritesEverySetWithoutAsking) {
    TempDir dir;
    Workspace ws = SkeletonWorkspace();
    ws.primaryAnimSets = {Set("Walk", "Pelvis"), Set("Run", "Nowhere")};
    ws.compatibility = {true, false};
    ScriptedInteraction ui;
    ui.ExpectSaveFile(dir.File("out.x"));
    EXPECT_TRUE(ExportPrimaries(ws, true, ui));
    EXPECT_EQ(TempDir::ReadText(dir.File("out.x")), FramesAndSets(ws));
    EXPECT_NE(TempDir::ReadText(dir.File("out.x")).find("AnimationSet Run {"), std::string::npos);
    EXPECT_EQ(ws.exportedName, "out.x");
    EXPECT_TRUE(ws.primariesSaved);
    EXPECT_EQ(ui.repaints, 1);
    EXPECT_EQ(ui.lastDefaultExtension, "x");
    ASSERT_EQ(ui.lastFilter.size(), 2u);
    EXPECT_EQ(ui.lastFilter[0].description, "DirectX X Files (*.x)");
    EXPECT_EQ(ui.lastFilter[0].pattern, "*.x");
    EXPECT_EQ(ui.lastFilter[1].description, "All files (*.*)");
    EXPECT_EQ(ui.lastFilter[1].pattern, "*.*");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out.x"});
}

TEST(ExportPrimaries, AnimatedWithoutSetsAsksFirst) {
    const std::string question = "No animation sets will be included in the file.\nContinue?";
    {
        Workspace ws = SkeletonWorkspace();
        ScriptedInteraction ui;
        ui.ExpectYesNo(question, "Continue?", true, false);
        EXPECT_FALSE(ExportPrimaries(ws, false, ui));
        EXPECT_EQ(ui.repaints, 0);
        EXPECT_FALSE(ws.primariesSaved);
    }
    {
        TempDir dir;
        Workspace ws = SkeletonWorkspace();
        ScriptedInteraction ui;
        ui.ExpectYesNo(question, "Continue?", true, true).ExpectSaveFile(dir.File("frames.x"));
        EXPECT_TRUE(ExportPrimaries(ws, false, ui));
        EXPECT_EQ(TempDir::ReadText(dir.File("frames.x")), Frames(ws));
    }
}

TEST(ExportPrimaries, CancelledDialogRepaintsAndChangesNothing) {
    Workspace ws = SkeletonWorkspace();
    ws.exportedName = "before.x";
    ScriptedInteraction ui;
    ui.ExpectSaveFile(std::nullopt);
    EXPECT_FALSE(ExportPrimaries(ws, true, ui));
    EXPECT_EQ(ui.repaints, 1);
    EXPECT_EQ(ws.exportedName, "before.x");
    EXPECT_FALSE(ws.primariesSaved);
}

TEST(ExportPrimaries, ExistingFileIsReplacedOnlyOnYes) {
    TempDir dir;
    const std::string target = dir.Write("model.x", "old content that is longer than nothing\n");
    Workspace ws = SkeletonWorkspace();
    {
        ScriptedInteraction ui;
        ui.ExpectSaveFile(target).ExpectYesNo("File model.x exists.\nOverwrite?", "Overwrite File?",
                                              false, false);
        EXPECT_FALSE(ExportPrimaries(ws, true, ui));
        EXPECT_EQ(ui.repaints, 0);
        EXPECT_EQ(TempDir::Read(target), "old content that is longer than nothing\n");
    }
    {
        ScriptedInteraction ui;
        ui.ExpectSaveFile(target).ExpectYesNo("File model.x exists.\nOverwrite?", "Overwrite File?",
                                              false, true);
        EXPECT_TRUE(ExportPrimaries(ws, true, ui));
        EXPECT_EQ(TempDir::ReadText(target), Frames(ws));
    }
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"model.x"});
}

TEST(ExportPrimaries, SameNameInTwoFoldersRecordsTheNameOnly) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "a");
    std::filesystem::create_directories(dir.path() / "b");
    Workspace ws = SkeletonWorkspace();
    for (const char* folder : {"a", "b"}) {
        ScriptedInteraction ui;
        ui.ExpectSaveFile((dir.path() / folder / "hero.x").string());
        EXPECT_TRUE(ExportPrimaries(ws, true, ui));
        EXPECT_EQ(ws.exportedName, "hero.x");
    }
}

TEST(ExportPrimaries, UnopenableTargetIsReported) {
    TempDir dir;
    Workspace ws = SkeletonWorkspace();
    ScriptedInteraction ui;
    ui.ExpectSaveFile(dir.File("missing-folder/out.x"))
        .ExpectMessage("Failed to open for output:\nout.x", "Open Failure");
    EXPECT_FALSE(ExportPrimaries(ws, true, ui));
    EXPECT_EQ(ui.repaints, 1);
    EXPECT_FALSE(ws.primariesSaved);
}

TEST(ExportPrimaries, NoSkeletonRootWritesNothingAndKeepsTheOldFile) {
    TempDir dir;
    const std::string target = dir.Write("keep.x", "precious\n");
    Workspace ws;
    ws.primaryNodes = {Node(0, -1, "a"), Node(1, 0, "b"), Node(2, -1, "c"), Node(3, 2, "d")};
    ASSERT_TRUE(testing::Link(ws.primaryNodes));
    ws.primaryAnimSets = {Set("Walk", "b")};
    ScriptedInteraction ui;
    ui.ExpectSaveFile(target)
        .ExpectYesNo("File keep.x exists.\nOverwrite?", "Overwrite File?", false, true)
        .ExpectMessage("Multiple candidates for the skeleton.\na\nc", "Incorrect node structure");
    EXPECT_FALSE(ExportPrimaries(ws, true, ui));
    EXPECT_EQ(TempDir::Read(target), "precious\n");
    EXPECT_FALSE(ws.primariesSaved);
    EXPECT_TRUE(ws.exportedName.empty());
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"keep.x"});
}

#if defined(__unix__)
TEST(ExportPrimaries, WriteFailureIsReportedAndLeavesTheOldFile) {
    TempDir dir;
    const std::string target = dir.Write("full.x", "old\n");
    Workspace ws = SkeletonWorkspace();
    // Enough frames that the output passes the size limit below.
    for (int i = 2; i < 2000; ++i) {
        ws.primaryNodes.push_back(Node(i, 1, std::string("Bone").append(std::to_string(i))));
    }
    for (auto& n : ws.primaryNodes) {
        n.firstChild = n.nextSibling = kNoNode;
    }
    ASSERT_TRUE(testing::Link(ws.primaryNodes));

    // A file size limit makes writes fail the way a full disk does.
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit limited = old;
    limited.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    ScriptedInteraction ui;
    ui.ExpectSaveFile(target)
        .ExpectYesNo("File full.x exists.\nOverwrite?", "Overwrite File?", false, true)
        .ExpectMessage("Failed to write output:\nfull.x", "Write Failure");
    const bool exported = ExportPrimaries(ws, true, ui);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(exported);
    EXPECT_FALSE(ws.primariesSaved);
    EXPECT_EQ(TempDir::Read(target), "old\n");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"full.x"});
}
#endif

TEST(ExportPrimaries, OptionalTemplatesAndTicksFollowTheHeader) {
    Workspace ws = SkeletonWorkspace();
    ws.primaryAnimSets = {Set("Walk", "Pelvis")};
    ExportOptions options;
    options.templates = true;
    options.ticksPerSecond = 30000;
    StringSink sink;
    TextWriter out(sink);
    Message failure;
    ASSERT_TRUE(WriteXDocument(out, ws.primaryNodes, ws.primaryAnimSets, options, failure));
    out.Finish();
    const std::string plain = FramesAndSets(ws);
    const std::string header = "xof 0303txt 0032\n\n";
    const std::string extras =
        std::string(StandardTemplates()) + "AnimTicksPerSecond {\n 30000;\n}\n\n";
    EXPECT_EQ(sink.text, header + extras + plain.substr(header.size()));
}

}  // namespace
}  // namespace toravel
