#include "scene/node_ops.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "support/scene_builders.h"
#include "support/read_expectations.h"

namespace toravel {
namespace {

using testing::Node;
using testing::FailureOf;

// Walks the links from `node` and returns the names in visiting order (pre-order).
std::vector<std::string> Walk(const NodeList& list, NodeIndex node) {
    std::vector<std::string> names;
    std::vector<NodeIndex> stack{node};
    while (!stack.empty()) {
        NodeIndex n = stack.back();
        stack.pop_back();
        for (; n != kNoNode; n = list[static_cast<size_t>(n)].nextSibling) {
            names.push_back(list[static_cast<size_t>(n)].name);
            if (list[static_cast<size_t>(n)].firstChild != kNoNode) {
                // Visit children after this sibling chain: good enough for membership checks.
                stack.push_back(list[static_cast<size_t>(n)].firstChild);
            }
        }
    }
    return names;
}

TEST(SceneRecords, DefaultsAndDeepCopy) {
    SceneNode n;
    EXPECT_EQ(n.id, -1);
    EXPECT_EQ(n.parentId, -2);
    EXPECT_TRUE(n.name.empty());
    EXPECT_EQ(n.localMatrix, IdentityMatrix());
    EXPECT_EQ(n.firstChild, kNoNode);
    EXPECT_EQ(n.nextSibling, kNoNode);
    EXPECT_FALSE(n.mesh.HasMesh());
    EXPECT_EQ(n.track.keyType, 0);

    NodeList list{Node(0, -1, "root"), Node(1, 0, "a"), Node(2, 0, "b")};
    ReadReport report;
    ASSERT_TRUE(LinkParents(list, report));
    NodeList copy = list;
    list.clear();
    EXPECT_EQ(Walk(copy, 0), (std::vector<std::string>{"root", "a", "b"}));
}

TEST(LinkParents, ChildrenInListOrderUnderFirstNodeOfTheirId) {
    NodeList list{Node(0, -1, "root"), Node(5, 0, "first5"), Node(5, 0, "second5"),
                  Node(7, 5, "x"),     Node(8, 5, "y"),      Node(9, -2, "loose")};
    ReadReport report;
    ASSERT_TRUE(LinkParents(list, report));
    EXPECT_EQ(list[0].firstChild, 1);
    EXPECT_EQ(list[1].nextSibling, 2);
    EXPECT_EQ(list[1].firstChild, 3);
    EXPECT_EQ(list[3].nextSibling, 4);
    EXPECT_EQ(list[2].firstChild, kNoNode);
    EXPECT_EQ(list[5].firstChild, kNoNode);
}

TEST(LinkParents, MissingParentAndCyclesAreRejected) {
    {
        NodeList list{Node(0, -1, "root"), Node(1, 4, "lost")};
        ReadReport report;
        EXPECT_FALSE(LinkParents(list, report));
        EXPECT_EQ(FailureOf(report),
                  "Invalid Node Structure: Node 1 (lost): parent id - 4 not found in nodes.");
    }
    {
        NodeList list{Node(0, -1, "root"), Node(1, 2, "a"), Node(2, 1, "b"), Node(3, 3, "self")};
        ReadReport report;
        EXPECT_FALSE(LinkParents(list, report));
        EXPECT_EQ(FailureOf(report),
                  "Invalid Node Structure: Node 1 (a): parent ids form a cycle; the node is its "
                  "own ancestor.");
    }
}

TEST(LinkParents, HugeChainAndFanLinkQuickly) {
    constexpr int kCount = 100000;
    NodeList chain, fan;
    chain.reserve(kCount);
    fan.reserve(kCount);
    for (int i = 0; i < kCount; ++i) {
        chain.push_back(Node(i, i - 1, "n"));
        fan.push_back(Node(i, i == 0 ? -1 : 0, "n"));
    }
    ReadReport report;
    ASSERT_TRUE(LinkParents(chain, report));
    ASSERT_TRUE(LinkParents(fan, report));
    EXPECT_EQ(chain[kCount - 2].firstChild, kCount - 1);
    EXPECT_EQ(fan[kCount - 2].nextSibling, kCount - 1);
    for (int i = 1; i < kCount; ++i) {
        chain[static_cast<size_t>(i)].localMatrix = TranslationMatrix(1, 0, 0);
    }
    ComputeAllCombinedMatrices(chain);
    EXPECT_FLOAT_EQ(chain.back().combinedMatrix(3, 0), kCount - 1);
}

struct RootCase {
    const char* label;
    // Nodes as (id, parent, has mesh); linked before selection.
    std::vector<std::tuple<int, int, bool>> nodes;
    int expected;  // index of the root, or -1
    const char* message;
};

TEST(SelectSkeletonRoot, RuleAndFallbacks) {
    const RootCase cases[] = {
        {"one root with children", {{0, -1, false}, {1, 0, false}}, 0, nullptr},
        {"mesh root beside skeleton", {{0, -1, false}, {1, 0, false}, {2, -1, true}}, 0, nullptr},
        {"two skeletons",
         {{0, -1, false}, {1, 0, false}, {2, -1, false}, {3, 2, false}},
         -1,
         "Multiple candidates for the skeleton.\nn0\nn2"},
        {"root bone owns the mesh", {{0, -1, true}, {1, 0, false}}, 0, nullptr},
        {"two mesh roots with children",
         {{0, -1, true}, {1, 0, false}, {2, -1, true}, {3, 2, false}},
         -1,
         "No candidates for skeleton found."},
        {"single childless root without mesh", {{0, -1, false}, {1, -1, true}}, 0, nullptr},
        {"single childless mesh root", {{0, -1, true}}, 0, nullptr},
        {"two childless roots without mesh",
         {{0, -1, false}, {1, -1, false}},
         -1,
         "No candidates for skeleton found."},
        {"parent id -2 is never a root",
         {{0, -2, false}, {1, 0, false}},
         -1,
         "No candidates for skeleton found."},
    };
    for (const RootCase& c : cases) {
        SCOPED_TRACE(c.label);
        NodeList list;
        for (auto [id, parent, mesh] : c.nodes) {
            SceneNode n = Node(id, parent, std::string("n").append(std::to_string(id)));
            n.mesh.vertexCount = mesh ? 3 : 0;
            list.push_back(n);
        }
        ReadReport report;
        ASSERT_TRUE(LinkParents(list, report));
        Message failure;
        EXPECT_EQ(SelectSkeletonRoot(list, failure), c.expected);
        if (c.message != nullptr) {
            EXPECT_EQ(failure, (Message{"Incorrect node structure", c.message}));
        }
    }
}

TEST(Matrix, PrimitivesAndEuler) {
    EXPECT_EQ(EulerTransform(0, 0, 0, 0, 0, 0), IdentityMatrix());
    const Matrix t = EulerTransform(1, 2, 3, 0, 0, 0);
    EXPECT_EQ(t(3, 0), 1.0f);
    EXPECT_EQ(t(3, 1), 2.0f);
    EXPECT_EQ(t(3, 2), 3.0f);
    EXPECT_EQ(t(3, 3), 1.0f);

    const float a = 0.3f;
    const Matrix rx = RotationXMatrix(a);
    EXPECT_FLOAT_EQ(rx(1, 2), std::sin(a));
    EXPECT_FLOAT_EQ(rx(2, 1), -std::sin(a));
    const Matrix ry = RotationYMatrix(a);
    EXPECT_FLOAT_EQ(ry(0, 2), -std::sin(a));
    EXPECT_FLOAT_EQ(ry(2, 0), std::sin(a));
    const Matrix rz = RotationZMatrix(a);
    EXPECT_FLOAT_EQ(rz(0, 1), std::sin(a));
    EXPECT_FLOAT_EQ(rz(1, 0), -std::sin(a));

    // Row vectors: rotate about X first, then move.
    const Matrix m = EulerTransform(5, 0, 0, 1.5707964f, 0, 0);
    const Vector3 p = TransformPoint({0, 1, 0}, m);
    EXPECT_NEAR(p.x, 5, 1e-6);
    EXPECT_NEAR(p.y, 0, 1e-6);
    EXPECT_NEAR(p.z, 1, 1e-6);

    const Matrix e = EulerTransform(1, -2, 3, 0.4f, -1.1f, 2.5f);
    const Matrix product = Multiply(e, Inverse(e));
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_NEAR(product(i, j), i == j ? 1 : 0, 1e-5);
        }
    }
}

}  // namespace
}  // namespace toravel
