#include "smd/smd_reader.h"

#include <optional>
#include <utility>

#include "scene/finite_values.h"
#include "scene/names.h"
#include "scene/node_ops.h"
#include "smd/smd_triangles.h"

namespace toravel {

bool SmdReader::Step(bool ok) {
    if (!ok) {
        report_.SetPosition({input_.StopLine(), std::nullopt});
        if (input_.lineTooLong()) {
            report_.SetHint(LineTooLongHint(input_.StopLine()));
        }
    }
    return ok;
}

bool SmdReader::Header() {
    return Step(ReadHeader(input_) || report_.Fail("Invalid SMD file header."));
}

bool SmdReader::Nodes() {
    if (!Step(ReadNodes(input_, tokenizer_, nodes_, report_))) {
        return false;
    }
    // A frame or an animation of the X file needs a name to be referred to by.
    for (const SceneNode& node : nodes_) {
        if (node.name.empty()) {
            report_.Fail("Node " + std::to_string(node.id) + " has an empty name.");
            return Step(false);
        }
    }
    return true;
}

bool SmdReader::LinkParents() {
    if (!toravel::LinkParents(nodes_, report_)) {
        return Step(false);
    }
    if (const NodeIndex deep = FindNodeDeeperThan(nodes_, kMaxHierarchyDepth); deep != kNoNode) {
        const SceneNode& node = nodes_[static_cast<size_t>(deep)];
        report_.Fail("Node " + std::to_string(node.id) + " (" + node.name + ") lies more than " +
                         std::to_string(kMaxHierarchyDepth) + " levels deep in the hierarchy.",
                     "Invalid Node Structure");
        return Step(false);
    }
    return true;
}

bool SmdReader::Skeleton(SkeletonMode mode) {
    return Step(ReadSkeleton(input_, tokenizer_, nodes_, mode, report_));
}

void SmdReader::FixNames() {
    if (const std::optional<NameCollision> collision = toravel::FixNames(nodes_)) {
        report_.Warn(CollisionNotice(*collision), kCollisionTitle);
    }
}

bool SmdReader::Triangles() {
    return Step(ReadTriangles(input_, tokenizer_, nodes_, report_, threads_) && CheckFinite());
}

bool SmdReader::CheckFinite() {
    // Sums of translations that are finite alone may overflow in model space; the offset
    // matrices are the inverses of those bind poses.
    for (const SceneNode& node : nodes_) {
        if (!IsFinite(node.combinedMatrix)) {
            return report_.Fail(
                NonFiniteValueText("the bind pose of node '" + node.name + "' in model space"));
        }
    }
    if (const std::optional<std::string> what = FindNonFiniteValue(nodes_)) {
        return report_.Fail(NonFiniteValueText(*what));
    }
    return true;
}

namespace {

SmdReadResult Finish(SmdReader& reader) {
    return SmdReadResult{std::move(reader.nodes()), std::move(reader.report())};
}

}  // namespace

SmdReadResult ReadSmdReference(TextInput& input, TriangleThreads threads) {
    SmdReader reader(input, threads);
    if (reader.Header() && reader.Nodes() && reader.LinkParents() &&
        reader.Skeleton(SkeletonMode::kReference)) {
        reader.FixNames();
        reader.Triangles();
    }
    return Finish(reader);
}

SmdReadResult ReadSmdReference(std::string_view bytes, TriangleThreads threads) {
    TextInput input = TextInput::View(bytes);
    return ReadSmdReference(input, threads);
}

SmdReadResult ReadSmdAnimation(TextInput& input) {
    SmdReader reader(input);
    if (reader.Header() && reader.Nodes() && reader.LinkParents() &&
        reader.Skeleton(SkeletonMode::kAnimation)) {
        reader.FixNames();
    }
    return Finish(reader);
}

SmdReadResult ReadSmdAnimation(std::string_view bytes) {
    TextInput input = TextInput::View(bytes);
    return ReadSmdAnimation(input);
}

AnimSet TakeAnimSet(NodeList& nodes, std::string name) {
    AnimSet set;
    set.name = std::move(name);
    for (SceneNode& node : nodes) {
        if (node.track.keyCount > 0) {
            NodeAnimation& animation = set.animations.emplace_back();
            animation.name = node.name;
            animation.tracks.push_back(std::exchange(node.track, KeyTrack{}));
        }
    }
    return set;
}

AnimSet BuildAnimSet(const NodeList& nodes, std::string name) {
    AnimSet set;
    set.name = std::move(name);
    for (const SceneNode& node : nodes) {
        if (node.track.keyCount > 0) {
            NodeAnimation& animation = set.animations.emplace_back();
            animation.name = node.name;
            animation.tracks.push_back(node.track);
        }
    }
    return set;
}

}  // namespace toravel
