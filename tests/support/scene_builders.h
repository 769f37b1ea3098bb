// Node lists for tests, built field by field.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "scene/node_ops.h"
#include "scene/records.h"

namespace toravel::testing {

inline SceneNode Node(int32_t id, int32_t parentId, std::string name) {
    SceneNode n;
    n.id = id;
    n.parentId = parentId;
    n.name = std::move(name);
    return n;
}

// A chain: node i has id i and parent i - 1, so the first is a root.
inline NodeList Nodes(const std::vector<std::string>& names) {
    NodeList list;
    for (const std::string& name : names) {
        const auto id = static_cast<int32_t>(list.size());
        list.push_back(Node(id, id - 1, name));
    }
    return list;
}

// LinkParents for lists built in a test, which must link.
inline bool Link(NodeList& list) {
    ReadReport report;
    return LinkParents(list, report);
}

}  // namespace toravel::testing
