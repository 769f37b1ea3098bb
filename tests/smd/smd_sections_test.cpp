#include "smd/smd_sections.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/node_ops.h"
#include "support/read_expectations.h"

namespace toravel {
namespace {

using testing::FailureOf;

const float kRootAngle = -1.570796f;

TEST(ReadHeader, FirstLineThatIsNoCommentMustBeExactlyVersion1) {
    struct Case {
        const char* text;
        bool ok;
    };
    const Case cases[] = {
        {"version 1\nnodes\n", true},
        {"version 1", true},
        {"version 1\r\n", true},
        {"// Created by a decompiler\n\n  \t\n  # note\n//\nversion 1\n", true},
        {"version 1 \n", false},
        {" version 1\n", false},
        {"version 2\n", false},
        {"Version 1\n", false},
        {"nodes\nversion 1\n", false},
        {"", false},
        {"\n\n// only comments\n", false},
    };
    for (const Case& c : cases) {
        TextInput input(c.text);
        EXPECT_EQ(ReadHeader(input), c.ok) << c.text;
    }
}

struct NodeEntry {
    int32_t id;
    std::string name;
    int32_t parentId;
    friend bool operator==(const NodeEntry&, const NodeEntry&) = default;
    friend std::ostream& operator<<(std::ostream& os, const NodeEntry& e) {
        return os << e.id << " [" << e.name << "] " << e.parentId;
    }
};

std::vector<NodeEntry> Entries(const NodeList& list) {
    std::vector<NodeEntry> entries;
    for (const SceneNode& node : list) {
        entries.push_back({node.id, node.name, node.parentId});
    }
    return entries;
}

NodeList ReadNodesOk(const std::string& body) {
    TextInput input("nodes\n" + body + "end\n");
    LineTokenizer tokenizer;
    NodeList list;
    ReadReport report;
    EXPECT_TRUE(ReadNodes(input, tokenizer, list, report)) << body << FailureOf(report);
    return list;
}

TEST(ReadNodes, NamesPlainQuotedAndWithBlanks) {
    const NodeList list = ReadNodesOk(
        "3 \"Bip01\" -1\n"
        "4 \"lead 3\n"
        "5 trail\" 3\n"
        "6 \"Bip01 L Arm\" 3\n"
        "  7   \"Bip01\tR Arm\"   6   8 \"x y\" 7\n"
        "9 \"a\"b 3\n"
        "10 \"\" 3\n"
        "11\nspread\n3\n"
        "x12 name 3\n");
    const std::vector<NodeEntry> expected{
        {3, "Bip01", -1},       {4, "lead", 3}, {5, "trail", 3}, {6, "Bip01 L Arm", 3},
        {7, "Bip01\tR Arm", 6}, {8, "x y", 7},  {9, "a\"b", 3},  {10, "", 3},
        {11, "spread", 3},      {0, "name", 3},
    };
    EXPECT_EQ(Entries(list), expected);
    for (const SceneNode& node : list) {
        EXPECT_EQ(node.localMatrix, IdentityMatrix());
        EXPECT_EQ(node.firstChild, kNoNode);
    }
}

TEST(ReadNodes, CommentsAndBlankLinesBetweenEntries) {
    const NodeList list = ReadNodesOk("# bones\n\n0 root -1 // the root\n  \n1 child 0\n");
    EXPECT_EQ(Entries(list), (std::vector<NodeEntry>{{0, "root", -1}, {1, "child", 0}}));
}

TEST(FixNames, EveryCharacterThatEndsAnXNameBecomesAnUnderscore) {
    struct Case {
        std::string name;
        std::string fixed;
    };
    const Case cases[] = {
        {"Bip01 L.Arm\tx", "Bip01_L_Arm_x"},
        {"plain_name-2", "plain_name-2"},
        {std::string("nul\0inside", 10), "nul_inside"},
        {"#root", "_root"},
        {"//path/to", "__path_to"},
        {"arm{1};x,y\"z\"", "arm_1__x_y_z_"},
        {"Kopf\xc3\xa4", "Kopf\xc3\xa4"},  // UTF-8 stays
        {"\x01\x7f", "__"},
        {"", ""},
    };
    NodeList list;
    for (const Case& c : cases) {
        list.emplace_back().name = c.name;
    }
    EXPECT_FALSE(FixNames(list)) << "no two fixed names collide";
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].name, cases[i].fixed) << i;
    }
}

