#include "scene/node_ops.h"

#include <string>
#include <utility>
#include <vector>

namespace toravel {

NodeIndex FindNodeById(const NodeList& list, int32_t id) {
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].id == id) {
            return static_cast<NodeIndex>(i);
        }
    }
    return kNoNode;
}

NodeIndex FindNodeByName(const NodeList& list, std::string_view name) {
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].name == name) {
            return static_cast<NodeIndex>(i);
        }
    }
    return kNoNode;
}

NodeIdIndex::NodeIdIndex(const NodeList& list) {
    first_.reserve(list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        first_.try_emplace(list[i].id, static_cast<NodeIndex>(i));
    }
}

NodeIndex NodeIdIndex::Find(int32_t id) const {
    const auto it = first_.find(id);
    return it == first_.end() ? kNoNode : it->second;
}

NodeNameIndex::NodeNameIndex(const NodeList& list) {
    first_.reserve(list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        first_.try_emplace(list[i].name, static_cast<NodeIndex>(i));
    }
}

NodeIndex NodeNameIndex::Find(std::string_view name) const {
    const auto it = first_.find(name);
    return it == first_.end() ? kNoNode : it->second;
}

namespace {

// Finds a node whose parent chain never reaches a root, or kNoNode.
NodeIndex FindNodeInCycle(const std::vector<NodeIndex>& parentOf) {
    enum : uint8_t { kUnknown, kOnPath, kReachesRoot };
    std::vector<uint8_t> state(parentOf.size(), kUnknown);
    std::vector<NodeIndex> path;
    for (size_t start = 0; start < parentOf.size(); ++start) {
        NodeIndex n = static_cast<NodeIndex>(start);
        path.clear();
        while (n != kNoNode && state[static_cast<size_t>(n)] == kUnknown) {
            state[static_cast<size_t>(n)] = kOnPath;
            path.push_back(n);
            n = parentOf[static_cast<size_t>(n)];
        }
        if (n != kNoNode && state[static_cast<size_t>(n)] == kOnPath) {
            return n;
        }
        for (NodeIndex p : path) {
            state[static_cast<size_t>(p)] = kReachesRoot;
        }
    }
    return kNoNode;
}

}  // namespace

bool LinkParents(NodeList& list, ReadReport& report) {
    const NodeIdIndex index(list);
    std::vector<NodeIndex> lastChild(list.size(), kNoNode);
    std::vector<NodeIndex> parentOf(list.size(), kNoNode);
    for (size_t i = 0; i < list.size(); ++i) {
        SceneNode& node = list[i];
        if (node.parentId < 0) {
            continue;
        }
        const NodeIndex parent = index.Find(node.parentId);
        if (parent == kNoNode) {
            return report.Fail("Node " + std::to_string(node.id) + " (" + node.name +
                                   "): parent id - " + std::to_string(node.parentId) +
                                   " not found in nodes.",
                               "Invalid Node Structure");
        }
        const auto self = static_cast<NodeIndex>(i);
        parentOf[i] = parent;
        NodeIndex& last = lastChild[static_cast<size_t>(parent)];
        if (last == kNoNode) {
            list[static_cast<size_t>(parent)].firstChild = self;
        } else {
            list[static_cast<size_t>(last)].nextSibling = self;
        }
        last = self;
    }
    const NodeIndex looped = FindNodeInCycle(parentOf);
    if (looped != kNoNode) {
        const SceneNode& node = list[static_cast<size_t>(looped)];
        return report.Fail("Node " + std::to_string(node.id) + " (" + node.name +
                               "): parent ids form a cycle; the node is its own ancestor.",
                           "Invalid Node Structure");
    }
    return true;
}

