#include "scene/names.h"

#include <unordered_map>
#include <vector>

namespace toravel {

namespace {

bool IsNameCharacter(unsigned char c) {
    return c >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
           (c >= '0' && c <= '9') || c == '_' || c == '-';
}

// A name for a notice: control characters shown as \xNN, so that the reader sees them.
std::string Printable(const std::string& name) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) {
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

bool FixXName(std::string& name) {
    bool changed = false;
    for (char& c : name) {
        if (!IsNameCharacter(static_cast<unsigned char>(c))) {
            c = '_';
            changed = true;
        }
    }
    return changed;
}

std::optional<NameCollision> FixNodeNames(NodeList& list) {
    // The names as they were, for the nodes whose names change.
    std::unordered_map<size_t, std::string> before;
    for (size_t i = 0; i < list.size(); ++i) {
        std::string original = list[i].name;
        if (FixXName(list[i].name)) {
            before.emplace(i, std::move(original));
        }
    }
    if (before.empty()) {
        return std::nullopt;
    }
    auto originalName = [&](size_t i) -> const std::string& {
        const auto found = before.find(i);
        return found != before.end() ? found->second : list[i].name;
    };
    std::optional<NameCollision> collision;
    std::unordered_map<std::string_view, size_t> firstWithName;
    for (size_t i = 0; i < list.size(); ++i) {
        const auto [it, added] = firstWithName.try_emplace(list[i].name, i);
        if (added || originalName(it->second) == originalName(i)) {
            continue;  // a new name, or one that the file itself gives twice
        }
        if (collision) {
            ++collision->more;
        } else {
            collision = NameCollision{originalName(it->second), originalName(i), list[i].name, 0};
        }
    }
    return collision;
}

std::optional<NameCollision> FixModelNames(NodeList& list, std::vector<AnimSet>& sets) {
    std::optional<NameCollision> collision = FixNodeNames(list);
    for (SceneNode& node : list) {
        FixXName(node.mesh.name);
        for (MaterialData& material : node.mesh.materials) {
            FixXName(material.name);
        }
        for (BoneWeights& bone : node.mesh.boneWeights) {
            FixXName(bone.boneName);
        }
    }
    for (AnimSet& set : sets) {
        for (NodeAnimation& animation : set.animations) {
            FixXName(animation.name);
        }
    }
    return collision;
}

std::string CollisionNotice(const NameCollision& collision) {
    // Appended piece by piece: GCC 12 warns falsely about "literal" + std::string temporaries.
    std::string text = "The nodes \"";
    text.append(Printable(collision.first)).append("\" and \"");
    text.append(Printable(collision.second)).append("\" are both named ");
    text.append(collision.fixed);
    text.append(" in the X file; bones and animations of that name refer to the first.");
    if (collision.more > 0) {
        text.append("\n").append(std::to_string(collision.more));
        text.append(collision.more == 1 ? " more node shares" : " more nodes share");
        text.append(" a name with an earlier node in the same way.");
    }
    return text;
}

}  // namespace toravel
