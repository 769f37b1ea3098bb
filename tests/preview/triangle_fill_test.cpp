// Filling triangles: what the fast fill draws against a plain depth buffer worked out here in
// double precision, and the same picture whatever the number of threads.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "preview/preview_picture.h"
#include "preview/rasterizer.h"
#include "preview_fixtures.h"

namespace toravel {
namespace {

constexpr Rgb kBackground{10, 20, 30};

// A fixed pseudo-random sequence, the same on every platform.
class Numbers {
  public:
    float Next(float lo, float hi) {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        const auto bits = static_cast<uint32_t>(state_ >> 40);  // 24 bits
        return lo + (hi - lo) * static_cast<float>(bits) / static_cast<float>(1u << 24);
    }

  private:
    uint64_t state_ = 12345;
};

// A distinct colour for every triangle, so that the picture tells which one won a pixel.
Rgb ColourOf(size_t i) {
    const auto n = static_cast<uint32_t>(i + 1);
    return {static_cast<uint8_t>(n * 37 % 251), static_cast<uint8_t>(n * 91 % 241),
            static_cast<uint8_t>(n * 13 % 239 + 1)};
}

// Triangles of every size, many far larger than a tile, at depths that cross each other,
// in both windings, some reaching past the picture's edges.
std::vector<ScreenTriangle> Scatter(int width, int height, size_t count) {
    Numbers numbers;
    std::vector<ScreenTriangle> triangles;
    for (size_t i = 0; i < count; ++i) {
        const float size = i % 3 == 0 ? 4.0f : i % 3 == 1 ? 30.0f : 160.0f;
        const float cx = numbers.Next(-20, static_cast<float>(width) + 20);
        const float cy = numbers.Next(-20, static_cast<float>(height) + 20);
        ScreenTriangle t;
        for (RasterVertex* v : {&t.a, &t.b, &t.c}) {
            v->x = cx + numbers.Next(-size, size);
            v->y = cy + numbers.Next(-size, size);
            v->w = numbers.Next(0.05f, 1.0f);
        }
        t.colour = ColourOf(i);
        triangles.push_back(t);
    }
    return triangles;
}

Image Fill(const std::vector<ScreenTriangle>& triangles, int width, int height, int threads) {
    Raster raster(width, height, kBackground);
    raster.FillTriangles(triangles, threads);
    return raster.image();
}

// Every pixel centre against every triangle: inside all three edges, and nearest (largest
// 1/z, interpolated in the picture) of those that hold it.
Image PlainDepthBuffer(const std::vector<ScreenTriangle>& triangles, int width, int height) {
    Image image(width, height, kBackground);
    std::vector<double> depth(static_cast<size_t>(width * height), 0.0);
    for (const ScreenTriangle& t : triangles) {
        const double ax = t.a.x, ay = t.a.y, bx = t.b.x, by = t.b.y, cx = t.c.x, cy = t.c.y;
        const double area = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
        if (area == 0) {
            continue;
        }
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const double px = x + 0.5, py = y + 0.5;
                const double l0 = ((bx - px) * (cy - py) - (by - py) * (cx - px)) / area;
                const double l1 = ((cx - px) * (ay - py) - (cy - py) * (ax - px)) / area;
                const double l2 = 1 - l0 - l1;
                if (l0 < 0 || l1 < 0 || l2 < 0) {
                    continue;
                }
                const double w = l0 * t.a.w + l1 * t.b.w + l2 * t.c.w;
                double& d = depth[static_cast<size_t>(y * width + x)];
                if (w > d) {
                    d = w;
                    image.Set(x, y, t.colour);
                }
            }
        }
    }
    return image;
}

size_t Differing(const Image& a, const Image& b) {
    size_t count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            count += a.At(x, y) == b.At(x, y) ? 0 : 1;
        }
    }
    return count;
}

TEST(PreviewTriangleFill, DrawsWhatAPlainDepthBufferDraws) {
    constexpr int kWidth = 203;  // not a whole number of tiles
    constexpr int kHeight = 141;
    const std::vector<ScreenTriangle> triangles = Scatter(kWidth, kHeight, 1500);
    const Image fast = Fill(triangles, kWidth, kHeight, 1);
    const Image plain = PlainDepthBuffer(triangles, kWidth, kHeight);
    // Only pixels whose centres lie on an edge, or where two faces cross at the same depth,
    // may go the other way with single precision; a region skipped wrongly is 64 pixels.
    EXPECT_LT(Differing(fast, plain), 40u);
    size_t background = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            background += fast.At(x, y) == kBackground ? 1 : 0;
        }
    }
    EXPECT_LT(background, static_cast<size_t>(kWidth * kHeight / 20)) << "hardly anything hidden";
}

TEST(PreviewTriangleFill, EveryNumberOfThreadsGivesThePicture) {
    constexpr int kWidth = 330;
    constexpr int kHeight = 250;
    const std::vector<ScreenTriangle> triangles = Scatter(kWidth, kHeight, 3000);
    const Image one = Fill(triangles, kWidth, kHeight, 1);
    for (int threads : {2, 3, 8}) {
        EXPECT_EQ(one.pixels(), Fill(triangles, kWidth, kHeight, threads).pixels())
            << threads << " threads";
    }

    const XGeneralContent soldier =
        testing::ConvertSmd(testing::ReadText(testing::kExampleDir + "/soldier_reference.smd"));
    PreviewSettings settings;
    settings.bones = true;
    settings.threads = 1;
    const Image single = RenderPreview(soldier.frames, PreviewPlan{}, settings);
    for (int threads : {2, 5}) {
        settings.threads = threads;
        EXPECT_EQ(single.pixels(), RenderPreview(soldier.frames, PreviewPlan{}, settings).pixels())
            << threads << " threads";
    }
}

}  // namespace
}  // namespace toravel
