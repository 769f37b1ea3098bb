// Tests whether an animation set can drive a node list: every node animation must name a
// node of the list. Each missing frame is reported to the user, who may stop looking.
#pragma once

#include <optional>

#include "app/user_interaction.h"
#include "scene/node_ops.h"
#include "scene/records.h"

namespace toravel {

// True when every node animation of `set` names a node of `primaryNodes` (exact, byte for
// byte). For each missing frame, in the set's order, asks whether to go on looking; a No
// stops the search. The answers never change the result. Changes no data.
bool CheckCompatibility(const AnimSet& set, const NodeList& primaryNodes, UserInteraction& ui);

// CheckCompatibility for many sets against one node list, which must not change meanwhile:
// the name index of the nodes is built once, when the first large set needs it.
class CompatibilityCheck {
  public:
    explicit CompatibilityCheck(const NodeList& primaryNodes) : nodes_(primaryNodes) {}
    bool Run(const AnimSet& set, UserInteraction& ui);

  private:
    const NodeList& nodes_;
    std::optional<NodeNameIndex> index_;
};

}  // namespace toravel
