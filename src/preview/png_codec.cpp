#include "preview/png_codec.h"

#include <limits>

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

namespace toravel {

namespace {

void Append(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                               static_cast<size_t>(size));
}

}  // namespace

std::string EncodePng(const Image& image) {
    std::string bytes;
    if (image.width() <= 0 || image.height() <= 0) {
        return bytes;
    }
    if (stbi_write_png_to_func(&Append, &bytes, image.width(), image.height(), 3,
                               image.pixels().data(), image.width() * 3) == 0) {
        bytes.clear();
    }
    return bytes;
}

std::optional<Image> DecodePicture(std::string_view bytes, std::string& error) {
    if (bytes.size() > static_cast<size_t>(std::numeric_limits<int>::max())) {
        error = "the file is too large";
        return std::nullopt;
    }
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels =
        stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                              static_cast<int>(bytes.size()), &width, &height, &channels, 3);
    if (pixels == nullptr) {
        const char* reason = stbi_failure_reason();
        error = reason != nullptr ? reason : "not a picture";
        return std::nullopt;
    }
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const stbi_uc* p =
                pixels +
                (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
            image.Set(x, y, {p[0], p[1], p[2]});
        }
    }
    stbi_image_free(pixels);
    return image;
}

}  // namespace toravel
