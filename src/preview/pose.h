// The model as an engine poses it, computed from the file alone: every frame's model-space
// matrix at the bind pose or at one key time of an animation set, and each mesh skinned by
// its stored weights (vertex times offset matrix times the bone's combined matrix).
#pragma once

#include <cstdint>
#include <vector>

#include "scene/records.h"

namespace toravel {

// The distinct key times of `set`, ascending, over all of its tracks. A frame of a set is a
// position in this list: the SMD animation's frame N is its N-th key.
std::vector<uint32_t> KeyTimes(const AnimSet& set);

// The model-space matrix of every frame of `frames` (same positions), each frame's local
// matrix replaced by its animation at `time` where `set` animates it. With no set: the bind
// pose. A track holds its value from its key at or before `time` (its first key before
// that); rotation, scale and position tracks replace those parts of the bind transform,
// which are joined as scale, then rotation, then translation.
std::vector<Matrix> PoseMatrices(const NodeList& frames, const AnimSet* set, uint32_t time);

// One mesh in model space at a pose.
struct PosedMesh {
    NodeIndex frame = kNoNode;       // the frame that holds the mesh
    std::vector<Vector3> positions;  // parallel to the mesh's positions
};

// Skins every mesh of `frames`. A vertex takes the sum of its stored weights times its
// position through each bone; a vertex without weights, and every vertex of a mesh without
// skin, moves with the mesh's own frame. Bones that name no frame are left out.
std::vector<PosedMesh> PoseMeshes(const NodeList& frames, const std::vector<Matrix>& pose);

// The box around every posed vertex; empty when there is none.
struct Bounds {
    Vector3 min;
    Vector3 max;
    bool empty = true;
    void Add(const Vector3& p);
};
Bounds BoundsOf(const std::vector<PosedMesh>& meshes);

}  // namespace toravel