TEST(FixNames, ReportsTheFirstCollisionThatFixingMakes) {
    NodeList list(5);
    list[0].name = "Bip01 L";
    list[1].name = "Bip01.L";
    list[2].name = "twice";
    list[3].name = "twice";  // the file's own duplicate is not the fixing's doing
    list[4].name = "Bip01{L";
    const std::optional<NameCollision> collision = FixNames(list);
    ASSERT_TRUE(collision);
    EXPECT_EQ(collision->first, "Bip01 L");
    EXPECT_EQ(collision->second, "Bip01.L");
    EXPECT_EQ(collision->fixed, "Bip01_L");
    EXPECT_EQ(collision->more, 1u);
    EXPECT_EQ(CollisionNotice(*collision),
              "The nodes \"Bip01 L\" and \"Bip01.L\" are both named Bip01_L in the X file; bones "
              "and animations of that name refer to the first.\n1 more node shares a name with an "
              "earlier node in the same way.");
}

// Reads "nodes" and "skeleton" sections, expecting success.
NodeList ReadSkeletonOk(const std::string& nodes, const std::string& skeleton, SkeletonMode mode) {
    TextInput input("nodes\n" + nodes + "end\nskeleton\n" + skeleton);
    LineTokenizer tokenizer;
    NodeList list;
    ReadReport report;
    EXPECT_TRUE(ReadNodes(input, tokenizer, list, report));
    EXPECT_TRUE(ReadSkeleton(input, tokenizer, list, mode, report)) << skeleton << FailureOf(report);
    return list;
}

const char* const kThreeNodes = "0 root -1\n1 child 0\n2 other -1\n";

TEST(ReadSkeleton, ReferenceFrameSetsLocalMatricesWithRootCorrection) {
    const NodeList list = ReadSkeletonOk(kThreeNodes,
                                         "time 0\n"
                                         "0 0 0 0 0 0 0\n"
                                         "1 9 9 9 1 1 1\n"
                                         "1 1 2 3 0.5 0 0.25 trailing words\n"
                                         "end\n",
                                         SkeletonMode::kReference);
    EXPECT_EQ(list[0].localMatrix, RotationXMatrix(kRootAngle));
    // A second key of the same node replaces the first.
    EXPECT_EQ(list[1].localMatrix, EulerTransform(1, 2, 3, 0.5f, 0, 0.25f));
    EXPECT_EQ(list[2].localMatrix, IdentityMatrix()) << "a node without key keeps the identity";
    EXPECT_EQ(list[1].track.keyCount, 0);
}

TEST(ReadSkeleton, RootsAreTurnedAfterTheirOwnTransform) {
    // Real characters put the root at pelvis height and turn it about z: the quarter turn
    // that the vertices get must come after that, so the root's origin is turned like them.
    const NodeList list = ReadSkeletonOk("0 root -1\n1 child 0\n",
                                         "time 0\n0 1 2 38 0.1 0.2 -1.570796\n1 0 0 5 0 0 0\nend\n",
                                         SkeletonMode::kReference);
    const Matrix& root = list[0].localMatrix;
    EXPECT_EQ(root, Multiply(EulerTransform(1, 2, 38, 0.1f, 0.2f, -1.570796f),
                             RotationXMatrix(kRootAngle)));
    // (1, 2, 38) turned to (1, 38, -2), up to the angle's single-precision rounding.
    EXPECT_NEAR(root(3, 0), 1, 1e-4);
    EXPECT_NEAR(root(3, 1), 38, 1e-4);
    EXPECT_NEAR(root(3, 2), -2, 1e-4);
    EXPECT_EQ(list[1].localMatrix, TranslationMatrix(0, 0, 5)) << "children are not turned";
}

