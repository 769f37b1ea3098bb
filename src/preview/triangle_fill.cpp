// Filling many triangles at once, fast enough for hundreds of thousands of large faces that
// hide each other many times over. The triangles go front to back, so that most of them meet
// pixels that are already nearer; a coarse depth (the farthest depth written in each 8x8 tile
// and in each 32x32 block) lets a triangle pass over a whole region it cannot win, and each
// of its rows is one run of pixels found from the edge functions. The skipping is exact: it
// leaves out only pixels whose depth test would fail, so the picture is what drawing every
// pixel would give. Threads share the picture out by bands of block rows; every pixel depends
// only on the triangles and their order, so the number of threads does not change it.
#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <system_error>
#include <thread>

#include "preview/rasterizer.h"

namespace toravel {

namespace {

constexpr int kTile = 8;
constexpr int kTilesPerBlock = 4;
constexpr int kBlock = kTile * kTilesPerBlock;

float Centre(int i) {
    return static_cast<float>(i) + 0.5f;
}

// One edge: inside where c - px * dy + py * dx is positive, or zero on a top or left edge.
// Every rounding step of that expression is monotonic, so along a row the value is too, and
// the pixels of a row on the inner side of all three edges form one run.
struct Edge {
    float dx = 0;
    float dy = 0;
    float c = 0;
    bool topLeft = false;
    // Where the edge crosses a row, roughly, as a pixel index: at + py * slope.
    float crossAt = 0;
    float crossSlope = 0;
    bool Passes(float px, float py) const {
        const float f = c - px * dy + py * dx;
        return f > 0 || (f == 0 && topLeft);
    }
};

// A quantity that is affine in the picture, from its values at the corners. Evaluated in
// this one way it is monotonic in x and in y, so over a rectangle it is largest at a corner.
struct Plane {
    float x0 = 0;
    float y0 = 0;
    float at0 = 0;
    float dx = 0;
    float dy = 0;
    float At(float px, float py) const { return at0 + (dx * (px - x0) + dy * (py - y0)); }
};

Plane PlaneOf(const RasterVertex& a, const RasterVertex& b, const RasterVertex& c, float qa,
              float qb, float qc, float area) {
    const float bx = b.x - a.x;
    const float by = b.y - a.y;
    const float cx = c.x - a.x;
    const float cy = c.y - a.y;
    const float db = qb - qa;
    const float dc = qc - qa;
    return {a.x, a.y, qa, (db * cy - dc * by) / area, (dc * bx - db * cx) / area};
}

struct Prepared {
    std::array<Edge, 3> edges;
    Plane w;
    Plane uw;
    Plane vw;
    float nearW = 0;  // the largest and smallest depth of the corners
    float farW = 0;
    int x0 = 0, x1 = 0, y0 = 0, y1 = 0;  // the box of pixels, clipped to the picture
    const ScreenTriangle* source = nullptr;

