#include "app/compatibility.h"

#include <optional>
#include <string>

#include "scene/node_ops.h"

namespace toravel {

namespace {

// Below this many name comparisons a linear search beats building a hash index.
constexpr size_t kIndexThreshold = 4096;

bool AskContinueAfterMissing(const std::string& frameName, UserInteraction& ui) {
    std::string text = "Animation exists for ";
    text += frameName;
    text += " - frame not found in Primary Nodes\nContinue with compatibility check?";
    return ui.AskYesNo({QuestionId::kContinueCompatibility, "Incompatible Animation Set",
                        std::move(text), true, frameName});
}

}  // namespace

bool CheckCompatibility(const AnimSet& set, const NodeList& primaryNodes, UserInteraction& ui) {
    std::optional<NodeNameIndex> index;
    if (set.animations.size() * primaryNodes.size() > kIndexThreshold) {
        index.emplace(primaryNodes);
    }
    bool compatible = true;
    for (const NodeAnimation& animation : set.animations) {
        const NodeIndex found =
            index ? index->Find(animation.name) : FindNodeByName(primaryNodes, animation.name);
        if (found != kNoNode) {
            continue;
        }
        compatible = false;
        if (!AskContinueAfterMissing(animation.name, ui)) {
            break;
        }
    }
    return compatible;
}

}  // namespace toravel
