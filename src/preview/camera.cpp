#include "preview/camera.h"

#include <algorithm>
#include <cmath>

namespace toravel {

namespace {

Vector3 Sub(const Vector3& a, const Vector3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
float Dot(const Vector3& a, const Vector3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vector3 Cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vector3 Normalised(const Vector3& a) {
    const float n = std::sqrt(Dot(a, a));
    return n > 0 ? Vector3{a.x / n, a.y / n, a.z / n} : a;
}

// The direction from the model to the eye, and the model direction that points up the picture.
void Direction(ViewKind view, Vector3& toEye, Vector3& upHint) {
    upHint = {0, 1, 0};
    switch (view) {
        case ViewKind::kFront:
            toEye = {1, 0, 0};
            return;
        case ViewKind::kSide:
            toEye = {0, 0, -1};
            return;
        case ViewKind::kTop:
            toEye = {0, 1, 0};
            upHint = {1, 0, 0};
            return;
        case ViewKind::kThreeQuarter:
            toEye = Normalised({0.75f, 0.5f, -1.0f});
            return;
    }
}

}  // namespace

std::optional<ViewKind> ParseViewKind(std::string_view text) {
    if (text == "front") {
        return ViewKind::kFront;
    }
    if (text == "side") {
        return ViewKind::kSide;
    }
    if (text == "top") {
        return ViewKind::kTop;
    }
    if (text == "three-quarter") {
        return ViewKind::kThreeQuarter;
    }
    return std::nullopt;
}

Vector3 Camera::ToView(const Vector3& p) const {
    const Vector3 d = Sub(p, eye);
    return {Dot(d, right), Dot(d, up), Dot(d, forward)};
}

Camera FrameCamera(const Bounds& bounds, ViewKind view, int width, int height) {
    Vector3 lo = bounds.empty ? Vector3{-1, 0, -1} : bounds.min;
    Vector3 hi = bounds.empty ? Vector3{1, 2, 1} : bounds.max;
    const Vector3 centre{(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2};
    float radius = std::sqrt(Dot(Sub(hi, centre), Sub(hi, centre)));
    if (!(radius > 0) || !std::isfinite(radius)) {
        radius = 1;
    }
    Vector3 toEye;
    Vector3 upHint;
    Direction(view, toEye, upHint);

    Camera camera;
    camera.forward = {-toEye.x, -toEye.y, -toEye.z};
    camera.right = Normalised(Cross(upHint, camera.forward));
    camera.up = Cross(camera.forward, camera.right);
    // A long lens from far away: little distortion, and nothing of the box behind the eye.
    const float distance = 3.5f * radius;
    camera.eye = {centre.x + toEye.x * distance, centre.y + toEye.y * distance,
                  centre.z + toEye.z * distance};
    camera.nearDepth = distance * 0.01f;
    camera.centreX = static_cast<float>(width) / 2;
    camera.centreY = static_cast<float>(height) / 2;

    // The focal length that brings the furthest corner to 45% of the picture from its middle.
    float reachX = 0;
    float reachY = 0;
    for (int corner = 0; corner < 8; ++corner) {
        const Vector3 p{(corner & 1) ? hi.x : lo.x, (corner & 2) ? hi.y : lo.y,
                        (corner & 4) ? hi.z : lo.z};
        const Vector3 v = camera.ToView(p);
        if (v.z > 0) {
            reachX = std::max(reachX, std::fabs(v.x / v.z));
            reachY = std::max(reachY, std::fabs(v.y / v.z));
        }
    }
    const float fitX = reachX > 0 ? 0.45f * static_cast<float>(width) / reachX : 1e9f;
    const float fitY = reachY > 0 ? 0.45f * static_cast<float>(height) / reachY : 1e9f;
    camera.focal = std::min(fitX, fitY);
    if (!(camera.focal < 1e9f)) {
        camera.focal = static_cast<float>(std::min(width, height));
    }
    return camera;
}

}  // namespace toravel
