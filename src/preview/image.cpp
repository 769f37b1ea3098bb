#include "preview/image.h"

namespace toravel {

Image::Image(int width, int height, Rgb fill)
    : width_(width > 0 ? width : 0), height_(height > 0 ? height : 0) {
    pixels_.resize(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 3);
    for (size_t i = 0; i < pixels_.size(); i += 3) {
        pixels_[i] = fill.r;
        pixels_[i + 1] = fill.g;
        pixels_[i + 2] = fill.b;
    }
}

void Image::Paste(const Image& cell, int x, int y) {
    for (int row = 0; row < cell.height(); ++row) {
        for (int col = 0; col < cell.width(); ++col) {
            if (Contains(x + col, y + row)) {
                Set(x + col, y + row, cell.At(col, row));
            }
        }
    }
}

}  // namespace toravel
