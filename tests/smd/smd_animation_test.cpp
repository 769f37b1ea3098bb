#include "smd/smd_animation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/recording_interaction.h"
#include "support/scripted_interaction.h"
#include "support/temp_dir.h"

namespace toravel {
namespace {

using testing::RecordingInteraction;
using testing::ScriptedInteraction;
using testing::TempDir;

const std::vector<std::string> kProgress{
    "Checking SMD file header..",       "Loading nodes..", "Setting up relationships..",
    "Reading the skeleton structure..", "Fixing names..",  "Creating animation set.."};

const std::string kDiscard = "Currently loaded SMD animation information will be lost.\nContinue?";
const std::string kDiscardTitle = "Discard SMD Animation Info";

// Nodes 0 to 20: node 0 is the root, node 20 ("still.bone") has no key lines. Frames 0 to 9
// key nodes 0 to 19, each moved along x by its frame number.
std::string TwentyNodesTenFrames() {
    std::string text = "version 1\nnodes\n0 \"root\" -1\n";
    for (int i = 1; i < 20; ++i) {
        text += std::to_string(i) + " \"bone." + std::to_string(i) + "\" 0\n";
    }
    text += "20 \"still.bone\" 0\nend\nskeleton\n";
    for (int frame = 0; frame < 10; ++frame) {
        text += "time " + std::to_string(frame) + "\n";
        for (int i = 0; i < 20; ++i) {
            text += std::to_string(i) + " " + std::to_string(frame) + " 0 0 0 0 0\n";
        }
    }
    return text + "end\n";
}

struct Session {
    ScriptedInteraction ui;
    StatusLog log{ui};
    LineTokenizer tokenizer;
    SmdAnimation doc;