NodeIndex SelectSkeletonRoot(const NodeList& list, Message& failure) {
    static constexpr std::string_view kTitle = "Incorrect node structure";
    NodeIndex candidate = kNoNode;
    for (size_t i = 0; i < list.size(); ++i) {
        const SceneNode& node = list[i];
        if (node.parentId != -1 || node.firstChild == kNoNode || node.nextSibling != kNoNode ||
            node.mesh.vertexCount != 0) {
            continue;
        }
        if (candidate != kNoNode) {
            failure = {std::string(kTitle), "Multiple candidates for the skeleton.\n" +
                                                list[static_cast<size_t>(candidate)].name + "\n" +
                                                node.name};
            return kNoNode;
        }
        candidate = static_cast<NodeIndex>(i);
    }
    if (candidate != kNoNode) {
        return candidate;
    }

    // No root without a mesh has children. Real files often let the root bone own triangles,
    // or hold a single mesh node: fall back to the one root that can be meant.
    struct Single {
        int count = 0;
        NodeIndex node = kNoNode;
        void Add(size_t i) {
            if (count++ == 0) {
                node = static_cast<NodeIndex>(i);
            }
        }
    };
    Single withChildren, childlessWithoutMesh, anyRoot;
    for (size_t i = 0; i < list.size(); ++i) {
        const SceneNode& node = list[i];
        if (node.parentId != -1) {
            continue;
        }
        anyRoot.Add(i);
        if (node.firstChild != kNoNode) {
            withChildren.Add(i);
        } else if (node.mesh.vertexCount == 0) {
            childlessWithoutMesh.Add(i);
        }
    }
    if (withChildren.count == 1) {
        return withChildren.node;
    }
    if (withChildren.count == 0 && childlessWithoutMesh.count == 1) {
        return childlessWithoutMesh.node;
    }
    if (anyRoot.count == 1) {
        return anyRoot.node;
    }
    failure = {std::string(kTitle), "No candidates for skeleton found."};
    return kNoNode;
}

NodeIndex FindNodeDeeperThan(const NodeList& list, size_t maxDepth) {
    std::vector<size_t> depth(list.size(), 0);
    NodeIndex deepest = kNoNode;
    auto valid = [&](NodeIndex n) { return n >= 0 && static_cast<size_t>(n) < list.size(); };
    // Level by level from every root: each node's children get its level plus one.
    std::vector<NodeIndex> pending;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].parentId < 0) {
            depth[i] = 1;
            pending.push_back(static_cast<NodeIndex>(i));
        }
    }
    while (!pending.empty()) {
        const NodeIndex n = pending.back();
        pending.pop_back();
        const size_t level = depth[static_cast<size_t>(n)];
        if (level > maxDepth && (deepest == kNoNode || n < deepest)) {
            deepest = n;
        }
        for (NodeIndex c = list[static_cast<size_t>(n)].firstChild;
             valid(c) && depth[static_cast<size_t>(c)] == 0;
             c = list[static_cast<size_t>(c)].nextSibling) {
            depth[static_cast<size_t>(c)] = level + 1;
            pending.push_back(c);
        }
    }
    return deepest;
}

void ComputeCombinedMatrices(NodeList& list, NodeIndex node, const Matrix& parentMatrix) {
    // Each entry is a node whose own matrix and whose later siblings still need the matrix
    // of their parent. The visit count guards against malformed links.
    std::vector<std::pair<NodeIndex, Matrix>> pending{{node, parentMatrix}};
    size_t visits = 0;
    while (!pending.empty() && visits <= list.size()) {
        auto [n, parent] = pending.back();
        pending.pop_back();
        for (; n >= 0 && static_cast<size_t>(n) < list.size() && visits <= list.size();
             n = list[static_cast<size_t>(n)].nextSibling) {
            ++visits;
            SceneNode& current = list[static_cast<size_t>(n)];
            current.combinedMatrix = Multiply(current.localMatrix, parent);
            if (current.firstChild != kNoNode) {
                pending.emplace_back(current.firstChild, current.combinedMatrix);
            }
        }
    }
}

void ComputeAllCombinedMatrices(NodeList& list) {
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].parentId < 0) {
            ComputeCombinedMatrices(list, static_cast<NodeIndex>(i), IdentityMatrix());
        }
    }
}

}  // namespace toravel
