#include "app/compatibility.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scene_builders.h"
#include "support/scripted_interaction.h"

namespace toravel {
namespace {

using testing::Nodes;
using testing::ScriptedInteraction;

AnimSet Set(const std::vector<std::string>& frames) {
    AnimSet set;
    set.name = "walk";
    for (const std::string& frame : frames) {
        NodeAnimation animation;
        animation.name = frame;
        set.animations.push_back(animation);
    }
    return set;
}

std::string Missing(const std::string& frame) {
    return "Animation exists for " + frame +
           " - frame not found in Primary Nodes\nContinue with compatibility check?";
}

void ExpectMissing(ScriptedInteraction& ui, const std::string& frame, bool goOn) {
    ui.ExpectYesNo(Missing(frame), "Incompatible Animation Set", true, goOn);
}

TEST(CheckCompatibilityTest, SetWithoutAnimationsIsCompatibleEvenWithoutNodes) {
    ScriptedInteraction ui;
    EXPECT_TRUE(CheckCompatibility(Set({}), Nodes({}), ui));
    EXPECT_TRUE(CheckCompatibility(Set({}), Nodes({"root"}), ui));
}

TEST(CheckCompatibilityTest, AllFramesPresentAsksNothingWhateverTheHierarchy) {
    ScriptedInteraction ui;
    // The set animates a subset, in another order; the node chain differs from anything the
    // set implies.
    EXPECT_TRUE(
        CheckCompatibility(Set({"hand", "root", "hand"}), Nodes({"root", "arm", "hand"}), ui));
}

TEST(CheckCompatibilityTest, AsksForEachMissingFrameInSetOrderUntilNo) {
    const NodeList nodes = Nodes({"root", "spine"});
    const AnimSet set = Set({"tail", "root", "wing", "spine", "horn"});
    {
        ScriptedInteraction ui;
        ExpectMissing(ui, "tail", true);
        ExpectMissing(ui, "wing", true);
        ExpectMissing(ui, "horn", true);
        EXPECT_FALSE(CheckCompatibility(set, nodes, ui));
    }
    {
        ScriptedInteraction ui;
        ExpectMissing(ui, "tail", true);
        ExpectMissing(ui, "wing", false);
        EXPECT_FALSE(CheckCompatibility(set, nodes, ui));
    }
    {
        ScriptedInteraction ui;
        ExpectMissing(ui, "tail", false);
        EXPECT_FALSE(CheckCompatibility(set, nodes, ui));
    }
}

TEST(CheckCompatibilityTest, EveryAnimatedSetIsIncompatibleWithNoNodes) {
    ScriptedInteraction ui;
    ExpectMissing(ui, "root", true);
    EXPECT_FALSE(CheckCompatibility(Set({"root"}), Nodes({}), ui));
}

TEST(CheckCompatibilityTest, NamesMatchExactlyByteForByte) {
    ScriptedInteraction ui;
    ExpectMissing(ui, "Root", true);
    ExpectMissing(ui, "root ", true);
    ExpectMissing(ui, "%s", true);  // inserted unchanged, never used as a format
    EXPECT_FALSE(
        CheckCompatibility(Set({"Root", "root ", "%s", "root", ""}), Nodes({"root", ""}), ui));
}

// Large enough that the check takes its indexed path; the behaviour must not change.
TEST(CheckCompatibilityTest, LargeSetsBehaveLikeSmallOnes) {
    std::vector<std::string> names;
    for (int i = 0; i < 300; ++i) {
        names.push_back("bone" + std::to_string(i));
    }
    const NodeList nodes = Nodes(names);
    std::vector<std::string> frames(names.rbegin(), names.rend());
    {
        ScriptedInteraction ui;
        EXPECT_TRUE(CheckCompatibility(Set(frames), nodes, ui));
    }
    frames[10] = "Bone7";
    frames[200] = "bone300";
    frames[250] = "bone";
    {
        ScriptedInteraction ui;
        ExpectMissing(ui, "Bone7", true);
        ExpectMissing(ui, "bone300", true);
        ExpectMissing(ui, "bone", true);
        EXPECT_FALSE(CheckCompatibility(Set(frames), nodes, ui));
    }
    {
        ScriptedInteraction ui;
        ExpectMissing(ui, "Bone7", true);
        ExpectMissing(ui, "bone300", false);
        EXPECT_FALSE(CheckCompatibility(Set(frames), nodes, ui));
    }
}

}  // namespace
}  // namespace toravel
