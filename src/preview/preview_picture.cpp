#include "preview/preview_picture.h"

#include <algorithm>

#include "preview/contact_sheet.h"
#include "preview/pose.h"

namespace toravel {

std::optional<PreviewPlan> PlanPreview(const std::vector<AnimSet>& sets,
                                       const PreviewSettings& settings, std::string& error) {
    PreviewPlan plan;
    if (!settings.setName && !settings.frames) {
        return plan;
    }
    if (settings.setName) {
        const auto found = std::find_if(sets.begin(), sets.end(), [&](const AnimSet& set) {
            return set.name == *settings.setName;
        });
        if (found == sets.end()) {
            error = "there is no animation set named " + *settings.setName;
            if (!sets.empty()) {
                error += "; the sets are";
                for (size_t i = 0; i < sets.size(); ++i) {
                    error += (i == 0 ? " " : ", ") + sets[i].name;
                }
            }
            return std::nullopt;
        }
        plan.set = &*found;
    } else if (sets.empty()) {
        error = "frames are asked for, but the model has no animation sets";
        return std::nullopt;
    } else {
        plan.set = &sets.front();
    }
    const std::vector<uint32_t> times = KeyTimes(*plan.set);
    std::optional<std::vector<size_t>> frames =
        ParseFrames(settings.frames ? *settings.frames : "all-8", times.size(), error);
    if (!frames) {
        error = plan.set->name + ": " + error;
        return std::nullopt;
    }
    // A sheet larger than this would take gigabytes; nobody looks at one that big.
    constexpr double kMostPixels = 1 << 26;
    if (static_cast<double>(frames->size()) * settings.width * settings.height > kMostPixels) {
        error = "a contact sheet of " + std::to_string(frames->size()) +
                " cells of that size is too large; choose fewer frames or a smaller --size";
        return std::nullopt;
    }
    plan.frames = std::move(*frames);
    for (size_t frame : plan.frames) {
        plan.times.push_back(times[frame]);
    }
    return plan;
}

namespace {

RenderStyle StyleFor(const PreviewSettings& settings, const Bounds& bind) {
    RenderStyle style;
    style.width = settings.width;
    style.height = settings.height;
    style.grid = settings.grid;
    style.bones = settings.bones;
    style.threads = settings.threads;
    style.floor = bind;
    return style;
}

// The bind pose and every pose of the plan, so that a walk stays in the picture.
Bounds PlanBounds(const NodeList& frames, const PreviewPlan& plan) {
    Bounds bounds = BoundsOf(PoseMeshes(frames, PoseMatrices(frames, nullptr, 0)));
    if (plan.set != nullptr) {
        for (uint32_t time : plan.times) {
            const Bounds posed = BoundsOf(PoseMeshes(frames, PoseMatrices(frames, plan.set, time)));
            if (!posed.empty) {
                bounds.Add(posed.min);
                bounds.Add(posed.max);
            }
        }
    }
    return bounds;
}

}  // namespace

Camera PreviewCamera(const NodeList& frames, const PreviewPlan& plan,
                     const PreviewSettings& settings) {
    return FrameCamera(PlanBounds(frames, plan), settings.view, settings.width, settings.height);
}

Image RenderPreview(const NodeList& frames, const PreviewPlan& plan,
                    const PreviewSettings& settings, const TextureLookup& textures) {
    const Bounds bounds = PlanBounds(frames, plan);
    const Camera camera = FrameCamera(bounds, settings.view, settings.width, settings.height);
    const RenderStyle style = StyleFor(settings, bounds);
    if (plan.set == nullptr) {
        const std::vector<Matrix> pose = PoseMatrices(frames, nullptr, 0);
        return RenderPose(frames, pose, PoseMeshes(frames, pose), camera, style, textures);
    }
    std::vector<Image> cells;
    const int scale = std::max(1, settings.height / 120);
    for (size_t i = 0; i < plan.frames.size(); ++i) {
        const std::vector<Matrix> pose = PoseMatrices(frames, plan.set, plan.times[i]);
        Image cell = RenderPose(frames, pose, PoseMeshes(frames, pose), camera, style, textures);
        DrawLabel(cell, 4, 4, plan.set->name + " " + std::to_string(plan.frames[i]), scale);
        cells.push_back(std::move(cell));
    }
    return ContactSheet(cells);
}

}  // namespace toravel
