#include "app/compatibility.h"

#include <string>

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
    return CompatibilityCheck(primaryNodes).Run(set, ui);
}

bool CompatibilityCheck::Run(const AnimSet& set, UserInteraction& ui) {
    if (!index_ && set.animations.size() * nodes_.size() > kIndexThreshold) {
        index_.emplace(nodes_);
    }
    bool compatible = true;
    for (const NodeAnimation& animation : set.animations) {
        const NodeIndex found =
            index_ ? index_->Find(animation.name) : FindNodeByName(nodes_, animation.name);
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
