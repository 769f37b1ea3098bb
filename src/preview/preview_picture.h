// The picture `toravel preview` writes: the model at its bind pose, or a contact sheet of
// chosen keys of one animation set, each cell labelled with the set and the frame.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "preview/camera.h"
#include "preview/image.h"
#include "preview/render.h"
#include "scene/records.h"

namespace toravel {

struct PreviewSettings {
    ViewKind view = ViewKind::kThreeQuarter;
    int width = 800;  // of one picture or one cell
    int height = 600;
    bool bones = false;
    bool grid = true;
    int threads = 0;                     // that draw each picture; 0: as many as the machine has
    std::optional<std::string> setName;  // the set of the sheet; the first set when only
                                         // frames are given
    std::optional<std::string> frames;   // "0,10,20" or "all-8"; all-8 when only a set is given
};

// What the picture shows, chosen before anything is drawn.
struct PreviewPlan {
    const AnimSet* set = nullptr;  // none: the bind pose
    std::vector<size_t> frames;    // positions in KeyTimes(*set)
    std::vector<uint32_t> times;   // their key times
};

// Nothing, with the reason in `error`, for an unknown set, a model without sets when frames
// are asked for, or frames that the set does not have.
std::optional<PreviewPlan> PlanPreview(const std::vector<AnimSet>& sets,
                                       const PreviewSettings& settings, std::string& error);

// The camera that every cell shares, framed on the meshes at the bind pose and at every
// pose of the plan.
Camera PreviewCamera(const NodeList& frames, const PreviewPlan& plan,
                     const PreviewSettings& settings);

Image RenderPreview(const NodeList& frames, const PreviewPlan& plan,
                    const PreviewSettings& settings, const TextureLookup& textures = {});

}  // namespace toravel
