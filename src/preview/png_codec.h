// PNG out and the usual texture formats in, through stb (Debian's libstb).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "preview/image.h"

namespace toravel {

// The picture as the bytes of a PNG file; empty if it cannot be encoded.
std::string EncodePng(const Image& image);

// A BMP, TGA, PNG or JPEG file's pixels as RGB. Nothing, with the decoder's reason in
// `error`, when the bytes are no picture it reads.
std::optional<Image> DecodePicture(std::string_view bytes, std::string& error);

}  // namespace toravel
