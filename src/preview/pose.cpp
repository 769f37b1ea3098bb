#include "preview/pose.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "scene/node_ops.h"

namespace toravel {

namespace {

constexpr int32_t kRotationKey = 0;
constexpr int32_t kScaleKey = 1;
constexpr int32_t kPositionKey = 2;
constexpr int32_t kMatrixKey = 4;

// The key that holds at `time`: the latest at or before it, else the earliest.
const TimedKey* KeyAt(const KeyTrack& track, uint32_t time) {
    const TimedKey* before = nullptr;
    const TimedKey* earliest = nullptr;
    for (const TimedKey& key : track.keys) {
        if (key.time <= time && (before == nullptr || key.time > before->time)) {
            before = &key;
        }
        if (earliest == nullptr || key.time < earliest->time) {
            earliest = &key;
        }
    }
    return before != nullptr ? before : earliest;
}

float Value(const TimedKey& key, size_t i) {
    return i < key.values.size() ? key.values[i] : 0.0f;
}

// The rotation of the unit quaternion (w, x, y, z) for row vectors, as Direct3D builds it:
// (cos 45, 0, 0, sin 45) turns x onto y.
Matrix QuaternionMatrix(float w, float x, float y, float z) {
    const float n = std::sqrt(w * w + x * x + y * y + z * z);
    if (n > 0) {
        w /= n;
        x /= n;
        y /= n;
        z /= n;
    }
    Matrix m;
    m(0, 0) = 1 - 2 * (y * y + z * z);
    m(0, 1) = 2 * (x * y + z * w);
    m(0, 2) = 2 * (x * z - y * w);
    m(1, 0) = 2 * (x * y - z * w);
    m(1, 1) = 1 - 2 * (x * x + z * z);
    m(1, 2) = 2 * (y * z + x * w);
    m(2, 0) = 2 * (x * z + y * w);
    m(2, 1) = 2 * (y * z - x * w);
    m(2, 2) = 1 - 2 * (x * x + y * y);
    return m;
}

// A local matrix split into scale, rotation and position, so that tracks of single parts
// keep the others from the bind pose.
struct Parts {
    Vector3 scale{1, 1, 1};
    Matrix rotation;
    Vector3 position;
};

Parts Split(const Matrix& m) {
    Parts parts;
    float* scales[3] = {&parts.scale.x, &parts.scale.y, &parts.scale.z};
    for (int row = 0; row < 3; ++row) {
        const float length =
            std::sqrt(m(row, 0) * m(row, 0) + m(row, 1) * m(row, 1) + m(row, 2) * m(row, 2));
        *scales[row] = length;
        for (int col = 0; col < 3; ++col) {
            parts.rotation(row, col) = length > 0 ? m(row, col) / length : (row == col ? 1.f : 0.f);
        }
    }
    parts.position = {m(3, 0), m(3, 1), m(3, 2)};
    return parts;
}

Matrix Join(const Parts& parts) {
    Matrix scale;
    scale(0, 0) = parts.scale.x;
    scale(1, 1) = parts.scale.y;
    scale(2, 2) = parts.scale.z;
    Matrix m = Multiply(scale, parts.rotation);
    m(3, 0) = parts.position.x;
    m(3, 1) = parts.position.y;
    m(3, 2) = parts.position.z;
    return m;
}

Matrix AnimatedLocal(const NodeAnimation& animation, uint32_t time, const Matrix& bind) {
    std::optional<Parts> parts;
    for (const KeyTrack& track : animation.tracks) {
        const TimedKey* key = KeyAt(track, time);
        if (key == nullptr) {
            continue;
        }
        if (key->isMatrix || track.keyType == kMatrixKey) {
            if (key->isMatrix) {
                return key->matrix;
            }
            Matrix m;
            for (size_t i = 0; i < 16; ++i) {
                m.m[i] = Value(*key, i);
            }
            return m;
        }
        if (!parts) {
            parts = Split(bind);
        }
        if (track.keyType == kRotationKey) {
            // The key holds w, x, y, z of the conjugate of the rotation, the form X files keep
            // it in (Assimp reads it so too): (cos 45, 0, 0, sin 45) turns x onto -y.
            parts->rotation =
                QuaternionMatrix(Value(*key, 0), -Value(*key, 1), -Value(*key, 2), -Value(*key, 3));
        } else if (track.keyType == kScaleKey) {
            parts->scale = {Value(*key, 0), Value(*key, 1), Value(*key, 2)};
        } else if (track.keyType == kPositionKey) {
            parts->position = {Value(*key, 0), Value(*key, 1), Value(*key, 2)};
        }
    }
    return parts ? Join(*parts) : bind;
}

}  // namespace

std::vector<uint32_t> KeyTimes(const AnimSet& set) {
    std::vector<uint32_t> times;
    for (const NodeAnimation& animation : set.animations) {
        for (const KeyTrack& track : animation.tracks) {
            for (const TimedKey& key : track.keys) {
                times.push_back(key.time);
            }
        }
    }
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    return times;
}

std::vector<Matrix> PoseMatrices(const NodeList& frames, const AnimSet* set, uint32_t time) {
    std::unordered_map<std::string_view, const NodeAnimation*> animated;
    if (set != nullptr) {
        for (const NodeAnimation& animation : set->animations) {
            animated.emplace(animation.name, &animation);
        }
    }
    std::vector<Matrix> local(frames.size());
    for (size_t i = 0; i < frames.size(); ++i) {
        const auto found = animated.find(frames[i].name);
        local[i] = found == animated.end()
                       ? frames[i].localMatrix
                       : AnimatedLocal(*found->second, time, frames[i].localMatrix);
    }
    // Parents before children, along the links, without recursion.
    std::vector<Matrix> pose(frames.size());
    std::vector<std::pair<NodeIndex, Matrix>> stack;
    for (size_t i = 0; i < frames.size(); ++i) {
        if (frames[i].parentId >= 0) {
            continue;
        }
        stack.emplace_back(static_cast<NodeIndex>(i), IdentityMatrix());
        while (!stack.empty()) {
            const auto [node, parent] = stack.back();
            stack.pop_back();
            const auto at = static_cast<size_t>(node);
            pose[at] = Multiply(local[at], parent);
            for (NodeIndex child = frames[at].firstChild; child != kNoNode;
                 child = frames[static_cast<size_t>(child)].nextSibling) {
                stack.emplace_back(child, pose[at]);
            }
        }
    }
    return pose;
}

std::vector<PosedMesh> PoseMeshes(const NodeList& frames, const std::vector<Matrix>& pose) {
    const NodeNameIndex names(frames);
    std::vector<PosedMesh> posed;
    for (size_t f = 0; f < frames.size(); ++f) {
        const MeshData& mesh = frames[f].mesh;
        if (!mesh.HasMesh()) {
            continue;
        }
        PosedMesh& out = posed.emplace_back();
        out.frame = static_cast<NodeIndex>(f);
        const size_t count = mesh.positions.size();
        std::vector<Vector3> sum(count);
        std::vector<float> total(count, 0.0f);
        for (const BoneWeights& bone : mesh.boneWeights) {
            const NodeIndex node = names.Find(bone.boneName);
            if (node == kNoNode) {
                continue;
            }
            const Matrix skin = Multiply(bone.offsetMatrix, pose[static_cast<size_t>(node)]);
            const size_t n = std::min(bone.vertexIndices.size(), bone.weights.size());
            for (size_t i = 0; i < n; ++i) {
                const int32_t v = bone.vertexIndices[i];
                if (v < 0 || static_cast<size_t>(v) >= count) {
                    continue;
                }
                const float w = bone.weights[i];
                const Vector3 p = TransformPoint(mesh.positions[static_cast<size_t>(v)], skin);
                Vector3& s = sum[static_cast<size_t>(v)];
                s.x += w * p.x;
                s.y += w * p.y;
                s.z += w * p.z;
                total[static_cast<size_t>(v)] += w;
            }
        }
        out.positions.resize(count);
        for (size_t v = 0; v < count; ++v) {
            out.positions[v] =
                total[v] != 0.0f ? sum[v] : TransformPoint(mesh.positions[v], pose[f]);
        }
    }
    return posed;
}

void Bounds::Add(const Vector3& p) {
    if (empty) {
        min = max = p;
        empty = false;
        return;
    }
    min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
    max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
}

Bounds BoundsOf(const std::vector<PosedMesh>& meshes) {
    Bounds bounds;
    for (const PosedMesh& mesh : meshes) {
        for (const Vector3& p : mesh.positions) {
            if (std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) {
                bounds.Add(p);
            }
        }
    }
    return bounds;
}

}  // namespace toravel