    // Kept between the corners' depths, which no pixel inside can leave but for rounding.
    float Depth(float px, float py) const { return std::clamp(w.At(px, py), farW, nearW); }
    // The nearest depth at any pixel centre of the rectangle, both ends included.
    float NearestIn(int xa, int xb, int ya, int yb) const {
        return Depth(Centre(w.dx >= 0 ? xb : xa), Centre(w.dy >= 0 ? yb : ya));
    }
    bool Inside(int x, float py) const {
        const float px = Centre(x);
        return edges[0].Passes(px, py) && edges[1].Passes(px, py) && edges[2].Passes(px, py);
    }
    // The run [first, last] of row y inside the triangle; false when there is none. The run
    // is guessed from where each edge crosses the row and then settled by the exact test.
    bool Span(int y, int& first, int& last) const {
        const float py = Centre(y);
        float lo = static_cast<float>(x0);
        float hi = static_cast<float>(x1);
        for (const Edge& e : edges) {
            if (e.dy == 0) {
                if (!e.Passes(0.5f, py)) {
                    return false;
                }
                continue;
            }
            const float cross = e.crossAt + py * e.crossSlope;
            if (e.dy > 0 && cross < hi) {
                hi = cross;
            } else if (e.dy < 0 && cross > lo) {
                lo = cross;
            }
        }
        lo = std::min(lo, static_cast<float>(x1));
        hi = std::max(hi, static_cast<float>(x0));
        first = static_cast<int>(std::ceil(lo));
        last = static_cast<int>(std::floor(hi));
        if (first > last) {
            // A run of a pixel or none; look around the guess.
            const int from = std::max(x0, last - 1);
            const int to = std::min(x1, first + 1);
            first = from;
            while (first <= to && !Inside(first, py)) {
                ++first;
            }
            if (first > to) {
                return false;
            }
            last = first;
            while (first > x0 && Inside(first - 1, py)) {
                --first;
            }
        } else if (Inside(first, py)) {
            while (first > x0 && Inside(first - 1, py)) {
                --first;
            }
        } else {
            do {
                ++first;
            } while (first <= last && !Inside(first, py));
            if (first > last) {
                return false;
            }
        }
        if (Inside(last, py)) {
            while (last < x1 && Inside(last + 1, py)) {
                ++last;
            }
        } else {
            do {
                --last;
            } while (!Inside(last, py));
        }
        return true;
    }
};

bool Prepare(const ScreenTriangle& t, int width, int height, Prepared& out) {
    const RasterVertex& a = t.a;
    const RasterVertex& b = t.b;
    const RasterVertex& c = t.c;
    const float area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (!(std::fabs(area) > 1e-12f)) {
        return false;
    }
    const float minX = std::min({a.x, b.x, c.x});
    const float maxX = std::max({a.x, b.x, c.x});
    const float minY = std::min({a.y, b.y, c.y});
    const float maxY = std::max({a.y, b.y, c.y});
    if (!(maxX >= 0 && maxY >= 0 && minX < static_cast<float>(width) &&
          minY < static_cast<float>(height))) {
        return false;  // outside, or not a number
    }
    out.nearW = std::max({a.w, b.w, c.w});
    out.farW = std::min({a.w, b.w, c.w});
    if (!std::isfinite(out.nearW) || !std::isfinite(out.farW)) {
        return false;  // no depth test would pass
    }
    out.x0 = static_cast<int>(std::floor(std::max(0.0f, minX)));
    out.x1 = std::min(width - 1, static_cast<int>(std::ceil(std::min(maxX, 1e9f))));
    out.y0 = static_cast<int>(std::floor(std::max(0.0f, minY)));
    out.y1 = std::min(height - 1, static_cast<int>(std::ceil(std::min(maxY, 1e9f))));
    // Edge functions, each positive inside when the corners run one way; the sign of the
    // area turns them for the other way.
    const float s = area > 0 ? 1.0f : -1.0f;
    auto edge = [s](const RasterVertex& p, const RasterVertex& q) {
        const float dx = (q.x - p.x) * s;
        const float dy = (q.y - p.y) * s;
        Edge e{dx, dy, p.x * dy - p.y * dx, dy < 0 || (dy == 0 && dx > 0)};
        if (dy != 0) {
            e.crossAt = e.c / dy - 0.5f;
            e.crossSlope = dx / dy;
        }
        return e;
    };
    out.edges = {edge(b, c), edge(c, a), edge(a, b)};
    out.w = PlaneOf(a, b, c, a.w, b.w, c.w, area);
    if (t.texture != nullptr) {
        out.uw = PlaneOf(a, b, c, a.uw, b.uw, c.uw, area);
        out.vw = PlaneOf(a, b, c, a.vw, b.vw, c.vw, area);
    }
    out.source = &t;
    return true;
}

// Whether a triangle whose nearest depth over a region is `nearest` loses everywhere in a
// region whose farthest depth is `farthest`. The small slack only ever keeps a region.
bool Hidden(float nearest, float farthest) {
    return nearest + nearest * (1.0f / 65536) <= farthest;
}

Rgb Sample(const Image& texture, float u, float v) {
    if (!std::isfinite(u) || !std::isfinite(v)) {
        return {};
    }
    const float fu = u - std::floor(u);
    const float fv = v - std::floor(v);
    const int x =
        std::min(texture.width() - 1, static_cast<int>(fu * static_cast<float>(texture.width())));
    const int y =
        std::min(texture.height() - 1, static_cast<int>(fv * static_cast<float>(texture.height())));
    return texture.At(x, y);
}

}  // namespace

class Raster::Fill {
  public:
    Fill(Raster& raster, const std::vector<ScreenTriangle>& triangles)
        : raster_(raster),
          width_(raster.image_.width()),
          height_(raster.image_.height()),
          tilesX_((width_ + kTile - 1) / kTile),
          blocksX_((width_ + kBlock - 1) / kBlock),
          bands_((height_ + kBlock - 1) / kBlock) {
        // Front to back by the nearest corner; equal ones keep their order.
        std::vector<std::pair<float, uint32_t>> order(triangles.size());
        for (size_t i = 0; i < triangles.size(); ++i) {
            const ScreenTriangle& t = triangles[i];
            const float nearest = std::max({t.a.w, t.b.w, t.c.w});
            // Not a number would break the order; such a triangle is left out below.
            order[i] = {std::isnan(nearest) ? -INFINITY : nearest, static_cast<uint32_t>(i)};
        }
        std::stable_sort(order.begin(), order.end(),
                         [](const auto& l, const auto& r) { return l.first > r.first; });
        triangles_.reserve(order.size());
        for (const auto& [key, index] : order) {
            Prepared p;
            if (Prepare(triangles[index], width_, height_, p)) {
                triangles_.push_back(p);
            }
        }
        const auto tilesY = static_cast<size_t>((height_ + kTile - 1) / kTile);
        tileFar_.assign(static_cast<size_t>(tilesX_) * tilesY, 0.0f);
        blockFar_.assign(static_cast<size_t>(blocksX_) * static_cast<size_t>(bands_), 0.0f);
        for (size_t i = 0; i < tileFar_.size(); ++i) {
            const int tx = static_cast<int>(i % static_cast<size_t>(tilesX_));
            const int ty = static_cast<int>(i / static_cast<size_t>(tilesX_));
            tileFar_[i] = FarthestInTile(tx, ty);
        }
        for (int band = 0; band < bands_; ++band) {
            for (int bx = 0; bx < blocksX_; ++bx) {
                UpdateBlock(bx, band);
            }
        }
    }

