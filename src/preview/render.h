// One picture of a posed model: the floor grid on the ground plane y = 0, the meshes lit by a
// fixed key light and an ambient term with back faces culled by the file's winding
// (clockwise in the picture is the front, as in Direct3D), and the skeleton over them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "preview/camera.h"
#include "preview/image.h"
#include "preview/pose.h"
#include "scene/records.h"

namespace toravel {

// A texture's pixels, the top row at v = 0.
using Texture = Image;

struct RenderStyle {
    int width = 800;
    int height = 600;
    bool grid = true;
    bool bones = false;
    Rgb background{46, 52, 64};
    Bounds floor;     // the box the camera frames, which the grid covers
    int threads = 0;  // that draw the meshes; 0: as many as the machine has
};

// The texture of a material, or none; the material is then drawn in a flat colour of its own.
using TextureLookup = std::function<const Texture*(const MaterialData&)>;

// The flat colour of a material: a colour of its own for each texture name, so that it shows
// where each texture lands; its face colour when it names none.
Rgb MaterialColour(const MaterialData& material);

Image RenderPose(const NodeList& frames, const std::vector<Matrix>& pose,
                 const std::vector<PosedMesh>& meshes, const Camera& camera,
                 const RenderStyle& style, const TextureLookup& textures = {});

}  // namespace toravel
