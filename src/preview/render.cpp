#include "preview/render.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "preview/rasterizer.h"
#include "scene/node_ops.h"

namespace toravel {

namespace {

constexpr Rgb kGridColour{88, 96, 112};
constexpr Rgb kGridAxisColour{120, 130, 150};
constexpr Rgb kBoneColour{255, 214, 64};
constexpr Rgb kJointColour{255, 96, 64};

uint8_t Byte(float value) {
    if (!(value > 0)) {
        return 0;
    }
    return value >= 255 ? uint8_t{255} : static_cast<uint8_t>(value + 0.5f);
}

// A segment in model space, cut at the near plane, as a line in the picture.
void DrawSegment(Raster& raster, const Camera& camera, const Vector3& from, const Vector3& to,
                 Rgb colour, bool depthTest, int thickness) {
    Vector3 a = camera.ToView(from);
    Vector3 b = camera.ToView(to);
    const float near = camera.nearDepth;
    if (a.z < near && b.z < near) {
        return;
    }
    auto cut = [near](Vector3& behind, const Vector3& front) {
        const float t = (near - behind.z) / (front.z - behind.z);
        behind = {behind.x + (front.x - behind.x) * t, behind.y + (front.y - behind.y) * t, near};
    };
    if (a.z < near) {
        cut(a, b);
    } else if (b.z < near) {
        cut(b, a);
    }
    const Vector3 pa = camera.ToPixel(a);
    const Vector3 pb = camera.ToPixel(b);
    raster.DrawLine(pa.x, pa.y, 1 / pa.z, pb.x, pb.y, 1 / pb.z, colour, depthTest, thickness);
}

// A round step for the grid: 1, 2 or 5 times a power of ten.
float GridStep(float extent) {
    const float rough = extent / 8;
    if (!(rough > 0) || !std::isfinite(rough)) {
        return 1;
    }
    const float power = std::pow(10.0f, std::floor(std::log10(rough)));
    const float scaled = rough / power;
    return power * (scaled < 1.5f ? 1 : scaled < 3.5f ? 2 : 5);
}

void DrawGrid(Raster& raster, const Camera& camera, const Bounds& floor) {
    const Vector3 lo = floor.empty ? Vector3{-1, 0, -1} : floor.min;
    const Vector3 hi = floor.empty ? Vector3{1, 0, 1} : floor.max;
    const float extent = std::max({hi.x - lo.x, hi.z - lo.z, hi.y - lo.y});
    const float step = GridStep(extent);
    const int lines = 8;
    const float cx = std::round((lo.x + hi.x) / 2 / step) * step;
    const float cz = std::round((lo.z + hi.z) / 2 / step) * step;
    const float half = step * static_cast<float>(lines);
    for (int i = -lines; i <= lines; ++i) {
        const float offset = step * static_cast<float>(i);
        const bool axisX = std::fabs(cz + offset) < step / 2;
        const bool axisZ = std::fabs(cx + offset) < step / 2;
        DrawSegment(raster, camera, {cx - half, 0, cz + offset}, {cx + half, 0, cz + offset},
                    axisX ? kGridAxisColour : kGridColour, true, 1);
        DrawSegment(raster, camera, {cx + offset, 0, cz - half}, {cx + offset, 0, cz + half},
                    axisZ ? kGridAxisColour : kGridColour, true, 1);
    }
}

struct Corner {
    Vector3 view;
    float u = 0;
    float v = 0;
};

// How one material is drawn.
struct Look {
    Rgb colour;
    const Texture* texture = nullptr;
};

// One polygon of up to four corners in front of the near plane, as a fan of triangles.
void AddPolygon(std::vector<ScreenTriangle>& triangles, const Camera& camera, const Corner* corners,
                size_t count, const Look& look) {
    std::array<RasterVertex, 4> points;
    for (size_t i = 0; i < count; ++i) {
        const Vector3 p = camera.ToPixel(corners[i].view);
        const float w = 1 / p.z;
        points[i] = {p.x, p.y, w, corners[i].u * w, corners[i].v * w};
    }
    // Back faces are culled: the front runs clockwise in the picture (y down).
    const RasterVertex& a = points[0];
    const RasterVertex& b = points[1];
    const RasterVertex& c = points[2];
    const float area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (!(area > 0)) {
        return;
    }
    // Flat light from the face's normal, turned towards the eye.
    const Vector3& va = corners[0].view;
    const Vector3& vb = corners[1].view;
    const Vector3& vc = corners[2].view;
    const Vector3 e1{vb.x - va.x, vb.y - va.y, vb.z - va.z};
    const Vector3 e2{vc.x - va.x, vc.y - va.y, vc.z - va.z};
    Vector3 n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
    const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    float light = 0.32f;
    if (length > 0) {
        if (n.x * va.x + n.y * va.y + n.z * va.z > 0) {
            n = {-n.x, -n.y, -n.z};
        }
        // The key light stands above, to the left and behind the eye.
        const Vector3 key{-0.45f, 0.7f, -0.55f};
        const float keyLength = std::sqrt(key.x * key.x + key.y * key.y + key.z * key.z);
        const float lambert = (n.x * key.x + n.y * key.y + n.z * key.z) / (length * keyLength);
        light += 0.68f * std::max(0.0f, lambert);
    }
    ScreenTriangle triangle;
    triangle.texture = look.texture;
    triangle.light = light;
    triangle.colour = look.texture != nullptr ? Rgb{} : Lit(look.colour, light);
    for (size_t i = 1; i + 1 < count; ++i) {
        triangle.a = points[0];
        triangle.b = points[i];
        triangle.c = points[i + 1];
        triangles.push_back(triangle);
    }
}

// The faces of one mesh in front of the eye, cut at the near plane, as triangles to fill.
void AddMesh(std::vector<ScreenTriangle>& triangles, const Camera& camera, const MeshData& mesh,
             const PosedMesh& posed, const TextureLookup& textures) {
    std::vector<Look> looks;
    for (const MaterialData& material : mesh.materials) {
        Look& look = looks.emplace_back();
        look.colour = MaterialColour(material);
        look.texture = textures ? textures(material) : nullptr;
    }
    if (looks.empty()) {
        looks.push_back({Rgb{200, 200, 200}, nullptr});
    }
    const bool hasUv = mesh.texCoords.size() == posed.positions.size();
    std::vector<Vector3> view(posed.positions.size());
    for (size_t i = 0; i < view.size(); ++i) {
        view[i] = camera.ToView(posed.positions[i]);
    }
    const float near = camera.nearDepth;
    const size_t faces = mesh.faceIndices.size() / 3;
    for (size_t f = 0; f < faces; ++f) {
        Corner corners[3];
        bool valid = true;
        for (size_t k = 0; k < 3; ++k) {
            const int32_t index = mesh.faceIndices[f * 3 + k];
            if (index < 0 || static_cast<size_t>(index) >= view.size()) {
                valid = false;
                break;
            }
            const auto at = static_cast<size_t>(index);
            corners[k].view = view[at];
            if (hasUv) {
                corners[k].u = mesh.texCoords[at].u;
                corners[k].v = mesh.texCoords[at].v;
            }
        }
        if (!valid) {
            continue;
        }
        size_t material = 0;
        if (f < mesh.faceMaterials.size() && mesh.faceMaterials[f] >= 0 &&
            static_cast<size_t>(mesh.faceMaterials[f]) < looks.size()) {
            material = static_cast<size_t>(mesh.faceMaterials[f]);
        }
        const bool allFront =
            corners[0].view.z >= near && corners[1].view.z >= near && corners[2].view.z >= near;
        if (allFront) {
            AddPolygon(triangles, camera, corners, 3, looks[material]);
            continue;
        }
        // Cut at the near plane: what stays in front is a triangle or a quadrilateral.
        Corner kept[4];
        size_t count = 0;
        for (size_t k = 0; k < 3; ++k) {
            const Corner& p = corners[k];
            const Corner& q = corners[(k + 1) % 3];
            if (p.view.z >= near) {
                kept[count++] = p;
            }
            if ((p.view.z >= near) != (q.view.z >= near) && count < 4) {
                const float t = (near - p.view.z) / (q.view.z - p.view.z);
                Corner c;
                c.view = {p.view.x + (q.view.x - p.view.x) * t,
                          p.view.y + (q.view.y - p.view.y) * t, near};
                c.u = p.u + (q.u - p.u) * t;
                c.v = p.v + (q.v - p.v) * t;
                kept[count++] = c;
            }
        }
        if (count >= 3) {
            AddPolygon(triangles, camera, kept, count, looks[material]);
        }
    }
}

Vector3 Origin(const Matrix& m) {
    return {m(3, 0), m(3, 1), m(3, 2)};
}

// Every frame below a root is a joint; a bone joins it to its parent unless that is a root,
// whose origin (Scene_Root's, on the floor) is no joint of the character.
void DrawBones(Raster& raster, const Camera& camera, const NodeList& frames,
               const std::vector<Matrix>& pose, int height) {
    const NodeIdIndex ids(frames);
    const int thickness = height >= 400 ? 2 : 1;
    for (size_t i = 0; i < frames.size(); ++i) {
        if (frames[i].parentId < 0) {
            continue;
        }
        const NodeIndex parent = ids.Find(frames[i].parentId);
        if (parent != kNoNode && frames[static_cast<size_t>(parent)].parentId >= 0) {
            DrawSegment(raster, camera, Origin(pose[static_cast<size_t>(parent)]), Origin(pose[i]),
                        kBoneColour, false, thickness);
        }
    }
    const float radius = std::max(1.5f, static_cast<float>(height) / 160);
    for (size_t i = 0; i < frames.size(); ++i) {
        if (frames[i].parentId < 0) {
            continue;
        }
        const Vector3 view = camera.ToView(Origin(pose[i]));
        if (view.z >= camera.nearDepth) {
            const Vector3 p = camera.ToPixel(view);
            raster.DrawDot(p.x, p.y, radius, kJointColour);
        }
    }
}

}  // namespace

Rgb MaterialColour(const MaterialData& material) {
    if (material.textureFile.empty()) {
        return {Byte(material.faceColour[0] * 255), Byte(material.faceColour[1] * 255),
                Byte(material.faceColour[2] * 255)};
    }
    // A hue from the name, at a fixed lightness, so that colours differ but stay readable.
    uint32_t hash = 2166136261u;
    for (unsigned char c : material.textureFile) {
        hash = (hash ^ c) * 16777619u;
    }
    const float hue = static_cast<float>(hash % 360u) / 60.0f;
    const float x = 1 - std::fabs(std::fmod(hue, 2.0f) - 1);
    float r = 0;
    float g = 0;
    float b = 0;
    switch (static_cast<int>(hue)) {
        case 0:
            r = 1;
            g = x;
            break;
        case 1:
            r = x;
            g = 1;
            break;
        case 2:
            g = 1;
            b = x;
            break;
        case 3:
            g = x;
            b = 1;
            break;
        case 4:
            r = x;
            b = 1;
            break;
        default:
            r = 1;
            b = x;
            break;
    }
    return {Byte(90 + 150 * r), Byte(90 + 150 * g), Byte(90 + 150 * b)};
}

Image RenderPose(const NodeList& frames, const std::vector<Matrix>& pose,
                 const std::vector<PosedMesh>& meshes, const Camera& camera,
                 const RenderStyle& style, const TextureLookup& textures) {
    Raster raster(style.width, style.height, style.background);
    std::vector<ScreenTriangle> triangles;
    for (const PosedMesh& posed : meshes) {
        AddMesh(triangles, camera, frames[static_cast<size_t>(posed.frame)].mesh, posed, textures);
    }
    raster.FillTriangles(triangles, style.threads);
    if (style.grid) {
        DrawGrid(raster, camera, style.floor);
    }
    if (style.bones) {
        DrawBones(raster, camera, frames, pose, style.height);
    }
    return std::move(raster.image());
}

}  // namespace toravel