TEST(ReadSkeleton, IndentedTimeAndEndAndBlankLines) {
    const NodeList list = ReadSkeletonOk(kThreeNodes,
                                         "  time 0\n"
                                         "\n"
                                         " \t \n"
                                         "    1 1 0 0 0 0 0\n"
                                         "  end  \n",
                                         SkeletonMode::kReference);
    EXPECT_EQ(list[1].localMatrix, TranslationMatrix(1, 0, 0));
}

TEST(ReadSkeleton, AnimationFramesBecomeKeysInFileOrder) {
    const NodeList list = ReadSkeletonOk(kThreeNodes,
                                         "time 2\n"
                                         "1 1 0 0 0 0 0\n"
                                         "  time 0\n"
                                         "1 2 0 0 0 0 0\n"
                                         "1 3 0 0 0 0 0\n"
                                         "0 0 0 0 0 0 0\n"
                                         "time 1\n"
                                         "time -2\n"
                                         "1 4 0 0 0 0 0\n"
                                         "end\n",
                                         SkeletonMode::kAnimation);
    const KeyTrack& track = list[1].track;
    EXPECT_EQ(track.keyType, 4);
    ASSERT_EQ(track.keyCount, 4);
    ASSERT_EQ(track.keys.size(), 4u);
    const uint32_t times[] = {2000, 0, 0, 4294965296u};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(track.keys[i].time, times[i]);
        EXPECT_TRUE(track.keys[i].isMatrix);
        EXPECT_EQ(track.keys[i].valueCount, 16u);
        EXPECT_EQ(track.keys[i].matrix, TranslationMatrix(static_cast<float>(i + 1), 0, 0));
    }
    EXPECT_EQ(list[0].track.keyCount, 1);
    EXPECT_EQ(list[0].track.keys[0].matrix, RotationXMatrix(kRootAngle));
    EXPECT_EQ(list[2].track.keyCount, 0);
    EXPECT_TRUE(list[2].track.keys.empty());
    EXPECT_EQ(list[1].localMatrix, IdentityMatrix());
}

TEST(ReadSkeleton, FailuresAndTheirMessages) {
    struct Case {
        const char* skeleton;
        SkeletonMode mode;
        const char* failure;  // as FailureOf gives it
    };
    const Case cases[] = {
        {"time -1\n0 0 0 0 0 0 0\nend\n", SkeletonMode::kAnimation, "(silent)"},
        {"time 0\n// note\nend\n", SkeletonMode::kAnimation,
         "Invalid File: Invalid timed key found."},
        {"time 0\n5 0 0 0 0 0 0\nend\n", SkeletonMode::kReference,
         "Invalid File: Timed key node (id 5) not found in nodes array."},
        {"time 0\n0 0 0 0 0 0 0\ntime 1\nend\n", SkeletonMode::kReference,
         "Invalid File: Expected token 'time' in SMD reference file. Not found."},
        {"frame 0\nend\n", SkeletonMode::kAnimation,
         "Invalid File: Token 'time' expected. Not found."},
        {"time 0\n0 0 0 0 0 0\nend\n", SkeletonMode::kReference,
         "Invalid File: Invalid timed key found."},
        {"time 0\n0 0 0 0 0 0 0\n", SkeletonMode::kReference,
         "Invalid File: Unexpected EOF in file."},
    };
    for (const Case& c : cases) {
        TextInput input("nodes\n0 root -1\nend\nskeleton\n" + std::string(c.skeleton));
        LineTokenizer tokenizer;
        NodeList list;
        ReadReport report;
        ASSERT_TRUE(ReadNodes(input, tokenizer, list, report));
        EXPECT_FALSE(ReadSkeleton(input, tokenizer, list, c.mode, report)) << c.skeleton;
        EXPECT_EQ(FailureOf(report), c.failure) << c.skeleton;
    }
}

}  // namespace
}  // namespace toravel
