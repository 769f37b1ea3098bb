#include "preview/rasterizer.h"

#include <algorithm>
#include <cmath>

namespace toravel {

namespace {

uint8_t Channel(uint8_t value, float light) {
    const float scaled = static_cast<float>(value) * light;
    if (!(scaled > 0)) {
        return 0;
    }
    return scaled >= 255 ? uint8_t{255} : static_cast<uint8_t>(scaled + 0.5f);
}

}  // namespace

Rgb Lit(Rgb colour, float light) {
    return {Channel(colour.r, light), Channel(colour.g, light), Channel(colour.b, light)};
}

Raster::Raster(int width, int height, Rgb background)
    : image_(width, height, background),
      depth_(static_cast<size_t>(image_.width()) * static_cast<size_t>(image_.height()), 0.0f) {}

void Raster::DrawLine(float x0, float y0, float w0, float x1, float y1, float w1, Rgb colour,
                      bool depthTest, int thickness) {
    const float length = std::max(std::fabs(x1 - x0), std::fabs(y1 - y0));
    if (!std::isfinite(length)) {
        return;
    }
    // Lines that reach far outside are cut to a sane number of steps.
    const int steps = std::min(1 << 16, static_cast<int>(std::ceil(length)) + 1);
    const int lo = -(thickness - 1) / 2;
    const int hi = thickness / 2;
    for (int i = 0; i <= steps; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(steps);
        const int x = static_cast<int>(std::floor(x0 + (x1 - x0) * t));
        const int y = static_cast<int>(std::floor(y0 + (y1 - y0) * t));
        const float w = w0 + (w1 - w0) * t;
        for (int dy = lo; dy <= hi; ++dy) {
            for (int dx = lo; dx <= hi; ++dx) {
                if (!image_.Contains(x + dx, y + dy)) {
                    continue;
                }
                // A small allowance keeps lines on a surface from flickering behind it.
                if (depthTest && Depth(x + dx, y + dy) > w * 1.0005f) {
                    continue;
                }
                image_.Set(x + dx, y + dy, colour);
            }
        }
    }
}

void Raster::DrawDot(float x, float y, float radius, Rgb colour) {
    if (!std::isfinite(x) || !std::isfinite(y)) {
        return;
    }
    const int x0 = static_cast<int>(std::floor(x - radius));
    const int x1 = static_cast<int>(std::ceil(x + radius));
    const int y0 = static_cast<int>(std::floor(y - radius));
    const int y1 = static_cast<int>(std::ceil(y + radius));
    for (int py = y0; py <= y1; ++py) {
        for (int px = x0; px <= x1; ++px) {
            const float dx = static_cast<float>(px) + 0.5f - x;
            const float dy = static_cast<float>(py) + 0.5f - y;
            if (dx * dx + dy * dy <= radius * radius && image_.Contains(px, py)) {
                image_.Set(px, py, colour);
            }
        }
    }
}

}  // namespace toravel