    void Run(int threads) {
        if (threads <= 0) {
            threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
        }
        threads = std::min(threads, bands_);
        std::atomic<int> next{0};
        auto work = [&] {
            for (int band = next++; band < bands_; band = next++) {
                Band(band);
            }
        };
        std::vector<std::thread> helpers;
        for (int i = 1; i < threads; ++i) {
            try {
                helpers.emplace_back(work);
            } catch (const std::system_error&) {
                break;  // the threads there are take the bands that are left
            }
        }
        work();
        for (std::thread& helper : helpers) {
            helper.join();
        }
    }

  private:
    float& TileFar(int tx, int ty) {
        return tileFar_[static_cast<size_t>(ty) * static_cast<size_t>(tilesX_) +
                        static_cast<size_t>(tx)];
    }
    float& BlockFar(int bx, int band) {
        return blockFar_[static_cast<size_t>(band) * static_cast<size_t>(blocksX_) +
                         static_cast<size_t>(bx)];
    }

    float FarthestInTile(int tx, int ty) {
        float farthest = INFINITY;
        const int xEnd = std::min(width_, (tx + 1) * kTile);
        const int yEnd = std::min(height_, (ty + 1) * kTile);
        for (int y = ty * kTile; y < yEnd; ++y) {
            for (int x = tx * kTile; x < xEnd; ++x) {
                farthest = std::min(farthest, raster_.Depth(x, y));
            }
        }
        return farthest;
    }

    void UpdateBlock(int bx, int band) {
        float farthest = INFINITY;
        const int txEnd = std::min(tilesX_, (bx + 1) * kTilesPerBlock);
        const int tyEnd = std::min((height_ + kTile - 1) / kTile, (band + 1) * kTilesPerBlock);
        for (int ty = band * kTilesPerBlock; ty < tyEnd; ++ty) {
            for (int tx = bx * kTilesPerBlock; tx < txEnd; ++tx) {
                farthest = std::min(farthest, TileFar(tx, ty));
            }
        }
        BlockFar(bx, band) = farthest;
    }

    // The runs of one triangle over the rows of a band, found a tile row at a time when
    // first needed.
    struct Runs {
        std::array<int, kBlock> first{};
        std::array<int, kBlock> last{};
        std::array<bool, kBlock> some{};
        std::array<bool, kTilesPerBlock> found{};
    };

    // Every triangle, in order, over the rows of one band.
    void Band(int band) {
        const int top = band * kBlock;
        const int bottom = std::min(height_, top + kBlock) - 1;
        Runs runs;
        for (const Prepared& t : triangles_) {
            const int r0 = std::max(t.y0, top);
            const int r1 = std::min(t.y1, bottom);
            if (r0 > r1) {
                continue;
            }
            // First the whole width of the triangle in the band at once.
            const int bxFirst = t.x0 / kBlock;
            const int bxLast = t.x1 / kBlock;
            float farthest = INFINITY;
            for (int bx = bxFirst; bx <= bxLast; ++bx) {
                farthest = std::min(farthest, BlockFar(bx, band));
            }
            if (Hidden(t.NearestIn(t.x0, t.x1, r0, r1), farthest)) {
                continue;
            }
            runs.found = {};
            for (int bx = bxFirst; bx <= bxLast; ++bx) {
                const int bx0 = std::max(t.x0, bx * kBlock);
                const int bx1 = std::min(t.x1, bx * kBlock + kBlock - 1);
                if (Hidden(t.NearestIn(bx0, bx1, r0, r1), BlockFar(bx, band))) {
                    continue;
                }
                if (DrawBlock(t, bx0, bx1, r0, r1, top, runs)) {
                    UpdateBlock(bx, band);
                }
            }
        }
    }

