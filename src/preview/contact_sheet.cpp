#include "preview/contact_sheet.h"

#include <charconv>
#include <cmath>
#include <string>

#include <stb/stb_easy_font.h>

namespace toravel {

namespace {

std::optional<size_t> Number(std::string_view text) {
    size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted.push_back('\'');
    quoted.append(text);
    quoted.push_back('\'');
    return quoted;
}

}  // namespace

std::optional<std::vector<size_t>> ParseFrames(std::string_view text, size_t keyCount,
                                               std::string& error) {
    if (keyCount == 0) {
        error = "the animation set has no keys";
        return std::nullopt;
    }
    std::vector<size_t> frames;
    if (text.starts_with("all-")) {
        const std::optional<size_t> count = Number(text.substr(4));
        if (!count || *count == 0 || *count > 1000) {
            error = Quoted(text).append(" is no frame count: all-N takes N from 1 to 1000");
            return std::nullopt;
        }
        const size_t n = std::min(*count, keyCount);
        for (size_t i = 0; i < n; ++i) {
            frames.push_back(n == 1
                                 ? 0
                                 : static_cast<size_t>(std::llround(
                                       static_cast<double>(i) * static_cast<double>(keyCount - 1) /
                                       static_cast<double>(n - 1))));
        }
        return frames;
    }
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const std::string_view item = text.substr(start, comma - start);
        const std::optional<size_t> frame = Number(item);
        if (!frame) {
            error = Quoted(item).append(" is no frame number");
            return std::nullopt;
        }
        if (*frame >= keyCount) {
            error = "frame " + std::to_string(*frame) + " is past the last frame (" +
                    std::to_string(keyCount - 1) + ")";
            return std::nullopt;
        }
        if (frames.size() == 1000) {
            error = "more than 1000 frames";
            return std::nullopt;
        }
        frames.push_back(*frame);
        start = comma + 1;
    }
    return frames;
}

void DrawLabel(Image& image, int x, int y, std::string_view text, int scale) {
    std::string copy(text.substr(0, 200));
    // stb_easy_font gives quads of four corners, 16 bytes a corner: x, y, z and a colour.
    std::vector<char> buffer(copy.size() * 300 + 64);
    unsigned char colour[4] = {255, 255, 255, 255};
    const int quads = stb_easy_font_print(0, 0, copy.data(), colour, buffer.data(),
                                          static_cast<int>(buffer.size()));
    const int width = stb_easy_font_width(copy.data()) * scale;
    const int height = 12 * scale;
    for (int row = y; row < y + height + 2 * scale; ++row) {
        for (int col = x; col < x + width + 3 * scale; ++col) {
            if (image.Contains(col, row)) {
                const Rgb c = image.At(col, row);
                image.Set(col, row,
                          {static_cast<uint8_t>(c.r / 3), static_cast<uint8_t>(c.g / 3),
                           static_cast<uint8_t>(c.b / 3)});
            }
        }
    }
    const float* corners = reinterpret_cast<const float*>(buffer.data());
    for (int q = 0; q < quads; ++q) {
        const float* quad = corners + q * 16;
        const float x0 = quad[0];
        const float y0 = quad[1];
        const float x1 = quad[8];
        const float y1 = quad[9];
        const int left = x + 2 * scale + static_cast<int>(std::lround(x0)) * scale;
        const int top = y + 2 * scale + static_cast<int>(std::lround(y0)) * scale;
        const int right = x + 2 * scale + static_cast<int>(std::lround(x1)) * scale;
        const int bottom = y + 2 * scale + static_cast<int>(std::lround(y1)) * scale;
        for (int row = top; row < bottom; ++row) {
            for (int col = left; col < right; ++col) {
                if (image.Contains(col, row)) {
                    image.Set(col, row, {240, 240, 240});
                }
            }
        }
    }
}

int SheetColumns(size_t count) {
    if (count <= 1) {
        return 1;
    }
    const auto columns =
        static_cast<size_t>(std::ceil(std::sqrt(2.0 * static_cast<double>(count))));
    return static_cast<int>(std::min(columns, count));
}

Image ContactSheet(const std::vector<Image>& cells) {
    if (cells.empty()) {
        return {};
    }
    const int columns = SheetColumns(cells.size());
    const int rows = static_cast<int>((cells.size() + static_cast<size_t>(columns) - 1) /
                                      static_cast<size_t>(columns));
    const int w = cells.front().width();
    const int h = cells.front().height();
    Image sheet(columns * w + (columns - 1) * kSheetGap, rows * h + (rows - 1) * kSheetGap,
                Rgb{20, 22, 28});
    for (size_t i = 0; i < cells.size(); ++i) {
        const int col = static_cast<int>(i) % columns;
        const int row = static_cast<int>(i) / columns;
        sheet.Paste(cells[i], col * (w + kSheetGap), row * (h + kSheetGap));
    }
    return sheet;
}

}  // namespace toravel
