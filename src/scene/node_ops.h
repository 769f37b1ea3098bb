// Operations on a NodeList shared by every reader and writer: lookups, parent links, the
// skeleton root and the model-space matrices. All walks are iterative, so neither deep
// chains nor wide fans can exhaust the stack.
#pragma once

#include <string_view>
#include <unordered_map>

#include "scene/read_result.h"
#include "scene/records.h"

namespace toravel {

// The first node in list order with this id or name, or kNoNode.
NodeIndex FindNodeById(const NodeList& list, int32_t id);
NodeIndex FindNodeByName(const NodeList& list, std::string_view name);

// FindNodeById in constant time for lists that are searched many times. The index sees the
// list as it was when built.
class NodeIdIndex {
  public:
    explicit NodeIdIndex(const NodeList& list);
    NodeIndex Find(int32_t id) const;

  private:
    std::unordered_map<int32_t, NodeIndex> first_;
};

// FindNodeByName in constant time.
class NodeNameIndex {
  public:
    explicit NodeNameIndex(const NodeList& list);
    NodeIndex Find(std::string_view name) const;

  private:
    std::unordered_map<std::string_view, NodeIndex> first_;
};

// Chains every node with a non-negative parent id under the first node of that id, children
// in list order. Fails on a missing parent or on parent ids that form a cycle, recording a
// message titled "Invalid Node Structure" in `report`. Expects a list without links.
bool LinkParents(NodeList& list, ReadReport& report);

// The deepest hierarchy any reader accepts: a chain of this many SMD nodes, or frames nested
// this many levels below an X file's Scene_Root, which is what such a chain is written as.
// Deeper input is refused at load, so whatever loads also exports and reads back.
inline constexpr size_t kMaxHierarchyDepth = 100000;

// The first node in list order that lies more than `maxDepth` levels deep (a root is at level
// 1), or kNoNode. Expects linked parents.
NodeIndex FindNodeDeeperThan(const NodeList& list, size_t maxDepth);

// The node that roots the skeleton, or kNoNode with the reason in `failure` (titled
// "Incorrect node structure").
NodeIndex SelectSkeletonRoot(const NodeList& list, Message& failure);

// Sets combinedMatrix for `node`, its later siblings and all their descendants.
void ComputeCombinedMatrices(NodeList& list, NodeIndex node, const Matrix& parentMatrix);

// ComputeCombinedMatrices from every root (negative parent id) with the identity.
void ComputeAllCombinedMatrices(NodeList& list);

}  // namespace toravel
