// Produces the other encodings of a text X file for the tests: the binary encoding, written
// token by token as the format documentation lays it out, and the compressed encodings,
// written as MSZIP blocks deflated by zlib.
//
// The binary writer reads numbers by their look: a number with a point or an exponent goes
// into a float list, one without into an integer list, so fixtures write every float with a
// point. Inside template declarations the type keywords, separators and brackets become
// their own tokens; in data, separators are dropped (lists carry no separators) except the
// one that ends a string.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace toravel::testing {

// The binary file ("bin ") for a text file ("txt "), with the text's float size.
std::string TextToBinaryX(std::string_view text);

// The compressed file ("tzip" for text, "bzip" for binary) of an uncompressed one, in blocks
// of at most `blockSize` (at most 32768) uncompressed bytes, each deflated with the previous
// block as its dictionary.
std::string CompressX(std::string_view file, size_t blockSize = 32768);

}  // namespace toravel::testing
