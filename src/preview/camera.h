// The preview camera: a perspective view of a box from a fixed direction, framed so the box
// fills most of the picture. View space is Direct3D's: x right, y up, z away from the eye,
// so the picture shows the file's coordinates as a Direct3D engine shows them.
#pragma once

#include <optional>
#include <string_view>

#include "preview/pose.h"
#include "scene/matrix.h"

namespace toravel {

// Where the eye stands, for a character made from an SMD file (it faces +x, y is up):
// front on +x, side on -z (its left), top above with +x up the picture, three-quarter in
// front, to its left and above.
enum class ViewKind { kFront, kSide, kTop, kThreeQuarter };
std::optional<ViewKind> ParseViewKind(std::string_view text);

struct Camera {
    Vector3 eye;
    Vector3 right;  // view space axes in model space
    Vector3 up;
    Vector3 forward;
    float focal = 1;  // pixels at unit depth
    float centreX = 0;
    float centreY = 0;
    float nearDepth = 0.01f;

    Vector3 ToView(const Vector3& p) const;
    // Pixel coordinates (x right, y down, pixel centres at .5) and the view depth.
    Vector3 ToPixel(const Vector3& view) const {
        return {centreX + focal * view.x / view.z, centreY - focal * view.y / view.z, view.z};
    }
    Vector3 Project(const Vector3& p) const { return ToPixel(ToView(p)); }
};

// A camera that looks at `bounds` from `view` and fits them into width x height pixels with
// a margin.
Camera FrameCamera(const Bounds& bounds, ViewKind view, int width, int height);

}  // namespace toravel
