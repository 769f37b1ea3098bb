// A small exact rasterizer: triangles with a depth buffer, lines and dots, into an Image.
// Depth is kept as 1/z, which is affine in the picture, so it and anything divided by z
// interpolate linearly across a triangle.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "preview/image.h"

namespace toravel {

// A corner in pixel coordinates with 1/z and attributes already divided by z.
struct RasterVertex {
    float x = 0;
    float y = 0;
    float w = 0;  // 1 / view depth
    float uw = 0;
    float vw = 0;
};

class Raster {
  public:
    Raster(int width, int height, Rgb background);

    Image& image() { return image_; }
    const Image& image() const { return image_; }

    // Fills the pixels whose centres lie inside the triangle (top-left rule on the edges)
    // and are nearer than what is there; `shade(u, v)` gives the colour from the
    // perspective-correct attributes.
    template <typename Shade>
    void FillTriangle(const RasterVertex& a, const RasterVertex& b, const RasterVertex& c,
                      Shade shade);

    // A line from one (x, y, 1/z) to another. With `depthTest`, hidden parts are left out;
    // nothing writes depth, so lines never hide each other or the mesh.
    void DrawLine(float x0, float y0, float w0, float x1, float y1, float w1, Rgb colour,
                  bool depthTest, int thickness);
    void DrawDot(float x, float y, float radius, Rgb colour);

  private:
    float& Depth(int x, int y) {
        return depth_[static_cast<size_t>(y) * static_cast<size_t>(image_.width()) +
                      static_cast<size_t>(x)];
    }
    Image image_;
    std::vector<float> depth_;
};

template <typename Shade>
void Raster::FillTriangle(const RasterVertex& a, const RasterVertex& b, const RasterVertex& c,
                          Shade shade) {
    const float area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (!(std::fabs(area) > 1e-12f)) {
        return;
    }
    const float minX = std::min({a.x, b.x, c.x});
    const float maxX = std::max({a.x, b.x, c.x});
    const float minY = std::min({a.y, b.y, c.y});
    const float maxY = std::max({a.y, b.y, c.y});
    if (!(maxX >= 0 && maxY >= 0 && minX < static_cast<float>(image_.width()) &&
          minY < static_cast<float>(image_.height()))) {
        return;  // outside, or not a number
    }
    const int x0 = std::max(0, static_cast<int>(std::floor(minX)));
    const int x1 = std::min(image_.width() - 1, static_cast<int>(std::ceil(maxX)));
    const int y0 = std::max(0, static_cast<int>(std::floor(minY)));
    const int y1 = std::min(image_.height() - 1, static_cast<int>(std::ceil(maxY)));
    // Edge functions, each positive inside when the corners run one way; the sign of the
    // area turns them for the other way.
    const float s = area > 0 ? 1.0f : -1.0f;
    struct Edge {
        float dx, dy, c;
        bool topLeft;
    };
    auto edge = [s](const RasterVertex& p, const RasterVertex& q) {
        const float dx = (q.x - p.x) * s;
        const float dy = (q.y - p.y) * s;
        // Inside where dx * (y - p.y) - dy * (x - p.x) > 0, the sign of the area turned.
        return Edge{dx, dy, p.x * dy - p.y * dx, dy < 0 || (dy == 0 && dx > 0)};
    };
    const Edge e0 = edge(b, c);
    const Edge e1 = edge(c, a);
    const Edge e2 = edge(a, b);
    const float inv = 1.0f / std::fabs(area);
    for (int y = y0; y <= y1; ++y) {
        const float py = static_cast<float>(y) + 0.5f;
        for (int x = x0; x <= x1; ++x) {
            const float px = static_cast<float>(x) + 0.5f;
            const float f0 = e0.c - px * e0.dy + py * e0.dx;
            const float f1 = e1.c - px * e1.dy + py * e1.dx;
            const float f2 = e2.c - px * e2.dy + py * e2.dx;
            if (f0 < 0 || f1 < 0 || f2 < 0 || (f0 == 0 && !e0.topLeft) ||
                (f1 == 0 && !e1.topLeft) || (f2 == 0 && !e2.topLeft)) {
                continue;
            }
            // f0 weighs a, f1 weighs b, f2 weighs c.
            const float l0 = f0 * inv;
            const float l1 = f1 * inv;
            const float l2 = f2 * inv;
            const float w = l0 * a.w + l1 * b.w + l2 * c.w;
            float& depth = Depth(x, y);
            if (!(w > depth)) {
                continue;
            }
            depth = w;
            const float u = (l0 * a.uw + l1 * b.uw + l2 * c.uw) / w;
            const float v = (l0 * a.vw + l1 * b.vw + l2 * c.vw) / w;
            image_.Set(x, y, shade(u, v));
        }
    }
}

}  // namespace toravel
