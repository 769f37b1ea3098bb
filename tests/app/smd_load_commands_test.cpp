#include "app/smd_load_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scripted_interaction.h"
#include "support/temp_dir.h"

namespace toravel {
namespace {

using testing::ScriptedInteraction;
using testing::TempDir;

constexpr const char* kValid =
    "version 1\n"
    "nodes\n"
    "0 \"root\" -1\n"
    "1 \"pelvis\" 0\n"
    "2 \"mesh\" -1\n"
    "end\n"
    "skeleton\n"
    "time 0\n"
    "0 0 0 0 0 0 0\n"
    "1 0 0 1 0 0 0\n"
    "2 0 0 0 0 0 0\n"
    "end\n"
    "triangles\n"
    "skin.bmp\n"
    "2 0 0 0 0 0 1 0 0 2 1 0.5 0 0.5\n"
    "2 1 0 0 0 0 1 1 0 1 1 1\n"
    "2 0 1 0 0 0 1 0 1\n"
    "end\n";

const std::vector<std::string> kProgress{
    "Checking SMD file header..",       "Loading nodes..", "Setting up relationships..",
    "Reading the skeleton structure..", "Fixing names..",  "Reading the mesh.."};

const std::string kDiscard = "Currently loaded SMD reference information will be lost.\nContinue?";
const std::string kDiscardTitle = "Discard SMD Reference Info";

// `text` with its first occurrence of `from` replaced by `to`.
std::string Edit(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

struct Session {
    ScriptedInteraction ui;
    StatusLog log{ui};
    SmdReference doc;

    bool Load() { return LoadSmdReference(doc, ui, log); }
};

TEST(LoadSmdReference, LoadsWithProgressLinesAndEndsWithEmptyLog) {
    TempDir dir;
    Session s;
    const std::string path = dir.Write("ref.smd", kValid);
    s.ui.ExpectOpenFile(path);
    ASSERT_TRUE(s.Load());
    EXPECT_EQ(s.ui.lastFilter.size(), 2u);
    EXPECT_EQ(s.ui.lastFilter[0].description, "SMD Files (*.smd)");
    EXPECT_EQ(s.ui.lastFilter[0].pattern, "*.smd");
    EXPECT_EQ(s.ui.lastFilter[1].description, "All files (*.*)");
    EXPECT_EQ(s.ui.lastFilter[1].pattern, "*.*");
    EXPECT_EQ(s.ui.statusLines, kProgress);
    EXPECT_TRUE(s.log.Lines().empty());
    EXPECT_EQ(s.ui.repaints, 1);
    EXPECT_TRUE(s.doc.loaded);
    EXPECT_EQ(s.doc.fileName, "ref.smd");
    EXPECT_EQ(s.doc.filePath, path);
    ASSERT_EQ(s.doc.nodes.size(), 3u);
    EXPECT_EQ(s.doc.nodes[2].mesh.faceCount, 1);
    EXPECT_EQ(s.doc.nodes[0].firstChild, 1);
}

TEST(LoadSmdReference, CancelledDialogChangesNothing) {
    Session s;
    s.doc.loaded = true;
    s.doc.fileName = "old.smd";
    s.log.AddStatusLine("left over");
    s.ui.ExpectOpenFile(std::nullopt);
    EXPECT_FALSE(s.Load());
    EXPECT_TRUE(s.log.Lines().empty());
    EXPECT_TRUE(s.doc.loaded);
    EXPECT_EQ(s.doc.fileName, "old.smd");
    EXPECT_EQ(s.ui.repaints, 1);
    EXPECT_EQ(s.ui.statusLines, std::vector<std::string>{"left over"});
}

TEST(LoadSmdReference, OpenFailureMentionsRetainedDocument) {
    TempDir dir;
    for (const bool loaded : {false, true}) {
        Session s;
        s.doc.loaded = loaded;
        s.doc.fileName = "old.smd";
        s.ui.ExpectOpenFile(dir.File("missing.smd"))
            .ExpectMessage(std::string("Failed to open for input:\nmissing.smd") +
                               (loaded ? "\nCurrently loaded SMD reference information will be "
                                         "retained."
                                       : ""),
                           "Open Failure");
        EXPECT_FALSE(s.Load());
        EXPECT_EQ(s.doc.loaded, loaded);
        EXPECT_EQ(s.doc.fileName, "old.smd");
        EXPECT_EQ(s.ui.repaints, 1);
    }
}

TEST(LoadSmdReference, AsksBeforeDiscardingALoadedReference) {
    TempDir dir;
    const std::string first = dir.Write("first.smd", kValid);
    const std::string second = dir.Write("second.smd", Edit(kValid, "pelvis", "hips"));
    Session s;
    s.ui.ExpectOpenFile(first);
    ASSERT_TRUE(s.Load());

    s.ui.ExpectOpenFile(second).ExpectYesNo(kDiscard, kDiscardTitle, false, false);
    EXPECT_FALSE(s.Load());
    EXPECT_TRUE(s.doc.loaded);
    EXPECT_EQ(s.doc.fileName, "first.smd");
    EXPECT_EQ(s.doc.nodes[1].name, "pelvis");

    s.ui.ExpectOpenFile(second).ExpectYesNo(kDiscard, kDiscardTitle, false, true);
    EXPECT_TRUE(s.Load());
    EXPECT_EQ(s.doc.fileName, "second.smd");
    EXPECT_EQ(s.doc.nodes[1].name, "hips");
    EXPECT_EQ(s.ui.repaints, 3);
}

// A failed read shows exactly its one message, after the progress lines of the steps so far,
// and leaves the document not loaded; warnings come where their step ends.
TEST(LoadSmdReference, FailureShowsItsOneMessageAndWarningsComeInStepOrder) {
    TempDir dir;
    Session s;
    s.ui.ExpectOpenFile(dir.Write("bad.smd", Edit(kValid, "time 0\n", "frame 0\n")))
        .ExpectMessage("Token 'time' expected. Not found.", "Invalid File");
    EXPECT_FALSE(s.Load());
    EXPECT_FALSE(s.doc.loaded);
    EXPECT_TRUE(s.doc.fileName.empty());
    EXPECT_TRUE(s.log.Lines().empty());
    EXPECT_EQ(s.ui.statusLines,
              (std::vector<std::string>{"Checking SMD file header..", "Loading nodes..",
                                        "Setting up relationships..",
                                        "Reading the skeleton structure.."}));
    ASSERT_EQ(s.ui.notices.size(), 1u);
    EXPECT_EQ(s.ui.notices[0].id, NoticeId::kReadFailure);

    // A collision of fixed names is a warning of the names step; an unknown link bone one of
    // the triangles step; the load goes on.
    Session w;
    w.ui.ExpectOpenFile(dir.Write("warn.smd", Edit(Edit(kValid, "\"pelvis\"", "\"a b\""),
                                                   "\"mesh\"", "\"a.b\"")))
        .ExpectMessage(
            "The nodes \"a b\" and \"a.b\" are both named a_b in the X file; bones and "
            "animations of that name refer to the first.",
            "Duplicate Node Names");
    EXPECT_TRUE(w.Load());
    EXPECT_EQ(w.ui.notices.at(0).id, NoticeId::kReadWarning);
}

const std::vector<std::string> kAnimationProgress{
    "Checking SMD file header..",       "Loading nodes..", "Setting up relationships..",
    "Reading the skeleton structure..", "Fixing names..",  "Creating animation set.."};

const std::string kAnimationDiscard =
    "Currently loaded SMD animation information will be lost.\nContinue?";
const std::string kAnimationDiscardTitle = "Discard SMD Animation Info";

// Nodes 0 to 20, node 20 without key lines; ten frames.
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

struct AnimationSession {
    ScriptedInteraction ui;
    StatusLog log{ui};
    SmdAnimation doc;

    bool Load() { return LoadSmdAnimation(doc, ui, log); }
};

TEST(LoadSmdAnimation, EveryKeyedNodeGetsOneTrackOfMatrixKeys) {
    TempDir dir;
    const std::string path = dir.Write("walk.smd", TwentyNodesTenFrames());
    AnimationSession s;
    s.ui.ExpectOpenFile(path).ExpectAnimSetName("Walk");
    ASSERT_TRUE(s.Load());
    EXPECT_EQ(s.ui.lastFilter.size(), 2u);
    EXPECT_EQ(s.ui.lastFilter[0].description, "SMD Files (*.smd)");
    EXPECT_EQ(s.ui.lastFilter[1].pattern, "*.*");
    EXPECT_EQ(s.ui.statusLines, kAnimationProgress);
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
    AnimationSession s;
    s.ui.ExpectOpenFile(path).ExpectAnimSetName("Walk");
    ASSERT_TRUE(s.Load());

    s.ui.ExpectOpenFile(path)
        .ExpectYesNo(kAnimationDiscard, kAnimationDiscardTitle, false, true)
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
    AnimationSession s;
    s.ui.ExpectOpenFile(first).ExpectAnimSetName("Walk");
    ASSERT_TRUE(s.Load());
    s.ui.ExpectOpenFile(second).ExpectYesNo(kAnimationDiscard, kAnimationDiscardTitle, false,
                                            false);
    EXPECT_FALSE(s.Load());
    EXPECT_TRUE(s.doc.loaded);
    EXPECT_EQ(s.doc.fileName, "first.smd");
    ASSERT_EQ(s.doc.animSets.size(), 1u);
    EXPECT_EQ(s.doc.animSets[0].name, "Walk");
}

TEST(LoadSmdAnimation, OpenFailureAndCancelledDialog) {
    TempDir dir;
    AnimationSession s;
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
        AnimationSession s;
        s.ui.ExpectOpenFile(dir.Write("bad.smd", c.file)).ExpectMessage(c.text, "Invalid File");
        EXPECT_FALSE(s.Load()) << c.file;
        EXPECT_FALSE(s.doc.loaded);
    }
}

}  // namespace
}  // namespace toravel
