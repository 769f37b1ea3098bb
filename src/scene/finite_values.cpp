#include "scene/finite_values.h"

#include <cmath>
#include <span>

namespace toravel {

namespace {

bool Finite(std::span<const float> values) {
    for (const float v : values) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

bool Finite(const Matrix& m) {
    return IsFinite(m);
}
bool Finite(const Vector3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}
bool Finite(const Vector2& v) {
    return std::isfinite(v.u) && std::isfinite(v.v);
}

bool Finite(const MaterialData& m) {
    return Finite(m.faceColour) && std::isfinite(m.power) && Finite(m.specularColour) &&
           Finite(m.emissiveColour);
}

std::string Quoted(const std::string& name) {
    return "'" + name + "'";
}

// The first key of `track` with a value that is not finite, as "the key at time T".
std::optional<std::string> FindInTrack(const KeyTrack& track) {
    for (const TimedKey& key : track.keys) {
        if (!(key.isMatrix ? Finite(key.matrix) : Finite(key.values))) {
            return "the key at time " + std::to_string(key.time);
        }
    }
    return std::nullopt;
}

template <typename T>
std::optional<size_t> FirstNonFinite(const std::vector<T>& list) {
    for (size_t i = 0; i < list.size(); ++i) {
        if (!Finite(list[i])) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> FindInMesh(const MeshData& mesh) {
    if (const auto i = FirstNonFinite(mesh.positions)) {
        return "vertex " + std::to_string(*i);
    }
    if (const auto i = FirstNonFinite(mesh.normals)) {
        return "normal " + std::to_string(*i);
    }
    if (const auto i = FirstNonFinite(mesh.texCoords)) {
        return "texture coordinate " + std::to_string(*i);
    }
    if (const auto i = FirstNonFinite(mesh.materials)) {
        return "material " + std::to_string(*i);
    }
    for (const BoneWeights& bone : mesh.boneWeights) {
        if (!Finite(bone.weights)) {
            return "a skin weight of bone " + Quoted(bone.boneName);
        }
        if (!Finite(bone.offsetMatrix)) {
            return "the offset matrix of bone " + Quoted(bone.boneName);
        }
    }
    return std::nullopt;
}

}  // namespace

bool IsFinite(const Matrix& m) {
    return Finite(std::span<const float>(m.m));
}

std::optional<std::string> FindNonFiniteValue(const NodeList& nodes) {
    for (const SceneNode& node : nodes) {
        if (!Finite(node.localMatrix)) {
            return "the bind pose of node " + Quoted(node.name);
        }
        if (std::optional<std::string> what = FindInMesh(node.mesh)) {
            return *what + " of the mesh of node " + Quoted(node.name);
        }
        if (std::optional<std::string> what = FindInTrack(node.track)) {
            return *what + " of node " + Quoted(node.name);
        }
    }
    return std::nullopt;
}

std::optional<std::string> FindNonFiniteValue(const std::vector<AnimSet>& sets) {
    for (const AnimSet& set : sets) {
        for (const NodeAnimation& animation : set.animations) {
            for (const KeyTrack& track : animation.tracks) {
                if (std::optional<std::string> what = FindInTrack(track)) {
                    return *what + " of frame " + Quoted(animation.name) + " in animation set " +
                           Quoted(set.name);
                }
            }
        }
    }
    return std::nullopt;
}

std::string NonFiniteValueText(const std::string& what) {
    return "A value in " + what + " is not a finite number.";
}

}  // namespace toravel
