// A small exact rasterizer: triangles with a depth buffer, lines and dots, into an Image.
// Depth is kept as 1/z, which is affine in the picture, so it and anything divided by z
// interpolate linearly across a triangle. Larger depth is nearer.
#pragma once

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

// A triangle to fill: its corners, and its colour (already lit) or its texture, sampled at
// the perspective-correct (u, v) and scaled by `light`.
struct ScreenTriangle {
    RasterVertex a;
    RasterVertex b;
    RasterVertex c;
    Rgb colour;
    const Image* texture = nullptr;
    float light = 1;
};

// A colour under a light of `light` (1: as it is), each channel rounded and kept in range.
Rgb Lit(Rgb colour, float light);

class Raster {
  public:
    Raster(int width, int height, Rgb background);

    Image& image() { return image_; }
    const Image& image() const { return image_; }

    // Fills, for every triangle, the pixels whose centres lie inside it (top-left rule on
    // the edges) and that it is nearer at than what is there; of equal depths the triangle
    // with the nearer nearest corner wins, and of those the earlier. The picture is the same
    // for any number of threads (0: as many as the machine has).
    void FillTriangles(const std::vector<ScreenTriangle>& triangles, int threads);

    // A line from one (x, y, 1/z) to another. With `depthTest`, hidden parts are left out;
    // nothing writes depth, so lines never hide each other or the mesh.
    void DrawLine(float x0, float y0, float w0, float x1, float y1, float w1, Rgb colour,
                  bool depthTest, int thickness);
    void DrawDot(float x, float y, float radius, Rgb colour);

  private:
    class Fill;
    float& Depth(int x, int y) {
        return depth_[static_cast<size_t>(y) * static_cast<size_t>(image_.width()) +
                      static_cast<size_t>(x)];
    }
    Image image_;
    std::vector<float> depth_;
};

}  // namespace toravel