    bool Load() { return LoadSmdAnimation(doc, tokenizer, ui, log); }
};

TEST(LoadSmdAnimation, EveryKeyedNodeGetsOneTrackOfMatrixKeys) {
    TempDir dir;
    const std::string path = dir.Write("walk.smd", TwentyNodesTenFrames());
    Session s;
    s.ui.ExpectOpenFile(path).ExpectAnimSetName("Walk");
    ASSERT_TRUE(s.Load());
    EXPECT_EQ(s.ui.lastFilter.size(), 2u);
    EXPECT_EQ(s.ui.lastFilter[0].description, "SMD Files (*.smd)");
    EXPECT_EQ(s.ui.lastFilter[1].pattern, "*.*");
    EXPECT_EQ(s.ui.statusLines, kProgress);
    EXPECT_TRUE(s.log.Lines().empty());
    EXPECT_EQ(s.ui.repaints, 1);
    EXPECT_TRUE(s.doc.loaded);
    EXPECT_EQ(s.doc.fileName, "walk.smd");
    EXPECT_EQ(s.doc.filePath, path);

    ASSERT_EQ(s.doc.animSets.size(), 1u);
    const AnimSet& set = s.doc.animSets[0];
    EXPECT_EQ(set.name, "Walk");
    ASSERT_EQ(set.animations.size(), 20u) << "the node without keys has no animation";
    EXPECT_EQ(set.animations[0].name, "root");
    EXPECT_EQ(set.animations[7].name, "bone_7");
    for (const NodeAnimation& animation : set.animations) {
        ASSERT_EQ(animation.tracks.size(), 1u);
        const KeyTrack& track = animation.tracks[0];
        EXPECT_EQ(track.keyType, 4);
        ASSERT_EQ(track.keyCount, 10);
        ASSERT_EQ(track.keys.size(), 10u);
        for (uint32_t frame = 0; frame < 10; ++frame) {
            EXPECT_EQ(track.keys[frame].time, frame * 1000);
            EXPECT_EQ(track.keys[frame].valueCount, 16u);
            EXPECT_TRUE(track.keys[frame].isMatrix);
        }
    }
    EXPECT_EQ(set.animations[3].tracks[0].keys[6].matrix, TranslationMatrix(6, 0, 0));
    EXPECT_EQ(set.animations[0].tracks[0].keys[6].matrix,
              EulerTransform(6, 0, 0, -1.570796f, 0, 0));
}

TEST(LoadSmdAnimation, CancelledNameLeavesDocumentResetWithoutMessage) {
    TempDir dir;
    const std::string path = dir.Write("walk.smd", TwentyNodesTenFrames());
    Session s;
    s.ui.ExpectOpenFile(path).ExpectAnimSetName("Walk");
    ASSERT_TRUE(s.Load());

    s.ui.ExpectOpenFile(path)
        .ExpectYesNo(kDiscard, kDiscardTitle, false, true)
        .ExpectAnimSetName(std::nullopt);
    EXPECT_FALSE(s.Load());
    EXPECT_FALSE(s.doc.loaded);
    EXPECT_TRUE(s.doc.animSets.empty());
    EXPECT_TRUE(s.doc.fileName.empty());
    EXPECT_TRUE(s.log.Lines().empty());
    EXPECT_TRUE(s.ui.messages.empty());
    EXPECT_EQ(s.ui.repaints, 2);
}

TEST(LoadSmdAnimation, NoToDiscardKeepsTheLoadedAnimation) {
    TempDir dir;
    const std::string first = dir.Write("first.smd", TwentyNodesTenFrames());
    const std::string second = dir.Write("second.smd", TwentyNodesTenFrames());
    Session s;
    s.ui.ExpectOpenFile(first).ExpectAnimSetName("Walk");
    ASSERT_TRUE(s.Load());
    s.ui.ExpectOpenFile(second).ExpectYesNo(kDiscard, kDiscardTitle, false, false);
    EXPECT_FALSE(s.Load());
    EXPECT_TRUE(s.doc.loaded);
    EXPECT_EQ(s.doc.fileName, "first.smd");
    ASSERT_EQ(s.doc.animSets.size(), 1u);
    EXPECT_EQ(s.doc.animSets[0].name, "Walk");
}

TEST(LoadSmdAnimation, OpenFailureAndCancelledDialog) {
    TempDir dir;
    Session s;
    s.ui.ExpectOpenFile(std::nullopt);
    EXPECT_FALSE(s.Load());
    EXPECT_EQ(s.ui.repaints, 1);

    s.ui.ExpectOpenFile(dir.File("gone.smd"))
        .ExpectMessage("Failed to open for input:\ngone.smd", "Open Failure");
    EXPECT_FALSE(s.Load());

    s.doc.loaded = true;
    s.doc.fileName = "old.smd";
    s.ui.ExpectOpenFile(dir.File("gone.smd"))
        .ExpectMessage(
            "Failed to open for input:\ngone.smd\nCurrently loaded SMD animation information "
            "will be retained.",
            "Open Failure");
    EXPECT_FALSE(s.Load());
    EXPECT_TRUE(s.doc.loaded);
    EXPECT_EQ(s.doc.fileName, "old.smd");
    EXPECT_EQ(s.ui.repaints, 3);
}

TEST(LoadSmdAnimation, InvalidHeaderAndBrokenFrames) {
    TempDir dir;
    struct Case {
        const char* file;
        const char* text;
    };
    const Case cases[] = {
        {"// exported\nversion  1\n", "Invalid SMD file header."},
        {"version 1\nnodes\n0 root -1\nend\nskeleton\ntime 0\n0 0 0 0 0 0 0\ntime\n",
         "Unexpected EOF in file."},
        {"version 1\nnodes\n0 root -1\nend\nskeleton\ntime 0\n0 0 0 0 0 0 0\ntimex 1\nend\n",
         "Token 'time' expected. Not found."},
    };
    for (const Case& c : cases) {
        Session s;
        s.ui.ExpectOpenFile(dir.Write("bad.smd", c.file)).ExpectMessage(c.text, "Invalid File");
        EXPECT_FALSE(s.Load()) << c.file;
        EXPECT_FALSE(s.doc.loaded);
    }
}

TEST(LoadSmdAnimation, EveryPrefixLoadsOrFailsWithOneMessage) {
    const std::string valid =
        "version 1\n"
        "nodes\n"
        "0 \"root\" -1\n"
        "1 \"arm\" 0\n"
        "end\n"
        "skeleton\n"
        "time 0\n"
        "0 0 0 0 0 0 0\n"
        "1 1.5 0 0 0 0.25 0\n"
        "  time 10\n"
        "1 2.5 0 0 0 0.5 0\n"
        "end\n";
    int loads = 0;
    for (size_t n = 0; n <= valid.size(); ++n) {
        TextInput input(valid.substr(0, n));
        LineTokenizer tokenizer;
        SmdAnimation doc;
        RecordingInteraction ui;
        const bool ok =
            ReadSmdAnimation(input, tokenizer, doc.nodes, &ui, nullptr) && CreateAnimSet(doc, ui);
        EXPECT_EQ(ui.messages.size(), ok ? 0u : 1u)
            << "prefix of " << n << " characters:\n"
            << valid.substr(0, n) << "\nmessages: " << (ui.messages.empty() ? "" : ui.messages[0]);
        loads += ok ? 1 : 0;
    }
    EXPECT_EQ(loads, 2) << "the whole file, with and without its final line feed";
}

}  // namespace
}  // namespace toravel