    // The triangle over the tiles of one block, columns bx0 to bx1 and rows r0 to r1; true
    // when it drew a pixel.
    bool DrawBlock(const Prepared& t, int bx0, int bx1, int r0, int r1, int top, Runs& runs) {
        bool drewAny = false;
        for (int ty = r0 / kTile; ty <= r1 / kTile; ++ty) {
            const int ya = std::max(r0, ty * kTile);
            const int yb = std::min(r1, ty * kTile + kTile - 1);
            // The block's part of this tile row as a whole, before finding its runs.
            float farthest = INFINITY;
            for (int tx = bx0 / kTile; tx <= bx1 / kTile; ++tx) {
                farthest = std::min(farthest, TileFar(tx, ty));
            }
            if (Hidden(t.NearestIn(bx0, bx1, ya, yb), farthest)) {
                continue;
            }
            const auto tileRow = static_cast<size_t>(ty - top / kTile);
            if (!runs.found[tileRow]) {
                for (int y = ya; y <= yb; ++y) {
                    const auto row = static_cast<size_t>(y - top);
                    runs.some[row] = t.Span(y, runs.first[row], runs.last[row]);
                }
                runs.found[tileRow] = true;
            }
            // The columns of the block that the runs of these rows reach.
            int lo = bx1 + 1;
            int hi = bx0 - 1;
            for (int y = ya; y <= yb; ++y) {
                const auto row = static_cast<size_t>(y - top);
                if (runs.some[row]) {
                    lo = std::min(lo, std::max(bx0, runs.first[row]));
                    hi = std::max(hi, std::min(bx1, runs.last[row]));
                }
            }
            for (int tx = lo / kTile; lo <= hi && tx <= hi / kTile; ++tx) {
                const int xa = std::max(lo, tx * kTile);
                const int xb = std::min(hi, tx * kTile + kTile - 1);
                if (Hidden(t.NearestIn(xa, xb, ya, yb), TileFar(tx, ty))) {
                    continue;
                }
                bool drew = false;
                for (int y = ya; y <= yb; ++y) {
                    const auto row = static_cast<size_t>(y - top);
                    if (runs.some[row]) {
                        drew |= DrawRun(t, y, std::max(xa, runs.first[row]),
                                        std::min(xb, runs.last[row]));
                    }
                }
                if (drew) {
                    TileFar(tx, ty) = FarthestInTile(tx, ty);
                    drewAny = true;
                }
            }
        }
        return drewAny;
    }

    bool DrawRun(const Prepared& t, int y, int from, int to) {
        const float py = Centre(y);
        float* depth = &raster_.Depth(0, y);
        Image& image = raster_.image_;
        const ScreenTriangle& source = *t.source;
        bool drew = false;
        for (int x = from; x <= to; ++x) {
            const float px = Centre(x);
            const float w = t.Depth(px, py);
            if (!(w > depth[x])) {
                continue;
            }
            depth[x] = w;
            drew = true;
            if (source.texture == nullptr) {
                image.Set(x, y, source.colour);
            } else {
                const float u = t.uw.At(px, py) / w;
                const float v = t.vw.At(px, py) / w;
                image.Set(x, y, Lit(Sample(*source.texture, u, v), source.light));
            }
        }
        return drew;
    }

    Raster& raster_;
    int width_;
    int height_;
    int tilesX_;
    int blocksX_;
    int bands_;
    std::vector<Prepared> triangles_;
    std::vector<float> tileFar_;   // the farthest depth in each tile
    std::vector<float> blockFar_;  // and in each block
};

void Raster::FillTriangles(const std::vector<ScreenTriangle>& triangles, int threads) {
    if (image_.width() <= 0 || image_.height() <= 0 || triangles.empty()) {
        return;
    }
    Fill fill(*this, triangles);
    fill.Run(threads);
}

}  // namespace toravel
