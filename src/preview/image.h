// An RGB picture in memory, row after row from the top, three bytes a pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace toravel {

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

class Image {
  public:
    Image() = default;
    Image(int width, int height, Rgb fill = {});

    int width() const { return width_; }
    int height() const { return height_; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    Rgb At(int x, int y) const {
        const uint8_t* p = &pixels_[Offset(x, y)];
        return {p[0], p[1], p[2]};
    }
    void Set(int x, int y, Rgb c) {
        uint8_t* p = &pixels_[Offset(x, y)];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }
    // Copies `cell` with its top left corner at (x, y), clipped to this picture.
    void Paste(const Image& cell, int x, int y);

    const std::vector<uint8_t>& pixels() const { return pixels_; }

  private:
    size_t Offset(int x, int y) const {
        return (static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)) * 3;
    }
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> pixels_;
};

}  // namespace toravel
